// The order file: RECHNUNG.IDX / RECHNUNG.DAT, sorted by order number. An
// order is its 80-byte head followed by its 402-byte lines.
#ifndef BELVON_STORE_ORDER_FILE_H
#define BELVON_STORE_ORDER_FILE_H

#include <cstdint>
#include <functional>

#include "store/app_state.h"
#include "store/order_record.h"

namespace store {

enum class StoreMode {
  Rewrite = 0,    // in place, at the current entry's offset (line count unchanged)
  NewNumber = 1,  // a new order: draw the next number
  SameNumber = 2, // again under its own number, appended; its new entry takes
                  // the place of the old one (or is inserted when there is none)
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

// Changes the head of the order numbered `orderNumber` where it is stored
// now. The order index is held exclusively from the lookup to the write, so
// that no other copy stores, deletes or moves an order meanwhile (the
// reorganisations hold it too), and `change` works on the head as the file
// holds it under the record file's lock: what another copy wrote to it since
// the caller read it (a payment, a flag, a dunning level) is kept, and a head
// that moved is found again, never written at an old offset. The lines stay
// as they are. `changed` receives the head as written, and the order cursor
// follows the order. 0, with the file as it was, when the order is gone
// (told), its head is damaged (told), `change` refused or a file failed.
int ChangeOrderHead(frame::AppState& app, std::int32_t orderNumber,
                    const std::function<bool(OrderHead& head)>& change,
                    OrderHead* changed = nullptr);

// For a caller that holds the order index exclusively: the number the next
// draw gives and the counter it finds, nothing written.
bool PeekOrderNumber(frame::AppState& app, std::int32_t& number, std::uint32_t& counter);

// For a caller that holds the order index exclusively (so that no other copy
// draws meanwhile): the next order number goes into `head` and the counter
// in the parameter file is raised past it; `drawn` is the counter it held
// before. False (nothing drawn) when the parameter file failed.
bool DrawNextOrderNumber(frame::AppState& app, OrderHead& head, std::uint32_t& drawn);

// Gives `number` back (the counter becomes `drawn` again) while no other
// number was drawn after it; true when it was given back. Held as above.
bool GiveBackOrderNumber(frame::AppState& app, std::int32_t number, std::uint32_t drawn);

// Writes the head and lines 1 .. line count of app.orderLines.
int StoreOrder(frame::AppState& app, OrderHead& head, std::int32_t& position, StoreMode mode);

}  // namespace store

#endif  // BELVON_STORE_ORDER_FILE_H
