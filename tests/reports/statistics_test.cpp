// The hit lists and the turnover graph on the recording canvas.
#include <gtest/gtest.h>

#include <random>

#include "reports/hit_list_sort.h"
#include "reports/statistics.h"
#include "report_book.h"
#include "support/layout_check.h"
#include "store/article_file.h"

namespace {

using reporttest::L;
using reporttest::ReportBook;
using reporttest::Row;
using Kind = printing::RecordingCanvas::Kind;

std::vector<std::string> ArticleColumn(const printing::RecordingCanvas& canvas) {
  std::vector<std::string> column;
  for (const auto* op : canvas.texts())
    if (op->x == 100 && op->y >= 360) column.push_back(op->text);
  return column;
}

TEST(HitListSort, OrdersEveryTableDescending) {
  std::mt19937 random(7);
  for (int size : {1, 2, 3, 10, 101}) {
    std::vector<int> table(static_cast<std::size_t>(size));
    for (int& value : table) value = static_cast<int>(random() % 9) - 4;
    reports::HitListSort(table, 0, size - 1, [](int a, int b) { return a > b; });
    EXPECT_TRUE(std::is_sorted(table.rbegin(), table.rend())) << size;
  }
}

TEST(ArticleHitList, FortyRowsAtMostAndOnlyWhatWasSold) {
  struct Case {
    int articles, sold, losing;
    std::size_t rows;
  };
  for (const Case& c : {Case{50, 50, 0, 40}, Case{30, 12, 2, 10}}) {
    SCOPED_TRACE(c.sold);
    ReportBook book;
    const std::int32_t customer = book.customer("Meier");
    std::vector<std::string> numbers;
    for (int i = 0; i < c.articles; ++i) {
      numbers.push_back("A-" + std::to_string(100 + i));
      book.article(numbers.back(), 0);
    }
    std::vector<L> lines;
    for (int i = 0; i < c.sold; ++i)
      lines.push_back({1, 1000 + 10 * i, store::kTaxCodeRate2, numbers[static_cast<std::size_t>(i)].c_str(),
                       i < c.losing ? 2000 : 500});
    book.put(customer, {}, lines);
    const auto canvas = book.render(6);
    const std::vector<std::string> rows = ArticleColumn(canvas);
    ASSERT_EQ(rows.size(), c.rows);
    EXPECT_EQ(rows.front(), numbers[static_cast<std::size_t>(c.sold - 1)]) << "the best first";
    EXPECT_EQ(Row(canvas, 360).back(), "1.000");
  }
}

TEST(HitLists, WhichOrdersAndLinesCount) {
  ReportBook book;
  const std::int32_t meier = book.customer("Meier"), schulz = book.customer("Schulz");
  book.article("A-1", 0);
  // Invoice only: the article hit list counts it, the customer list and the
  // graph do not.
  book.put(meier, {store::kOrderInvoicePrinted}, {{2, 1000, store::kTaxCodeRate2, "A-1", 400}});
  // A letter-case variant of the number is no article of the index.
  book.put(meier, {}, {{1, 5000, store::kTaxCodeRate2, "a-1", 0}});
  // Schulz ranks first by turnover but earns nothing: not printed.
  book.put(schulz, {}, {{1, 90000, store::kTaxCodeRate2, "", 90000}});
  const auto articles = book.render(6);
  EXPECT_EQ(Row(articles, 360), (std::vector<std::string>{"A-1", "", "12.00 EUR", "2.000"}));
  EXPECT_TRUE(Row(articles, 410).empty());

  const auto customers = book.render(7);
  EXPECT_EQ(Row(customers, 360), (std::vector<std::string>{"Meier", "50.00 EUR", "59.50 EUR"}));
  EXPECT_TRUE(Row(customers, 410).empty());

  const auto graph = book.render(12, "01.12.2026", "31.12.2026");
  EXPECT_NE(graph.findText("50 EUR"), nullptr) << "turnover of the delivery note only";
}

TEST(TurnoverGraph, RangeSlotsAndScale) {
  EXPECT_EQ(reports::MonthRangeFrom("03.2024"), "01.03.2024");
  EXPECT_EQ(reports::MonthRangeTo("05.2024xyz"), "31.05.2024");
  const reports::GraphGrid grid = reports::TurnoverGrid(523456);
  EXPECT_EQ(grid.step, 100000);
  EXPECT_EQ(grid.height, 191);

  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  book.put(customer, {store::kOrderDeliveryNotePrinted, "15.03.2024"}, {{1, 523456, store::kTaxCodeNone, "", 100000}});
  book.put(customer, {store::kOrderDeliveryNotePrinted, "02.05.2024"}, {{1, 1000, store::kTaxCodeNone}});
  book.put(customer, {store::kOrderDeliveryNotePrinted, "01.06.2024"}, {{1, 1000, store::kTaxCodeNone}});
  const auto canvas = book.render(12, "01.03.2024", "31.05.2024");
  const auto* label = canvas.findText("1000 EUR");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->y, 1770 - 191);
  // Three slots of 1600 / 3; April has no bar and no month under it; the
  // year stands under the first month only.
  std::vector<int> bars;
  for (const auto* fill : canvas.ofKind(Kind::Fill))
    if (fill->y2 == 1800) bars.push_back(fill->x);
  EXPECT_EQ(bars, (std::vector<int>{300, 300, 1366, 1366}));
  EXPECT_EQ(Row(canvas, 1820), (std::vector<std::string>{"3", "5"}));
  EXPECT_EQ(Row(canvas, 1865), (std::vector<std::string>{"2024"}));
  EXPECT_EQ(canvas.findText("5234 EUR")->y, 1800 - 1000 - 35);
  EXPECT_EQ(canvas.findText("4234 EUR")->y, 1800 - 808 + 10) << "profit = turnover - cost";
}

// The year stands under the first month and under every January, sold or
// not, and no year is left out for want of room: two years of months read
// as what they are.
TEST(TurnoverGraph, TheYearStandsUnderTheFirstMonthAndEveryJanuary) {
  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  for (const char* date : {"15.12.2024", "15.01.2025", "15.06.2025", "15.11.2026"})
    book.put(customer, {store::kOrderDeliveryNotePrinted, date}, {{1, 1000, store::kTaxCodeNone}});
  using Years = std::vector<std::string>;
  for (const auto& [from, to, years] :
       {std::tuple{"01.12.2024", "30.11.2026", Years{"2024", "2025", "2026"}},
        {"01.02.2025", "31.01.2026", Years{"2025", "2026"}},
        {"01.01.2025", "31.12.2025", Years{"2025"}},
        // Six years of 2.2 mm columns: the first December's year would touch
        // the January's beside it and gives way.
        {"01.12.2020", "30.11.2026", Years{"2021", "2022", "2023", "2024", "2025", "2026"}}}) {
    SCOPED_TRACE(std::string(from) + " - " + to);
    const auto canvas = book.render(12, from, to);
    EXPECT_EQ(Row(canvas, 1865), years);
    EXPECT_TRUE(testsupport::LayoutFaults(canvas, 2100, 2970).empty());
  }
}

}  // namespace
