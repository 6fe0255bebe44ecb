// What EN 16931 says must add up in an invoice, recomputed from its own
// figures: each line's net amount, the VAT breakdown per category and rate,
// the document totals BT-106 to BT-115. Every disagreement is a finding in
// German that names the business term, the stated and the recomputed
// figure; the invoice itself is never changed.
#ifndef BELVON_RECEIVE_INVOICE_CHECKS_H
#define BELVON_RECEIVE_INVOICE_CHECKS_H

#include <string>
#include <vector>

#include "receive/received_invoice.h"

namespace receive {

struct Finding {
  std::string term;  // what it is about: "BT-112", "Position 3", "BR-CO-10", ...
  std::string text;  // German, whole sentence
};

std::vector<Finding> CheckFigures(const ReceivedInvoice& invoice);

}  // namespace receive

#endif  // BELVON_RECEIVE_INVOICE_CHECKS_H
