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

// A follow-up order prices its lines as their source orders did: lines of
// another currency or price kind go into a follow-up order of their own.
TEST(ConfirmBackOrders, KeepsEachSourcesCurrencyAndPriceKind) {
  testsupport::OrderBook book;
  for (int currency : {0, 1}) store::SetTaxRate(book.app.parameters, currency, 3, 190);
  ASSERT_EQ(frame::SaveParameters(book.app), 1);  // a new order reads the parameter file
  const std::int32_t customer = book.customer("Meier");
  constexpr std::uint16_t kGross = store::kOrderPricesIncludeTax;
  constexpr std::uint16_t kGrossAsNet = kGross | store::kOrderGrossAsNet;
  struct Source {
    std::uint16_t flags;
    std::uint8_t currency;
    std::int32_t price;
  };
  const Source sources[] = {
      {0, 0, 1000}, {kGross, 0, 1190}, {0, 1, 1000}, {kGrossAsNet, 0, 1190}, {0, 0, 500}};
  std::int32_t last = 0;
  for (const Source& source : sources) {
    last = book.order(customer, source.flags | store::kOrderHasBackOrder,
                      {{1, source.price, -1, kLineBackOrder, 0, "", store::kTaxCodeRate2}})
               .orderNumber;
    store::OrderHead head{}, criteria{};
    criteria.orderNumber = last;
    std::int32_t position = -1;
    ASSERT_TRUE(store::FindOrder(book.app, criteria, position, true));
    ASSERT_EQ(store::ReadOrder(book.app, head, position), 1);
    book.app.orders.position = position;
    head.currency = source.currency;
    ASSERT_EQ(store::StoreOrder(book.app, head, position, store::StoreMode::Rewrite), 1);
  }
  orders::BackOrderConfirmation confirmation;
  ASSERT_EQ(orders::PrepareBackOrders(book.app, confirmation), 1);
  ASSERT_EQ(confirmation.entries.size(), 5u);
  book.ui.shown.clear();
  ASSERT_EQ(orders::ConfirmBackOrders(book.app, confirmation, std::vector<bool>(5, true),
                                      "07.12.2026"),
            1);
  // Currency, price kind, lines and total of each follow-up order: the net
  // EUR lines together (15.00 + 19 %), every other kind alone at 11.90.
  std::vector<std::vector<int>> followUps;
  for (std::int32_t number = last + 1; number <= last + 5; ++number) {
    const store::OrderHead head = book.stored(number);
    if (head.orderNumber == number)
      followUps.push_back({head.currency, head.flags & kGrossAsNet, head.lineCount, head.total});
  }
  EXPECT_EQ(followUps, (std::vector<std::vector<int>>{
                           {0, 0, 2, 1785}, {0, kGross, 1, 1190}, {1, 0, 1, 1190},
                           {0, kGrossAsNet, 1, 1190}}));
  EXPECT_EQ(+book.app.order.orderNumber, last + 4);
  const std::string numbers = std::to_string(last + 1) + ", " + std::to_string(last + 2) + ", " +
                              std::to_string(last + 3) + ", " + std::to_string(last + 4);
  EXPECT_EQ(book.ui.texts(),
            std::vector<std::string>{"Die Positionen haben verschiedene Währungen oder "
                                     "Preisarten (netto, brutto, brutto als netto).\nDie "
                                     "Nachlieferung steht daher in 4 Aufträgen: " +
                                     numbers + "."});
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
  book.app.figures = frame::FigureStyle::German;
  EXPECT_EQ(orders::BackOrdersOfArticle(book.app, "A-1"),
            std::vector<std::string>{std::to_string(listed) + " 3  A-1 "});
}

}  // namespace
