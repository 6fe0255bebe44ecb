// A seller and a buyer the electronic invoice rules accept.
#ifndef BELVON_TESTS_EINVOICE_EINVOICE_SELLER_H
#define BELVON_TESTS_EINVOICE_EINVOICE_SELLER_H

#include "store/address_record.h"
#include "store/parameter_record.h"
#include "store/text_field.h"

namespace einvoicetest {

inline void Complete(store::ParameterRecord& p, store::AddressRecord& buyer) {
  store::SetText(p.companyName1, "Schreinerei Holzwurm GmbH");
  store::SetText(p.street, "Eichenweg 12"), store::SetText(p.town, "34117 Kassel");
  store::SetText(p.phone, "0561 123456"), store::SetText(p.email, "info@holzwurm.example");
  store::SetText(p.vatId, "DE123456789"), store::SetText(p.bank1Iban, "DE89370400440532013000");
  store::SetText(p.currencySymbol1, "EUR");
  store::SetTaxRate(p, 0, 2, 70), store::SetTaxRate(p, 0, 3, 190);
  store::SetText(buyer.customerNumber, "10001"), store::SetText(buyer.name2, "Bauer GmbH");
  store::SetText(buyer.town, "34119 Kassel"), store::SetText(buyer.email, "r@bauer.example");
}

}  // namespace einvoicetest

#endif  // BELVON_TESTS_EINVOICE_EINVOICE_SELLER_H
