// Confirming back-orders ("NACHLIEFERUNG"): lines that were not delivered
// with their orders are delivered now and move into a new follow-up order.
#ifndef BELVON_ORDERS_BACK_ORDERS_H
#define BELVON_ORDERS_BACK_ORDERS_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"

namespace orders {

struct BackOrderEntry {
  std::string text;                // the list entry (Windows-1252)
  store::OrderLine line;           // back-order flag cleared
  std::uint32_t sourceOffset = 0;  // where its order's head lies in RECHNUNG.DAT
  std::int32_t sourceNumber = 0;
  std::uint8_t sourceCurrency = 0;
  std::uint16_t sourcePriceKind = 0;  // its order's store::PriceKind
};


struct BackOrderConfirmation {
  store::OrderHead followUp{};  // the new order, numbered when stored
  std::vector<BackOrderEntry> entries;
};

// The follow-up order of the selected customer (payment terms from the
// customer, dated today, the next number shown) and every back-order line of
// the customer's orders, in index order, at most as many as an order holds.
// 0 when no address is selected or the order file cannot be read.
int PrepareBackOrders(frame::AppState& app, BackOrderConfirmation& confirmation);

// "&OK" with the entries marked in `confirmed`: the follow-up order dated
// `date` is stored with a new number and the confirmed lines, then each
// line is taken out of its source order (one stored line for each confirmed
// one), whose total and back-order flag are computed again. A line keeps the
// currency and the price kind of its source order: lines of different
// currencies or price kinds go into one follow-up order each (the user is
// told their numbers), so that no price is read in another currency or
// taxed twice. The follow-up order stored last becomes the current order.
// Nothing marked: nothing happens (1). When a source order changed meanwhile
// or cannot be rewritten, every source is put back, the follow-up orders'
// entries are removed, the user is told, the current order stays and the
// result is 0.
int ConfirmBackOrders(frame::AppState& app, const BackOrderConfirmation& confirmation,
                      const std::vector<bool>& confirmed, std::string_view date);

// The list "NACHLIEFERLISTDLG": every back-order line with this article
// number in the orders that have back-orders, in index order, as
// "%ld %-.3f %s %s %s" (order number, quantity, unit, article number,
// description 1; Windows-1252).
std::vector<std::string> BackOrdersOfArticle(frame::AppState& app, std::string_view articleNumber);

}  // namespace orders

#endif  // BELVON_ORDERS_BACK_ORDERS_H
