// Booking the delivered orders ("&Buchen..."): every line of an order whose
// delivery note was printed takes its quantity out of the stock of its
// article and its amount into the customer's turnover, exactly once.
#ifndef BELVON_ORDERS_BOOKING_H
#define BELVON_ORDERS_BOOKING_H

#include "store/app_state.h"

namespace orders {

struct BookingResult {
  int ordersBooked = 0;  // orders that now carry the booked flag
  int linesBooked = 0;   // lines booked in this run
  bool stopped = false;  // the user pressed Esc
  bool failed = false;   // a data file could not be opened; the run ended there
};

// Walks the orders in index order. An order is booked whole or not at all:
// its article records, its customer and the order itself are written only
// after everything was read and worked out, and a write that fails puts back
// what was already written. Esc is looked at between orders. Orders without a
// printed delivery note, booked ones and orders in which nothing is left to
// book stay untouched; a back-order line keeps its order unbooked while the
// other lines are booked. The panes' current records are read again at the
// end.
BookingResult BookDeliveredOrders(frame::AppState& app);

// "Buchungen ausführen ?"; Yes runs BookDeliveredOrders. False for No.
bool ConfirmAndBookDeliveredOrders(frame::AppState& app, BookingResult* result = nullptr);

}  // namespace orders

#endif  // BELVON_ORDERS_BOOKING_H
