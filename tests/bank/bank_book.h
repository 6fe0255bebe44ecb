// A data directory with issued invoices, credit notes and a quotation for
// the bank statement tests; today is 6 December 2026, invoices are dated
// 1 December.
#ifndef BELVON_TESTS_BANK_BANK_BOOK_H
#define BELVON_TESTS_BANK_BANK_BOOK_H

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "orders/issuing.h"
#include "store/order_kinds.h"
#include "support/order_book.h"

namespace banktest {

class BankBook : public testsupport::OrderBook {
 public:
  // A stored and issued invoice (negative: a credit note) of `cents` for a
  // new customer of that name; its number.
  std::int32_t issued(const std::string& customerName, std::int32_t cents, std::int16_t discount = 0,
                      std::int16_t period = 0) {
    const std::int32_t who = customer(customerName);
    store::OrderHead head = order(who, store::kOrderDeliveryNotePrinted,
                                  {testsupport::BookLine{cents < 0 ? -1.0 : 1.0, cents < 0 ? -cents : cents}});
    EXPECT_EQ(store::ReadOrder(app, app.order, app.orders.position), 1);
    app.order.cashDiscount = discount;
    app.order.cashDiscountPeriod = period;
    std::int32_t at = app.orders.position;
    EXPECT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
    EXPECT_TRUE(orders::RecordIssue(app, orders::DocumentKind::Invoice, "01.12.2026"));
    return head.orderNumber;
  }
  // A stored order that was never issued (a quotation).
  std::int32_t quotation(const std::string& customerName, std::int32_t cents) {
    return order(customer(customerName), 0, {testsupport::BookLine{1, cents}}).orderNumber;
  }
  std::int32_t paid(std::int32_t number) { return stored(number).paid; }
};

}  // namespace banktest

#endif  // BELVON_TESTS_BANK_BANK_BOOK_H
