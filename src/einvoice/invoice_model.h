// An issued invoice as the electronic invoice states it: every figure in
// cents of the invoice currency, taken from the same arithmetic as the
// printed invoice (orders/document_figures.h), with the seller from the
// master data, the buyer from the order's address and what the parameter
// file has no room for from ERECHNUNG.INI.
//
// A document whose total is negative is a credit note: its amounts and
// quantities change sign, so that it states what is credited.
#ifndef BELVON_EINVOICE_INVOICE_MODEL_H
#define BELVON_EINVOICE_INVOICE_MODEL_H

#include <cstdint>
#include <string>
#include <vector>

#include "store/einvoice_settings.h"
#include "store/app_state.h"

namespace einvoice {

struct Party {
  std::string id, name, description, street, postcode, city, country;
  std::string contactName, phone, email, vatId, taxNumber;
};

struct InvoiceLine {
  int lineId = 0;
  std::string articleNumber, name, description, unitCode;
  double quantity = 0;            // signed as stated
  std::int64_t price = 0;         // net price, never negative
  double priceQuantity = 0;       // the quantity the price is for; 0: one unit
  std::int64_t gross = 0;         // price x quantity, before the discount
  int discount = 0;               // tenths of a percent; 0: no allowance
  std::int64_t discountAmount = 0;
  std::int64_t net = 0;
  std::string category;           // VAT category code
  int rate = 0;                   // tenths of a percent
};

struct TaxGroup {
  std::string category;
  int rate = 0;
  std::int64_t basis = 0, tax = 0;
  std::string reason, reasonCode;  // for the exempt categories
};

struct Invoice {
  std::string number, typeCode, issueDate, serviceDate, dueDate;  // dates yyyymmdd
  std::string currency, buyerReference, paymentTerms;
  // The invoice a credit note corrects (BT-25, BT-26 yyyymmdd); empty for none.
  std::string precedingNumber, precedingDate;
  Party seller, buyer;
  bool creditTransfer = true;  // to `iban`; else no payment means is named
  std::string iban;
  bool shipToBuyer = false;    // the country of delivery is stated
  std::vector<InvoiceLine> lines;
  std::vector<TaxGroup> groups;
  std::int64_t lineTotal = 0, taxBasis = 0, taxTotal = 0, grandTotal = 0, prepaid = 0, due = 0;
};

struct Outcome {
  bool ok = false;
  std::string message;             // German, when not ok
  std::vector<std::string> notes;  // German remarks on what was changed
  Invoice invoice;
};

// The invoice of the order current in `app` (head, lines, and app.address as
// its customer). Not ok, with one message naming every missing value, when
// the order is no issued invoice or a value the rules require is missing.
Outcome BuildInvoice(const frame::AppState& app, const store::ParameterRecord& parameters,
                     const Settings& settings);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_INVOICE_MODEL_H
