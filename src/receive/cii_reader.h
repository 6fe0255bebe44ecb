// The business terms of an invoice in UN/CEFACT CII (rsm:CrossIndustryInvoice,
// as XRechnung and ZUGFeRD/Factur-X carry it).
#ifndef BELVON_RECEIVE_CII_READER_H
#define BELVON_RECEIVE_CII_READER_H

#include <pugixml.hpp>

#include "receive/received_invoice.h"

namespace receive {

// `root` is the rsm:CrossIndustryInvoice element.
ReceivedInvoice ReadCii(const pugi::xml_node& root);

}  // namespace receive

#endif  // BELVON_RECEIVE_CII_READER_H
