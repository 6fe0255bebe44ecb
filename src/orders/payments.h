// Recording a payment on an order ("Zahlungseingang"): the values the dialog
// opens with, and the booking of what the user typed into it.
#ifndef BELVON_ORDERS_PAYMENTS_H
#define BELVON_ORDERS_PAYMENTS_H

#include <cstdint>
#include <string>

#include "store/app_state.h"

namespace orders {

// What the payment dialog shows and the user may change.
struct PaymentForm {
  std::string orderNumber;    // "%-ld"
  std::string paymentDate;    // "Zahlungseingang", today
  std::string cashDiscountLabel;  // "2.0 % Skonto" in the figure style
  bool cashDiscount = false;  // ticked while the cash-discount period runs
  std::string amount;         // "Betrag": ProposedAmount
  std::string account;        // "Konto"
  // Ask before granting the discount after its period. The dialog shows the
  // box unticked then, so a tick there is the user's decision already; the
  // command line has no box to look at.
  bool confirmLateCashDiscount = false;
};

// Whether a payment on `date` (dd.mm.yyyy) still lies inside the order's
// cash-discount period: fewer days since the order date than the period.
bool InCashDiscountPeriod(const store::OrderHead& order, std::string_view date);

// The form for the current order. The cash-discount box is ticked only while
// fewer days than the cash-discount period have passed since the order date.
PaymentForm OpenPaymentForm(const frame::AppState& app);

// The amount the payment form proposes once the invoice is printed (else
// empty): what is open, less the cash discount when it is to be deducted.
std::string ProposedAmount(const store::OrderHead& order, bool cashDiscount,
                           frame::FigureStyle style = frame::FigureStyle::Point);

// "&Buchen": finds the order by the number of the form (from the start of
// the index), makes it the current order, selects its customer, adds the
// payment (AddPayment) and rewrites the order in place. 0 when the order
// was not found (told, the index position kept), could not be read or
// stored, or the amount does not fit; the order in the file is then as it
// was.
int BookPayment(frame::AppState& app, const PaymentForm& form);

// Adds a payment of `cents` to the paid figure of `head`. With the cash
// discount deducted (the box ticked), the discount on the whole invoice
// (CashDiscountAmount of the total) is counted as paid too, once: a payment
// of the total less the discount settles the invoice. On a credit note
// (negative total) only refunds (negative amounts) are taken. False, told
// and `head` unchanged for a positive amount on a credit note or a paid
// figure beyond the field.
bool AddPayment(frame::AppState& app, store::OrderHead& head, std::int64_t cents,
                bool cashDiscount);

// Books a payment onto `head` as "&Buchen" does: AddPayment, then the
// payment date (at most 10 characters) and the account (at most 8). False,
// told and `head` unchanged where AddPayment refuses.
bool ApplyPayment(frame::AppState& app, store::OrderHead& head, std::int64_t cents,
                  bool cashDiscount, std::string_view date, std::string_view account);

// Whether an invoice asking for payment (a positive total) is paid in full:
// it then prints "Betrag dankend erhalten." instead of payment terms, and its
// e-invoice states no terms.
bool PaidInFull(const store::OrderHead& head);

// The customer of the order just read is looked up by its name lines 1 and
// 2 and, when still there, becomes the selected address; otherwise the user
// is told that the address was deleted.
void SelectOrderCustomer(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_PAYMENTS_H
