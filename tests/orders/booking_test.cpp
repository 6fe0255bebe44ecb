// The booking run: stock and turnover move once per line, and every order
// is either booked whole or left as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "orders/booking.h"
#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;
using store::kLineBackOrder;
using store::kLineBooked;
using store::kOrderBooked;
using store::kOrderDeliveryNotePrinted;

constexpr const char* kFiles[] = {"RECHNUNG.DAT", "ARTIKEL.DAT", "KUNDEN.DAT"};

std::map<std::string, std::vector<std::uint8_t>> Files(const testsupport::OrderBook& book) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const char* name : kFiles) files[name] = testsupport::ReadBytes(book.dir.file(name));
  return files;
}

// Two articles with 10 in stock and one customer; lines refer to article A
// (articleRef 1), article B (2) or no article (0).
struct Shop : testsupport::OrderBook {
  Shop() : customerRef(customer("Meier")), a(article("A", 10)), b(article("B", 10)) {}
  store::OrderHead add(std::uint16_t flags, std::vector<BookLine> lines) {
    for (BookLine& line : lines) line.articleRef = line.articleRef == 1   ? a
                                                   : line.articleRef == 2 ? b
                                                                          : -1;
    return order(customerRef, flags, lines);
  }
  std::int32_t customerRef, a, b;
};

TEST(BookDeliveredOrders, BooksEachLineOnceAndTheOrderOnlyWhenAllIsDelivered) {
  struct Case {
    const char* name;
    std::uint16_t flags;
    std::vector<BookLine> lines;  // quantity, price, article 1/2/0, flags, discount
    bool booked;
    std::vector<std::uint16_t> lineFlags;
    double stockA, stockB;
    std::int32_t turnover;  // lines without an article add none
    bool dated;             // the customer's first contact and last order
  };
  const std::uint16_t printed = kOrderDeliveryNotePrinted;
  const Case cases[] = {
      {"all delivered", printed, {{2, 250, 1, 0, 100}, {1, 1000, 0}}, true,
       {kLineBooked, kLineBooked}, 8, 10, 450, true},
      {"no delivery note", store::kOrderQuotationPrinted, {{2, 250, 1}}, false, {0}, 10, 10, 0, false},
      {"booked before", printed | kOrderBooked, {{2, 250, 1}}, true, {0}, 10, 10, 0, false},
      {"one back-order line", printed, {{2, 250, 1}, {3, 100, 2, kLineBackOrder}}, false,
       {kLineBooked, kLineBackOrder}, 8, 10, 500, true},
      {"a line booked before", printed, {{2, 250, 1, kLineBooked}, {1, 100, 2}}, true,
       {kLineBooked, kLineBooked}, 10, 9, 100, true},
      {"goods receipt", printed, {{-5, 100, 1}}, true, {kLineBooked}, 15, 10, -500, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Shop shop;
    const store::OrderHead head = shop.add(c.flags, c.lines);
    const store::OrderHead before = shop.stored(head.orderNumber);
    // A second run finds nothing more to book.
    for (int run = 1; run <= 2; ++run) {
      SCOPED_TRACE(run);
      orders::BookDeliveredOrders(shop.app);
      std::vector<store::OrderLine> lines;
      store::OrderHead after = shop.stored(head.orderNumber, &lines);
      EXPECT_EQ((after.flags & kOrderBooked) != 0, c.booked);
      for (std::size_t i = 0; i < c.lineFlags.size(); ++i)
        EXPECT_EQ(lines[i + 1].flags, c.lineFlags[i]) << "line " << i + 1;
      EXPECT_EQ(shop.stock(shop.a), c.stockA);
      EXPECT_EQ(shop.stock(shop.b), c.stockB);
      const store::AddressRecord customer = shop.address(shop.customerRef);
      EXPECT_EQ(customer.turnover, c.turnover);
      EXPECT_EQ(store::GetText(customer.lastOrder), c.dated ? "01.12.2026" : "");
      EXPECT_EQ(store::GetText(customer.firstContact), c.dated ? "01.12.2026" : "");
      // Nothing but the booked flag changes in the head.
      after.flags = before.flags;
      EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }
    EXPECT_EQ(shop.ui.texts(), std::vector<std::string>{});
  }
}

TEST(BookDeliveredOrders, AConfirmedBackOrderLetsTheNextRunBookTheSourceWithoutMovingStock) {
  Shop shop;
  const store::OrderHead head =
      shop.add(kOrderDeliveryNotePrinted, {{2, 250, 1}, {3, 100, 2, kLineBackOrder}});
  orders::BookDeliveredOrders(shop.app);
  // The confirmation moves the back-order line out of the source order.
  store::OrderHead source = shop.stored(head.orderNumber);
  std::int32_t position = 0;
  ASSERT_EQ(store::ReadOrder(shop.app, source, position), 1);
  shop.app.orders.position = position;
  source.lineCount = 1;
  source.flags &= static_cast<std::uint16_t>(~store::kOrderHasBackOrder);
  ASSERT_EQ(store::StoreOrder(shop.app, source, position, store::StoreMode::Rewrite), 1);

  const orders::BookingResult result = orders::BookDeliveredOrders(shop.app);
  EXPECT_EQ(result.ordersBooked, 1);
  EXPECT_EQ(result.linesBooked, 0);
  EXPECT_EQ(shop.stored(head.orderNumber).flags & kOrderBooked, kOrderBooked);
  EXPECT_EQ(shop.stock(shop.a), 8);
  EXPECT_EQ(shop.address(shop.customerRef).turnover, 500);
  // The pane shows the booked state.
  EXPECT_EQ(shop.app.order.flags & kOrderBooked, kOrderBooked);
}

TEST(BookDeliveredOrders, EscStopsBetweenOrdersAndADamagedOrderIsLeftAlone) {
  Shop shop;
  std::vector<std::int32_t> numbers;
  for (int i = 0; i < 4; ++i)
    numbers.push_back(shop.add(kOrderDeliveryNotePrinted, {{1, 100, 1}, {1, 100, 2}}).orderNumber);
  // The third order's date loses its point.
  std::vector<std::uint8_t> data = testsupport::ReadBytes(shop.dir.file("RECHNUNG.DAT"));
  data[2 * (80 + 2 * 402) + store::kOrderDatePointOffset] = '-';
  testsupport::WriteBytes(shop.dir.file("RECHNUNG.DAT"), data);

  shop.ui.escapeAtProgress(2);
  orders::BookingResult result = orders::BookDeliveredOrders(shop.app);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.ordersBooked, 1);
  EXPECT_EQ(shop.stock(shop.a), 9);
  EXPECT_EQ(shop.stored(numbers[1]).flags & kOrderBooked, 0);

  shop.ui.escapeAtProgress(0);
  result = orders::BookDeliveredOrders(shop.app);
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.ordersBooked, 2);
  EXPECT_EQ(shop.stock(shop.a), 7);
  EXPECT_EQ(shop.stock(shop.b), 7);
  EXPECT_EQ(shop.address(shop.customerRef).turnover, 600);
  EXPECT_EQ(shop.ui.texts(),
            std::vector<std::string>{"Probleme mit Rechnung #" + std::to_string(numbers[2]) +
                                     "\nBuchung nicht durchgeführt."});
  EXPECT_EQ(shop.ui.progressValues, (std::vector<int>{25, 50, 25, 50, 75, 100}));
}

// Whichever write fails, the order with its articles and its customer is in
// the files either booked whole or exactly as before.
TEST(BookDeliveredOrders, AFailedWriteLeavesTheOrderWhollyUnbooked) {
  Shop shop;
  shop.add(kOrderDeliveryNotePrinted, {{2, 250, 1}, {1, 100, 0}, {3, 100, 2}});
  const auto before = Files(shop);
  orders::BookDeliveredOrders(shop.app);
  const auto booked = Files(shop);
  ASSERT_NE(before, booked);
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    for (const auto& [name, bytes] : before) testsupport::WriteBytes(shop.dir.file(name), bytes);
    testsupport::FailingFileSystem faults(platform::IoOp::Write, n);
    shop.app.fileSystem = &faults;
    orders::BookDeliveredOrders(shop.app);
    shop.app.fileSystem = &platform::SystemFileSystem();
    if (!faults.reached()) {
      EXPECT_EQ(Files(shop), booked);
      break;
    }
    EXPECT_EQ(Files(shop), before);
    ASSERT_LT(n, 50);
  }
}

}  // namespace
