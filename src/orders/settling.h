// Settling open items ("Offene Rechnungen egalisieren"): orders of a number
// range are declared paid in one go.
#ifndef BELVON_ORDERS_SETTLING_H
#define BELVON_ORDERS_SETTLING_H

#include <string>
#include <string_view>
#include <vector>
#include <cstdint>

#include "store/app_state.h"

namespace orders {

// The account text of a settled order. The note "egalisiert <date>" does
// not fit the 8 characters of the account field, whose neighbour is the
// invoice date: it is cut to the field, and the date of the settlement goes
// into the payment date, where it stays readable.
std::string SettlementNote();

// Every order of the selected customer (or of every customer) whose number
// lies in from .. to, both included, and that has something open (total
// above paid) gets paid = total, the note and today as payment date,
// whatever its printed state; its head is rewritten in place with its stored
// length. An order with money owed back (paid beyond its total) stays as it
// is and its number goes to `owedBack`. Damaged heads are reported and left
// alone. The current order is read again at the end. 0 when the files could
// not be opened or a write failed; `settled` counts the orders written.
int SettleOpenItems(frame::AppState& app, long from, long to, bool allCustomers,
                    int* settled = nullptr, std::vector<std::int32_t>* owedBack = nullptr);

// "Nicht egalisiert (Guthaben des Kunden): Nr. 1, 2" for the orders left
// alone with money owed back; empty when there are none.
std::string OwedBackNote(const std::vector<std::int32_t>& owedBack);

}  // namespace orders

#endif  // BELVON_ORDERS_SETTLING_H
