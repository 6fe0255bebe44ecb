// Collective invoices: which orders of a range are collected, the invoice
// dates they get, and that issuing marks all of them or none.
#include "orders/collective_invoice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "orders/order_math.h"
#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;
constexpr std::uint16_t kDelivered = store::kOrderDeliveryNotePrinted;
constexpr std::uint16_t kInvoiced = kDelivered | store::kOrderInvoicePrinted;

// Meier's orders 0, 2, 3, 4 and Schulz's order 1 between them: 0 with a
// back-order line, 2 a quotation only, 3 invoiced on 01.11.2026.
struct Range : testsupport::OrderBook {
  Range() {
    const std::int32_t schulz = customer("Schulz");
    meier = customer("Meier");
    add(meier, kDelivered, {{1, 1000}, {2, 500, -1, store::kLineBackOrder}});
    add(schulz, kDelivered, {{1, 700}});
    add(meier, store::kOrderQuotationPrinted, {{1, 300}});
    add(meier, kInvoiced, {{3, 100}}, "01.11.2026");
    add(meier, kDelivered, {{1, 250}, {1, 50}});
  }
  void add(std::int32_t who, std::uint16_t flags, const std::vector<BookLine>& lines,
           const char* date = "01.12.2026") {
    numbers.push_back(+order(who, flags, lines, date).orderNumber);
    before.push_back(stored(numbers.back()));
  }
  orders::CollectionRequest request(int from, int to, bool includeInvoiced = true) {
    return {static_cast<std::uint32_t>(meier), numbers[from], numbers[to], includeInvoiced,
            "06.12.2026"};
  }
  std::int32_t meier = 0;
  std::vector<std::int32_t> numbers;
  std::vector<store::OrderHead> before;
};

TEST(CollectiveInvoice, CollectsTheCustomersDeliveryNotesAndDatesThem) {
  struct Case {
    const char* name;
    int from, to;
    bool includeInvoiced;
    std::vector<bool> answers;      // keep the old invoice date?
    std::vector<const char*> date;  // per order: its invoice date afterwards, null: untouched
    int lines;                      // collected, back-order lines left out
  };
  const Case cases[] = {
      {"No gives the new date", 0, 4, true, {false},
       {"06.12.2026", nullptr, nullptr, "06.12.2026", "06.12.2026"}, 4},
      {"Yes carries the old date on", 0, 4, true, {true},
       {"06.12.2026", nullptr, nullptr, "01.11.2026", "01.11.2026"}, 4},
      {"invoiced orders left out", 0, 4, false, {},
       {"06.12.2026", nullptr, nullptr, nullptr, "06.12.2026"}, 3},
      {"only a quotation", 2, 2, true, {}, {nullptr, nullptr, nullptr, nullptr, nullptr}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Range range;
    for (bool a : c.answers) range.ui.answer({a});
    orders::Collection collection;
    const bool collected = orders::CollectOrders(range.app, range.request(c.from, c.to,
                                                 c.includeInvoiced), collection);
    ASSERT_EQ(collected, c.lines > 0);
    EXPECT_EQ(range.ui.questions().size(), c.answers.size());
    if (collected) {
      EXPECT_EQ(+collection.head.lineCount, c.lines);
      EXPECT_EQ(collection.invoiceDate, c.date[4]);
      EXPECT_EQ(+collection.lines[1].orderNumber, range.numbers[0]);
      EXPECT_EQ(+collection.lines[c.lines].orderNumber, range.numbers[4]);
      store::OrderHead head = collection.head;
      EXPECT_EQ(+collection.head.total,
                orders::ComputeOrderTotal(head, collection.lines, range.app.parameters));
      ASSERT_TRUE(orders::IssueCollection(range.app, collection));
    } else {
      EXPECT_EQ(range.ui.shown.back().text,
                "Es sind keine Lieferscheine\nfür diesen Kunden verfügbar !");
    }
    for (std::size_t i = 0; i < range.numbers.size(); ++i) {
      SCOPED_TRACE(i);
      store::OrderHead after = range.stored(range.numbers[i]);
      if (!c.date[i]) {
        EXPECT_EQ(std::memcmp(&after, &range.before[i], sizeof after), 0);
        continue;
      }
      EXPECT_EQ(store::GetText(after.invoiceDate), c.date[i]);
      EXPECT_EQ(+after.flags, range.before[i].flags | store::kOrderInvoicePrinted);
    }
  }
}

TEST(CollectiveInvoice, AnOrderThatWouldPassTheLineLimitIsLeftOut) {
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier");
  const std::vector<BookLine> lines(200, BookLine{1, 100});
  const std::int32_t first = book.order(meier, kDelivered, lines).orderNumber;
  const std::int32_t second = book.order(meier, kDelivered, lines).orderNumber;
  orders::Collection collection;
  ASSERT_TRUE(orders::CollectOrders(book.app, {static_cast<std::uint32_t>(meier), first, second,
                                               true, "06.12.2026"}, collection));
  EXPECT_EQ(+collection.head.lineCount, 200);
  ASSERT_TRUE(orders::IssueCollection(book.app, collection));
  EXPECT_EQ(+book.stored(first).flags, kInvoiced);
  EXPECT_EQ(+book.stored(second).flags, kDelivered);
}

// Whichever write fails, either every collected order is marked or none.
TEST(CollectiveInvoice, AFailedWriteMarksNoOrder) {
  Range range;
  range.ui.answer({false});
  orders::Collection collection;
  ASSERT_TRUE(orders::CollectOrders(range.app, range.request(0, 4), collection));
  const auto unmarked = testsupport::ReadBytes(range.dir.file("RECHNUNG.DAT"));
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    testsupport::FailingFileSystem faults(platform::IoOp::Write, n);
    range.app.fileSystem = &faults;
    const bool issued = orders::IssueCollection(range.app, collection);
    range.app.fileSystem = &platform::SystemFileSystem();
    if (!faults.reached()) {
      EXPECT_TRUE(issued);
      break;
    }
    EXPECT_FALSE(issued);
    EXPECT_EQ(testsupport::ReadBytes(range.dir.file("RECHNUNG.DAT")), unmarked);
    ASSERT_LT(n, 10);
  }
  for (int i : {0, 3, 4})
    EXPECT_TRUE(range.stored(range.numbers[i]).flags & store::kOrderInvoicePrinted);
}

}  // namespace
