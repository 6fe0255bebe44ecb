// Order numbers. An order keeps one number for its whole life, and that
// number is also its invoice number. By default numbers carry the year and
// month: ((year - 1900) * 100 + month) * 10000 + sequence, so that in
// December 2026 the first number is 126120001; with the "+1" setting they
// simply count up.
#ifndef BELVON_STORE_NUMBERING_H
#define BELVON_STORE_NUMBERING_H

#include <cstdint>

#include "store/app_state.h"
#include "store/order_record.h"

namespace orders {

std::uint32_t MonthPrefix(int year, int month);

// The month rule, run when a new order draws its number: when the counter
// still belongs to an earlier month (or is a short number of at most four
// digits), the user is asked "Soll die Rechnungsnummer auf Monat %d
// umgeschaltet werden ?" and Yes starts the new month at sequence 1.
// Returns the counter to draw from.
std::uint32_t ApplyMonthRule(frame::AppState& app, std::uint32_t counter);

// The head of a new order for the current customer: his payment terms and
// currency, the next number from the parameter file, the gross-price flags
// and today's date. Nothing is stored.
store::OrderHead NewOrderHead(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_STORE_NUMBERING_H
