// Finding orders by number or by customer name ("Auftrag suchen"): the whole
// order index is walked once, with the progress box and Esc, and every order
// found becomes one line "number, date, total currency" of the result list.
#ifndef BELVON_ORDERS_ORDER_SEARCH_H
#define BELVON_ORDERS_ORDER_SEARCH_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"

namespace orders {

// A search by number lists at most this many orders.
inline constexpr int kOrderSearchLimit = 500;

struct OrderHit {
  std::int32_t position;  // in the order index
  std::string text;       // "%ld, %s, %5.2f %s"
};

struct OrderSearchResult {
  std::vector<OrderHit> hits;
  bool moreThanLimit = false;  // a number search found more than the limit
  bool stopped = false;        // Esc
  bool unreadable = false;     // the order index could not be read
};

// A typed number of up to three digits finds every order number ending in
// those digits (57 finds ...057); a longer one finds that very number.
bool OrderNumberMatches(std::int32_t orderNumber, long typed);

// With a name: every order of a customer whose name line 2 contains it, in
// any letter case (also umlauts), without a limit; the typed number is then
// ignored. Without a name: the orders whose number matches a number of at
// least 1. Neither lists nothing.
OrderSearchResult SearchOrders(frame::AppState& app, long number, std::string_view name);

// The result line under the list.
std::string OrderSearchSummary(const OrderSearchResult& result);

// Makes the address at record offset `offset` the selected address; false
// when no index entry points there any more.
bool SelectAddressAt(frame::AppState& app, std::int32_t offset);

}  // namespace orders

#endif  // BELVON_ORDERS_ORDER_SEARCH_H
