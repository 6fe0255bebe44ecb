// The booking run: stock and turnover move once per line, and every order
// is either booked whole or left as it was.
#include "orders/booking.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace {

using store::kLineBackOrder;
using store::kLineBooked;
using store::kOrderBooked;
using testsupport::BookLine;
constexpr std::uint16_t kDelivered = store::kOrderDeliveryNotePrinted;

// Two articles with 10 in stock and one customer; a line's article 1 is A,
// 2 is B, 0 none.
struct Shop : testsupport::OrderBook {
  Shop() : customerRef(customer("Meier")), a(article("A", 10)), b(article("B", 10)) {}
  store::OrderHead add(std::uint16_t flags, std::vector<BookLine> lines) {
    for (BookLine& line : lines)
      line.articleRef = line.articleRef == 0 ? -1 : line.articleRef == 1 ? a : b;
    return order(customerRef, flags, lines);
  }
  static constexpr const char* kFiles[] = {"RECHNUNG.DAT", "ARTIKEL.DAT", "KUNDEN.DAT"};
  std::vector<std::vector<std::uint8_t>> files() {
    std::vector<std::vector<std::uint8_t>> all;
    for (const char* name : kFiles) all.push_back(testsupport::ReadBytes(dir.file(name)));
    return all;
  }
  void restore(const std::vector<std::vector<std::uint8_t>>& all) {
    for (std::size_t i = 0; i < all.size(); ++i)
      testsupport::WriteBytes(dir.file(kFiles[i]), all[i]);
  }
  std::int32_t customerRef, a, b;
};

TEST(BookDeliveredOrders, BooksEachLineOnceAndTheOrderOnlyWhenAllIsDelivered) {
  struct Case {
    const char* name;
    std::uint16_t flags;
    std::vector<BookLine> lines;  // quantity, price, article, flags, discount
    bool booked;
    std::vector<std::uint16_t> lineFlags;
    double stockA, stockB;
    std::int32_t turnover;  // the net of every booked line, with or without article
    bool dated;             // the customer's first contact and last order
  };
  // clang-format off
  const Case cases[] = {
      {"all delivered", kDelivered, {{2, 250, 1, 0, 100}, {1, 1000, 0}}, true,
       {kLineBooked, kLineBooked}, 8, 10, 1450, true},
      {"gross prices", kDelivered | store::kOrderPricesIncludeTax,
       {{1, 1190, 1, 0, 0, "A", store::kTaxCodeRate2}, {2, 535, 0, 0, 0, "", store::kTaxCodeRate1}},
       true, {kLineBooked, kLineBooked}, 9, 10, 1000 + 1000, true},
      {"no delivery note", store::kOrderInvoicePrinted, {{2, 250, 1}}, false, {0}, 10, 10, 0, false},
      {"booked before", kDelivered | kOrderBooked, {{2, 250, 1}}, true, {0}, 10, 10, 0, false},
      {"one back-order line", kDelivered, {{2, 250, 1}, {3, 100, 2, kLineBackOrder}}, false,
       {kLineBooked, kLineBackOrder}, 8, 10, 500, true},
      {"a line booked before", kDelivered, {{2, 250, 1, kLineBooked}, {1, 100, 2}}, true,
       {kLineBooked, kLineBooked}, 10, 9, 100, true},
      {"goods receipt", kDelivered, {{-5, 100, 1}}, true, {kLineBooked}, 15, 10, -500, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    Shop shop;
    store::SetTaxRate(shop.app.parameters, 0, 2, 70);
    store::SetTaxRate(shop.app.parameters, 0, 3, 190);
    const store::OrderHead before = shop.stored(shop.add(c.flags, c.lines).orderNumber);
    for (int run = 1; run <= 2; ++run) {  // the second run finds nothing more to book
      SCOPED_TRACE(std::string(c.name) + ", run " + std::to_string(run));
      orders::BookDeliveredOrders(shop.app);
      std::vector<store::OrderLine> lines;
      store::OrderHead after = shop.stored(before.orderNumber, &lines);
      EXPECT_EQ((after.flags & kOrderBooked) != 0, c.booked);
      for (std::size_t i = 0; i < c.lineFlags.size(); ++i)
        EXPECT_EQ(+lines[i + 1].flags, c.lineFlags[i]);
      EXPECT_EQ(shop.stock(shop.a), c.stockA);
      EXPECT_EQ(shop.stock(shop.b), c.stockB);
      const store::AddressRecord customer = shop.address(shop.customerRef);
      EXPECT_EQ(+customer.turnover, c.turnover);
      EXPECT_EQ(store::GetText(customer.lastOrder), c.dated ? "01.12.2026" : "");
      EXPECT_EQ(store::GetText(customer.firstContact), c.dated ? "01.12.2026" : "");
      after.flags = before.flags;  // nothing else of the head changes
      EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }
    EXPECT_EQ(shop.ui.texts(), std::vector<std::string>{});
  }
}

// A service (hours, a travel flat rate) is booked into the turnover and
// marks its line booked, but its stock never moves; goods on the same order
// still leave the stock.
TEST(BookDeliveredOrders, AServiceNeverLeavesItsStock) {
  struct Case {
    const char* name;
    std::vector<BookLine> lines;  // article 1 is goods A, 2 the service
    double stockA, stockService;
    std::int32_t turnover;
  };
  const Case cases[] = {
      {"hours alone", {{36.5, 4800, 2}}, 10, 0, 175200},
      {"hours and goods", {{8, 4800, 2}, {2, 250, 1}}, 8, 0, 38400 + 500},
      {"a returned hour", {{-1, 4800, 2}}, 10, 0, -4800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::OrderBook shop;
    const std::int32_t customer = shop.customer("Meier");
    const std::int32_t goods = shop.article("A", 10);
    const std::int32_t service = shop.article("STUNDE", 0, true);
    std::vector<BookLine> lines = c.lines;
    for (BookLine& line : lines) line.articleRef = line.articleRef == 1 ? goods : service;
    const store::OrderHead head = shop.order(customer, kDelivered, lines);
    orders::BookDeliveredOrders(shop.app);
    std::vector<store::OrderLine> stored;
    EXPECT_NE(shop.stored(head.orderNumber, &stored).flags & kOrderBooked, 0);
    for (std::size_t i = 1; i <= lines.size(); ++i) EXPECT_EQ(+stored[i].flags, kLineBooked);
    EXPECT_EQ(shop.stock(goods), c.stockA);
    EXPECT_EQ(shop.stock(service), c.stockService);
    EXPECT_TRUE(store::IsServiceArticle(shop.articleAt(service)));
    EXPECT_EQ(+shop.address(customer).turnover, c.turnover);
    EXPECT_EQ(shop.ui.texts(), std::vector<std::string>{});
  }
}

// An order is booked only where its references hold what it names: the
// article of each line, its own customer. A reference off by a byte (a
// damaged file, an older version) leaves the order unbooked with the reason,
// every record as it was, and the run books the next order.
TEST(BookDeliveredOrders, OnlyAtReferencesThatHoldWhatTheOrderNames) {
  struct Case {
    const char* name;
    std::function<void(Shop&, store::OrderHead&, BookLine&)> spoil;
    const char* reason;
  };
  const Case cases[] = {
      {"article reference off by one", [](Shop& s, store::OrderHead&, BookLine& l) { l.articleRef = s.a + 1; },
       "nennt den Artikel \"B\""},
      {"a line naming another article", [](Shop&, store::OrderHead&, BookLine& l) { l.articleNumber = "a"; },
       "nennt den Artikel \"a\""},
      {"customer reference off by one",
       [](Shop& s, store::OrderHead& h, BookLine&) { h.customerRef = s.customerRef + 1; },
       "verweist auf keine Adresse in KUNDEN.DAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Shop shop;
    const std::int32_t other = shop.customer("Zimmer");  // the address after Meier's
    BookLine line{2, 250, 2, 0, 0, "B"};
    line.articleRef = shop.b;
    store::OrderHead head{};
    head.customerRef = shop.customerRef;
    c.spoil(shop, head, line);
    const std::int32_t spoilt = shop.order(head.customerRef, kDelivered, {line}).orderNumber;
    const std::int32_t sound = shop.order(other, kDelivered, {{1, 100, shop.a, 0, 0, "A"}}).orderNumber;
    std::vector<std::uint8_t> articlesBefore = testsupport::ReadBytes(shop.dir.file("ARTIKEL.DAT"));
    const store::AddressRecord meier = shop.address(shop.customerRef);
    orders::BookDeliveredOrders(shop.app);
    EXPECT_EQ(shop.stored(spoilt).flags & kOrderBooked, 0);
    EXPECT_NE(shop.stored(sound).flags & kOrderBooked, 0);
    EXPECT_EQ(shop.stock(shop.a), 9);
    EXPECT_EQ(shop.stock(shop.b), 10);
    std::vector<std::uint8_t> articlesAfter = testsupport::ReadBytes(shop.dir.file("ARTIKEL.DAT"));
    store::ArticleRecord a{};
    std::memcpy(&a, articlesBefore.data() + shop.a, sizeof a);
    a.stock[0] = 9;
    std::memcpy(articlesBefore.data() + shop.a, &a, sizeof a);
    EXPECT_EQ(articlesAfter, articlesBefore);
    const store::AddressRecord meierAfter = shop.address(shop.customerRef);
    EXPECT_EQ(std::memcmp(&meierAfter, &meier, sizeof meier), 0);
    ASSERT_EQ(shop.ui.shown.size(), 1u);
    EXPECT_NE(shop.ui.shown[0].text.find("wird nicht gebucht"), std::string::npos);
    EXPECT_NE(shop.ui.shown[0].text.find(c.reason), std::string::npos) << shop.ui.shown[0].text;
  }
}

// Stock is booked in thousandths, the quantities' own precision: what is
// left reads as the decimal it is, never as the binary remainder.
TEST(BookDeliveredOrders, StockIsBookedInExactThousandths) {
  const struct {
    double stock;
    std::vector<double> quantities;  // lines of article A
    double left;
  } cases[] = {{10, {1.005}, 8.995}, {1, {0.1, 0.2}, 0.7}, {416.335, {0.001, -0.001}, 416.335},
               {500, {83.665}, 416.335}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stock);
    testsupport::OrderBook book;
    const std::int32_t a = book.article("A", c.stock);
    std::vector<BookLine> lines;
    for (double q : c.quantities) lines.push_back({q, 100, a});
    book.order(book.customer("Meier"), kDelivered, lines);
    orders::BookDeliveredOrders(book.app);
    EXPECT_EQ(book.stock(a), c.left);
  }
}

TEST(BookDeliveredOrders, AConfirmedBackOrderLetsTheNextRunBookTheSourceWithoutMovingStock) {
  Shop shop;
  const std::int32_t number =
      shop.add(kDelivered, {{2, 250, 1}, {3, 100, 2, kLineBackOrder}}).orderNumber;
  orders::BookDeliveredOrders(shop.app);
  // The confirmation takes the back-order line out of the source order.
  store::OrderHead source{};
  std::int32_t position = 0;
  ASSERT_EQ(store::ReadOrder(shop.app, source, position), 1);
  shop.app.orders.position = position;
  source.lineCount = 1;
  source.flags &= static_cast<std::uint16_t>(~store::kOrderHasBackOrder);
  ASSERT_EQ(store::StoreOrder(shop.app, source, position, store::StoreMode::Rewrite), 1);

  const orders::BookingResult result = orders::BookDeliveredOrders(shop.app);
  EXPECT_EQ(result.ordersBooked, 1);
  EXPECT_EQ(result.linesBooked, 0);
  EXPECT_EQ(shop.stored(number).flags & kOrderBooked, kOrderBooked);
  EXPECT_EQ(shop.stock(shop.a), 8);
  EXPECT_EQ(+shop.address(shop.customerRef).turnover, 500);
  EXPECT_EQ(shop.app.order.flags & kOrderBooked, kOrderBooked);  // the pane shows it booked
}

TEST(BookDeliveredOrders, EscStopsBetweenOrdersAndADamagedOrderIsLeftAlone) {
  Shop shop;
  std::vector<std::int32_t> numbers;
  for (int i = 0; i < 4; ++i)
    numbers.push_back(+shop.add(kDelivered, {{1, 100, 1}, {1, 100, 2}}).orderNumber);
  std::vector<std::uint8_t> data = testsupport::ReadBytes(shop.dir.file("RECHNUNG.DAT"));
  data[2 * (80 + 2 * 402) + store::kOrderDatePointOffset] = '-';  // the third order's date
  testsupport::WriteBytes(shop.dir.file("RECHNUNG.DAT"), data);

  shop.ui.escapeAtProgress(2);
  orders::BookingResult result = orders::BookDeliveredOrders(shop.app);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.ordersBooked, 1);
  EXPECT_EQ(shop.stock(shop.a), 9);
  EXPECT_EQ(shop.stored(numbers[1]).flags & kOrderBooked, 0);

  shop.ui.escapeAtProgress(0);
  result = orders::BookDeliveredOrders(shop.app);
  EXPECT_EQ(result.ordersBooked, 2);
  EXPECT_EQ(shop.stock(shop.a), 7);
  EXPECT_EQ(shop.stock(shop.b), 7);
  EXPECT_EQ(+shop.address(shop.customerRef).turnover, 600);
  EXPECT_EQ(shop.ui.texts(),
            std::vector<std::string>{"Probleme mit Rechnung #" + std::to_string(numbers[2]) +
                                     "\nBuchung nicht durchgeführt."});
  EXPECT_EQ(shop.ui.progressValues, (std::vector<int>{25, 50, 25, 50, 75, 100}));
}

// Whichever write fails, the order with its articles and its customer is in
// the files either booked whole or exactly as before.
TEST(BookDeliveredOrders, AFailedWriteLeavesTheOrderWhollyUnbooked) {
  Shop shop;
  shop.add(kDelivered, {{2, 250, 1}, {1, 100, 0}, {3, 100, 2}});
  const auto before = shop.files();
  orders::BookDeliveredOrders(shop.app);
  const auto booked = shop.files();
  ASSERT_NE(before, booked);
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    shop.restore(before);
    testsupport::FailingFileSystem faults(platform::IoOp::Write, n);
    shop.app.fileSystem = &faults;
    orders::BookDeliveredOrders(shop.app);
    shop.app.fileSystem = &platform::SystemFileSystem();
    EXPECT_EQ(shop.files(), faults.reached() ? before : booked);
    if (!faults.reached()) break;
    ASSERT_LT(n, 50);
  }
}

}  // namespace
