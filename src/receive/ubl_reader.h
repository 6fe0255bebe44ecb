// The business terms of an invoice or credit note in UBL 2.1 (the root
// Invoice or CreditNote, as XRechnung and Peppol carry them).
#ifndef BELVON_RECEIVE_UBL_READER_H
#define BELVON_RECEIVE_UBL_READER_H

#include <pugixml.hpp>

#include "receive/received_invoice.h"

namespace receive {

// `root` is the Invoice or CreditNote element.
ReceivedInvoice ReadUbl(const pugi::xml_node& root);

}  // namespace receive

#endif  // BELVON_RECEIVE_UBL_READER_H
