// Confirming back-orders: a confirmed line leaves its source order for a new
// follow-up order, exactly once, whatever fails.
#include "orders/back_orders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace {

using store::kLineBackOrder;
using testsupport::BookLine;

// The lines of the orders with these numbers: sale price and flags.
using Lines = std::vector<std::pair<std::int32_t, std::uint16_t>>;
std::vector<Lines> Orders(testsupport::OrderBook& book, const std::vector<std::int32_t>& numbers) {
  std::vector<Lines> all;
  for (std::int32_t number : numbers) {
    std::vector<store::OrderLine> lines;
    book.stored(number, &lines);
    all.emplace_back();
    for (std::size_t i = 1; i < lines.size(); ++i)
      all.back().emplace_back(+lines[i].salePrice, std::uint16_t{lines[i].flags});
  }
  return all;
}

TEST(ConfirmBackOrders, MovesOneMarkedLineIntoANewOrderAndLeavesTheOthers) {
  struct Case {
    const char* name;
    std::vector<BookLine> lines;
    Lines source, followUp;
  };
  const Case cases[] = {
      {"one of two back-orders",
       {{1, 100}, {3, 300, -1, kLineBackOrder}, {1, 500, -1, kLineBackOrder}},
       {{100, 0}, {500, kLineBackOrder}},
       {{300, 0}}},
      {"one of two equal back-orders",
       {{3, 300, -1, kLineBackOrder}, {3, 300, -1, kLineBackOrder}},
       {{300, kLineBackOrder}},
       {{300, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::OrderBook book;
    book.order(book.customer("Schulz"), 0, {{1, 700, -1, kLineBackOrder}});
    const std::int32_t customer = book.customer("Meier");
    const std::int32_t source =
        book.order(customer, store::kOrderHasBackOrder, c.lines).orderNumber;
    orders::BackOrderConfirmation confirmation;
    ASSERT_EQ(orders::PrepareBackOrders(book.app, confirmation), 1);
    ASSERT_EQ(confirmation.entries.size(), c.lines.size() - c.source.size() + 1);
    EXPECT_EQ(confirmation.entries[0].text, "       " + std::to_string(source) + " 3.000   ");
    ASSERT_EQ(orders::ConfirmBackOrders(book.app, confirmation, {true}, "07.12.2026"), 1);
    const store::OrderHead followUp = book.stored(book.app.order.orderNumber);
    EXPECT_GT(+followUp.orderNumber, source);
    EXPECT_EQ(store::GetText(followUp.orderDate), "07.12.2026");
    EXPECT_EQ(+followUp.total, 900);
    EXPECT_EQ(Orders(book, {source, followUp.orderNumber}),
              (std::vector<Lines>{c.source, c.followUp}));
    const store::OrderHead after = book.stored(source);
    EXPECT_EQ(after.flags & store::kOrderHasBackOrder, store::kOrderHasBackOrder);
    EXPECT_EQ(+after.total, c.source[0].second ? 0 : 100);
  }
}

// Whichever write fails, the confirmed line is in exactly one order: still a
// back-order of its source, or delivered in the follow-up order.
TEST(ConfirmBackOrders, AFailedWriteNeverLosesNorDoublesALine) {
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    testsupport::OrderBook book;
    const std::int32_t source =
        book.order(book.customer("Meier"), 0, {{1, 100}, {3, 300, -1, kLineBackOrder}}).orderNumber;
    orders::BackOrderConfirmation confirmation;
    ASSERT_EQ(orders::PrepareBackOrders(book.app, confirmation), 1);
    testsupport::FailingFileSystem faults(platform::IoOp::Write, n);
    book.app.fileSystem = &faults;
    const int result = orders::ConfirmBackOrders(book.app, confirmation, {true}, "07.12.2026");
    book.app.fileSystem = &platform::SystemFileSystem();
    const std::int32_t followUp = book.stored(source + 1).orderNumber;
    const std::vector<Lines> moved{{{100, 0}}, {{300, 0}}}, kept{{{100, 0}, {300, kLineBackOrder}}, {}};
    EXPECT_EQ(Orders(book, {source, followUp}), result == 1 ? moved : kept);
    if (!faults.reached()) {
      EXPECT_EQ(result, 1);
      break;
    }
    ASSERT_LT(n, 50);
  }
}

TEST(BackOrdersOfArticle, ListsTheArticlesBackOrderLinesOfOrdersMarkedWithBackOrders) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t listed = book.order(customer, store::kOrderHasBackOrder,
                                         {{3, 0, -1, kLineBackOrder, 0, "A-1"},
                                          {1, 0, -1, kLineBackOrder, 0, "B"},
                                          {2, 0, -1, 0, 0, "A-1"}})
                                  .orderNumber;
  book.order(customer, 0, {{1, 0, -1, kLineBackOrder, 0, "A-1"}});
  EXPECT_EQ(orders::BackOrdersOfArticle(book.app, "A-1"),
            std::vector<std::string>{std::to_string(listed) + " 3.000  A-1 "});
}

}  // namespace
