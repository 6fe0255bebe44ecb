// The order file: RECHNUNG.IDX / RECHNUNG.DAT, sorted by order number. An
// order is its 80-byte head followed by its 402-byte lines.
#ifndef BELVON_STORE_ORDER_FILE_H
#define BELVON_STORE_ORDER_FILE_H

#include <cstdint>

#include "frame/app_state.h"
#include "store/order_record.h"

namespace store {

enum class StoreMode {
  Rewrite = 0,    // in place, at the current entry's offset (line count unchanged)
  NewNumber = 1,  // a new order: draw the next number
  SameNumber = 2, // again under its own number, as a new entry
};

int DeleteOrderEntry(frame::AppState& app, std::int32_t& position);

// Reads the head into `head` and the lines into app.orderLines[1 ..]; loads
// the order's customer into app.orderAddress unless it is the current
// address. 0 beyond the last entry, for a head that cannot be read
// (reported) and for an order whose customer was deleted.
int ReadOrder(frame::AppState& app, OrderHead& head, std::int32_t position);

// From the entry after (or before) `position`: the order with the criteria's
// number when it is at least 1, else the next order of the criteria's
// customer.
int FindOrder(frame::AppState& app, const OrderHead& criteria, std::int32_t& position,
              bool forward);

// Writes the head and lines 1 .. line count of app.orderLines.
int StoreOrder(frame::AppState& app, OrderHead& head, std::int32_t& position, StoreMode mode);

}  // namespace store

#endif  // BELVON_STORE_ORDER_FILE_H
