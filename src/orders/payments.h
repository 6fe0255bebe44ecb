// Recording a payment on an order ("Zahlungseingang"): the values the dialog
// opens with, and the booking of what the user typed into it.
#ifndef BELVON_ORDERS_PAYMENTS_H
#define BELVON_ORDERS_PAYMENTS_H

#include <string>

#include "frame/app_state.h"

namespace orders {

// What the payment dialog shows and the user may change.
struct PaymentForm {
  std::string orderNumber;    // "%-ld"
  std::string paymentDate;    // "Zahlungseingang", today
  std::string cashDiscountLabel;  // "%.1f %% Skonto"
  bool cashDiscount = false;  // ticked while the cash-discount period runs
  std::string amount;         // "Betrag": the open amount once invoiced, else empty
  std::string account;        // "Konto"
};

// The form for the current order. The cash-discount box is ticked only while
// fewer days than the cash-discount period have passed since the order date.
PaymentForm OpenPaymentForm(const frame::AppState& app);

// "&Buchen": finds the order by the number of the form (from the start of
// the index), makes it the current order, selects its customer, adds the
// amount to what was paid and rewrites the order in place. 0 when the order
// was not found (told, the index position kept), could not be read or
// stored, or the amount does not fit; the order in the file is then as it
// was.
int BookPayment(frame::AppState& app, const PaymentForm& form);

// The customer of the order just read is looked up by its name lines 1 and
// 2 and, when still there, becomes the selected address; otherwise the user
// is told that the address was deleted.
void SelectOrderCustomer(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_PAYMENTS_H
