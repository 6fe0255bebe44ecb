// How an order is billed, beyond the order flags of order_record.h: the
// price kind that its prices are meant in, and the marks of a collective
// invoice and of the delivery notes it bills.
//
// Layout: doc/formats/order-file.md
#ifndef BELVON_STORE_ORDER_KINDS_H
#define BELVON_STORE_ORDER_KINDS_H

#include <cstdint>

#include "store/order_record.h"

namespace store {

// OrderHead::flags. A collective invoice: an invoice of its own number whose
// lines are the lines of the delivery notes it bills, each line keeping the
// number of its delivery note. It is never booked; its delivery notes are.
inline constexpr std::uint16_t kOrderCollectiveInvoice = 512;
// Billed by a collective invoice, which carries the amount: the order counts
// in no journal, open item, dunning run or e-invoice of its own.
inline constexpr std::uint16_t kOrderCollectivelyBilled = 1024;

// How an order's prices are meant: net (0), gross (128) or gross printed as
// net (128 | 256). The gross-as-net flag alone changes nothing on a net order.
inline std::uint16_t PriceKind(std::uint16_t orderFlags) {
  if (!(orderFlags & kOrderPricesIncludeTax)) return 0;
  return orderFlags & (kOrderPricesIncludeTax | kOrderGrossAsNet);
}

}  // namespace store

#endif  // BELVON_STORE_ORDER_KINDS_H
