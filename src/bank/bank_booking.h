// Booking the payments of one bank transaction, all or nothing.
//
// The payments go onto the orders through the code of "Zahlungseingang"
// (orders::ApplyPayment under store::ChangeOrderHead), with the statement's
// booking date as payment date. Before the first order is written the plan
// is appended to BANKUMS.DAT; before each order's head is written (under
// the order index's lock) its old paid figure, date and account; after the
// last one the booking is marked done. A run that dies in between leaves a
// plan without its mark: the next run finishes it where each order shows
// the old figure, and marks it done, so a transaction is booked whole or
// not at all. Where an order refuses its payment (deleted meanwhile, an
// amount beyond its field) the orders written so far get their old heads
// back and the booking is marked taken back.
#ifndef BELVON_BANK_BANK_BOOKING_H
#define BELVON_BANK_BANK_BOOKING_H

#include <string>
#include <vector>

#include "bank/booked_transactions.h"
#include "bank/matching.h"
#include "store/app_state.h"

namespace bank {

// Books `plan` for the transaction `identity` booked on `date` (the
// account text UTF-8, cut to 8 characters of the order head). True when
// every payment is booked and the booking marked done.
bool BookTransaction(frame::AppState& app, BookedTransactions& booked, const std::string& identity,
                     const std::string& date, std::int64_t cents, const std::vector<Allocation>& plan,
                     const std::string& account);

// Finishes (or takes back) every booking a run left pending; the number of
// bookings it settled either way. An order whose paid figure is neither
// the one before nor the one after the booking (paid by hand meanwhile) is
// named to the user and left as it is.
int FinishPendingBookings(frame::AppState& app, BookedTransactions& booked);

}  // namespace bank

#endif  // BELVON_BANK_BANK_BOOKING_H
