// A goods receipt booked at the cash desk: stock comes in, nothing is sold.
// It is stored as an order of the supplier address with every quantity
// negated, carrying the delivery-note mark (so that booking moves its stock)
// and this mark, but never the invoice mark: no journal, open-items list,
// dunning run, statistic or turnover counts it.
//
// Layout: doc/formats/order-file.md (order flags)
#ifndef BELVON_ORDERS_GOODS_RECEIPT_H
#define BELVON_ORDERS_GOODS_RECEIPT_H

#include <cstdint>

#include "store/order_record.h"

namespace orders {

// OrderHead::flags.
inline constexpr std::uint16_t kOrderGoodsReceipt = 2048;

inline bool IsGoodsReceipt(const store::OrderHead& head) {
  return (head.flags & kOrderGoodsReceipt) != 0;
}

}  // namespace orders

#endif  // BELVON_ORDERS_GOODS_RECEIPT_H
