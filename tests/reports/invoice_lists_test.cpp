// The lists over the order file: journal figures and totals, the CSV that
// goes with it, paging, open invoices, back-orders, article turnover.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <span>

#include "core/decimal.h"
#include "core/figures.h"
#include "letters/dunning_run.h"
#include "orders/order_math.h"
#include "orders/payments.h"
#include "reports/invoice_journal.h"
#include "reports/journal_csv.h"
#include "report_book.h"
#include "support/layout_check.h"

namespace {

using reporttest::Head;
using reporttest::L;
using reporttest::ReportBook;
using reporttest::Row;
constexpr std::uint16_t kGross = store::kOrderPricesIncludeTax;
constexpr std::uint16_t kInvoiced = store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted;

TEST(InvoiceJournal, RowFiguresFollowTheInvoice) {
  struct Case {
    const char* name;
    Head head;
    std::vector<L> lines;
    std::vector<std::string> figures;  // Steuer 1, Steuer 2, Brutto, Netto; none: not listed
  };
  const std::vector<std::string> ten = {"0.00 EUR", "1.90 EUR", "11.90 EUR", "10.00 EUR"},
                                 lessTwo = {"0.00 EUR", "1.86 EUR", "11.66 EUR", "9.80 EUR"};
  const Case cases[] = {
      {"gross", {kInvoiced | kGross}, {{1, 1190}}, ten},
      {"gross, cash discount", {kInvoiced | kGross, "01.12.2026", 0, 20}, {{1, 1190}}, lessTwo},
      {"net", {kInvoiced}, {{1, 1000}}, ten},
      {"net, cash discount", {kInvoiced, "01.12.2026", 0, 20}, {{1, 1000}}, lessTwo},
      {"net, discounted, first rate", {kInvoiced}, {{3, 199, store::kTaxCodeRate1, "", 0, 100}},
       {"0.38 EUR", "0.00 EUR", "5.75 EUR", "5.37 EUR"}},
      {"line outside the register", {kInvoiced},
       {{1, 1000}, {1, 5000, store::kTaxCodeRate2, "", 0, 0, store::kLineNotInInvoiceRegister}}, ten},
      {"back-order line", {kInvoiced | store::kOrderHasBackOrder},
       {{1, 1000}, {2, 1000, store::kTaxCodeRate2, "", 0, 0, store::kLineBackOrder}}, ten},
      {"only lines outside the register", {kInvoiced},
       {{1, 1000, store::kTaxCodeRate2, "", 0, 0, store::kLineNotInInvoiceRegister}}, {}},
      {"delivery note only", {store::kOrderDeliveryNotePrinted}, {{1, 1000}}, {}},
      {"other month", {kInvoiced, "01.11.2026"}, {{1, 1000}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportBook book;
    book.put(book.customer("Meier"), c.head, c.lines);
    const auto canvas = book.render(8, "01.12.2026", "31.12.2026");
    std::vector<std::string> row = Row(canvas, 360);
    if (row.size() >= 4) row.erase(row.begin(), row.begin() + 4);
    EXPECT_EQ(row, c.figures);
  }
}

// Whatever the prices and classes, the journal states the tax and the
// amount the invoice states.
TEST(InvoiceJournal, TaxIsTheInvoicesTax) {
  const std::vector<std::vector<L>> orders = {
      {{3, 199, store::kTaxCodeRate1, "", 0, 100}, {1.5, 333, store::kTaxCodeRate2}},
      {{7, 1234, store::kTaxCodeRate2, "", 0, 25}, {1, 99, store::kTaxCodeNone}, {2, 4999, store::kTaxCodeRate1}},
      {{0.333, 1001, store::kTaxCodeRate2}, {13, 17, store::kTaxCodeRate2, "", 0, 333}},
      {{1, 50}, {1, 50}, {1, 50}}};
  for (const std::uint16_t flags : {std::uint16_t{0}, kGross, std::uint16_t(kGross | store::kOrderGrossAsNet)}) {
    for (const auto& lines : orders) {
      ReportBook book;
      const std::int32_t customer = book.customer("Meier");
      book.put(customer, {std::uint16_t(kInvoiced | flags)}, lines);
      const auto journal = book.render(8, "01.12.2026", "31.12.2026");
      std::vector<std::string> row = Row(journal, 360);
      ASSERT_EQ(row.size(), 8u);
      store::ReadOrder(book.app, book.app.order, 0);
      book.app.address = book.address(customer);
      const auto invoice = book.render(3);
      auto amountOf = [&](const std::string& label) {
        for (const auto* op : invoice.texts())
          if (op->text.find(label) != std::string::npos)
            for (const auto* amount : invoice.texts())
              if (amount->y == op->y && amount->x == 1900) return amount->text;
        return std::string("0.00 EUR");
      };
      SCOPED_TRACE(testing::Message() << "flags " << flags << ", lines " << lines.size());
      EXPECT_EQ(row[4], amountOf("7.0% UmSt"));
      EXPECT_EQ(row[5], amountOf("19.0% UmSt"));
      EXPECT_EQ(row[6], amountOf("Rechnungsbetrag"));
    }
  }
}

std::string Comma(std::string printed) {
  printed = printed.substr(0, printed.find(' '));
  std::replace(printed.begin(), printed.end(), '.', ',');
  return printed;
}

TEST(InvoiceJournal, TotalsPerCurrencyAndTheCsvAgree) {
  ReportBook book;
  const std::int32_t meier = book.customer("Meier; \"Sohn\"", "Holz");
  book.put(meier, {kInvoiced, "01.12.2026", 0}, {{3, 199, store::kTaxCodeRate1, "", 0, 100}});
  book.put(meier, {kInvoiced | kGross, "02.12.2026", 0, 20}, {{1, 1190}, {2, 333}});
  book.put(meier, {kInvoiced, "03.12.2026", 1}, {{1, 10000}});
  book.put(meier, {kInvoiced, "04.12.2026", 2}, {{1, 5000, store::kTaxCodeNone}});
  const auto canvas = book.render(8, "01.12.2026", "31.12.2026");
  // Rows at 360..510, the rule at 560, one total row per taxed currency.
  const std::vector<std::string> eur = Row(canvas, 570), dm = Row(canvas, 620);
  ASSERT_EQ(eur.size(), 5u);
  ASSERT_EQ(dm.size(), 5u);
  EXPECT_EQ(eur[0], "Steuersätze: 7.0% und 19.0%");
  EXPECT_EQ(dm[4], "100.00 DM");
  EXPECT_TRUE(Row(canvas, 670).empty()) << "the tax-free currency has no total row";
  EXPECT_EQ(Row(canvas, 510)[7], "50.00 CHF");

  const std::string csv = reports::JournalCsv(
      reports::CollectJournal(book.app, "01.12.2026", "31.12.2026"), book.app.parameters);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find(";\"Holz Meier; \"\"Sohn\"\"\";01.12.2026;EUR;7,0;19,0;0,38;"), std::string::npos)
      << csv;
  for (const auto& [currency, row] : {std::pair{"EUR", eur}, {"DM", dm}}) {
    std::string sum = std::string("Summe;;;;") + currency + ";7,0;19,0";
    for (int i = 1; i <= 4; ++i) sum += ";" + Comma(row[i]);
    EXPECT_NE(csv.find(sum + ";\r\n"), std::string::npos) << csv;
  }
  EXPECT_EQ(csv.find("Summe;;;;CHF"), std::string::npos);
  // The CSV keeps its own format whatever the figures of the lists.
  book.app.figures = frame::FigureStyle::German;
  EXPECT_EQ(reports::JournalCsv(reports::CollectJournal(book.app, "01.12.2026", "31.12.2026"),
                                book.app.parameters),
            csv);
}

// A customer's text that a spreadsheet would run as a formula is written as
// text; the amount columns, ours, keep their minus and stay numbers.
TEST(InvoiceJournal, CsvTextNeverRunsAsAFormula) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"=2+3", "\"'=2+3\""},
      {"=HYPERLINK(\"http://x\";\"y\")", "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\""},
      {"+49 89", "\"'+49 89\""}, {"-Rabatt", "\"'-Rabatt\""}, {"@SUM(A1)", "\"'@SUM(A1)\""},
      {"\tTab", "\"'\tTab\""}, {"\rCR", "\"'\rCR\""}, {"Meier -=+@", "Meier -=+@"}};
  reports::Journal journal;
  for (const auto& [text, written] : cases) {
    reports::JournalRow row;
    row.customerNumber = row.customerName = text;
    row.figures = {-119, 0, -1119, -1000};
    journal.rows.push_back(row);
  }
  const std::string csv = reports::JournalCsv(journal, {});
  std::size_t at = csv.find("\r\n") + 2;
  for (const auto& [text, written] : cases) {
    const std::size_t end = csv.find("\r\n", at);
    EXPECT_EQ(csv.substr(at, end - at), "0;" + written + ";" + written + ";;;0,0;0,0;-1,19;0,00;-11,19;-10,00;");
    at = end + 2;
  }
}

// The red prompt of a list's preview lies clear of every text on the sheet,
// the company name in the top left corner above all.
TEST(ListPreview, PromptCoversNoText) {
  ReportBook book;
  store::SetText(book.app.parameters.companyName1, "Holzwurm Schreinerei GmbH");
  const std::int32_t customer = book.customer("Meier");
  for (int i = 0; i < 60; ++i) book.put(customer, {kInvoiced, "01.12.2026"}, {{1, 1000}});
  auto box = [](const printing::RecordingCanvas::Op& op) {
    const int width = static_cast<int>(op.text.size()) * printing::RecordingCanvas::EmHeight(op.font) / 2;
    const int left = op.align == printing::TextAlign::Left    ? op.x
                     : op.align == printing::TextAlign::Right ? op.x - width
                                                              : op.x - width / 2;
    return std::array{left, op.y, left + width, op.y + printing::RecordingCanvas::CellHeight(op.font)};
  };
  for (int job : {5, 6, 7, 8, 9, 12, 13, 14, 15, 17, 18, 19, 22}) {
    SCOPED_TRACE(job);
    const auto canvas = book.render(job, "01.12.2026", "31.12.2026", true, 1);
    const auto* prompt = canvas.findText(printing::kPreviewPrompt);
    ASSERT_NE(prompt, nullptr);
    const auto p = box(*prompt);
    EXPECT_LE(p[3], 2970);
    for (const auto* op : canvas.texts()) {
      const auto o = box(*op);
      if (op != prompt) {
        EXPECT_FALSE(p[0] < o[2] && o[0] < p[2] && p[1] < o[3] && o[1] < p[3]) << op->text;
      }
    }
  }
}

TEST(InvoiceJournal, PagesInPreviewAndOnPaper) {
  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  for (int i = 0; i < 110; ++i) book.put(customer, {}, {{1, 1000}});
  // 49 rows fit a page: 360 + 48 x 50 is the last row above 2970 - 200.
  struct Case {
    int target;
    int page;
    bool more;
    bool totals;
  };
  for (const Case& c : {Case{1, 1, true, false}, Case{2, 2, true, false}, Case{3, 3, false, true},
                        Case{7, 3, false, true}}) {
    SCOPED_TRACE(c.target);
    const auto canvas = book.render(8, "01.12.2026", "01.12.2026", true, c.target);
    EXPECT_EQ(book.outcome.lastPage, c.page);
    EXPECT_EQ(book.outcome.morePages, c.more);
    EXPECT_NE(canvas.findText(reports::JournalTitle("01.12.2026", "01.12.2026", c.page)), nullptr);
    EXPECT_EQ(canvas.findText("Steuersätze: 7.0% und 19.0%") != nullptr, c.totals);
    EXPECT_NE(canvas.findText("Linke Maustaste zum Drucken, Rechte zum Beenden..."), nullptr);
  }
  const auto paper = book.render(8, "01.12.2026", "01.12.2026", false, 1);  // paper ignores the page shown
  EXPECT_EQ(paper.ofKind(printing::RecordingCanvas::Kind::EndPage).size(), 2u);
  EXPECT_NE(paper.findText("Die Auflistung wird auf Seite 3 fortgesetzt."), nullptr);
  EXPECT_EQ(paper.findText("Liste aller Rechnungen vom 01.12.2026, Seite: 3")->y, 150);
}

// Each total row gets its own page-break test: a page full of rows carries
// the totals of four currencies over instead of printing them below it.
TEST(InvoiceJournal, TotalRowsOfFourCurrenciesStayOnTheSheet) {
  ReportBook book;
  store::SetText(book.app.parameters.currencySymbol4, "USD");
  const std::int32_t customer = book.customer("Meier");
  for (int i = 0; i < 49; ++i)
    book.put(customer, {.currency = static_cast<std::uint8_t>(i % 4)}, {{1, 1000}});
  const auto paper = book.render(8, "01.12.2026", "01.12.2026");
  EXPECT_TRUE(testsupport::LayoutFaults(paper, 2100, 2970).empty());
  int totals = 0;
  for (const auto* op : paper.texts()) totals += op->text.rfind("Steuersätze: ", 0) == 0;
  EXPECT_EQ(totals, 4);
}

TEST(InvoiceJournal, DamagedOrdersAndEscape) {
  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t damaged = book.put(customer, {}, {{1, 1000}});
  for (int i = 0; i < 3; ++i) book.put(customer, {}, {{1, 1000}});
  {
    std::fstream data(book.dir.file("RECHNUNG.DAT"), std::ios::in | std::ios::out | std::ios::binary);
    data.seekp(store::kOrderDatePointOffset);
    data.put('x');
  }
  book.render(8, "01.12.2026", "31.12.2026", true);
  EXPECT_TRUE(book.warnings.empty()) << "the preview skips it silently";
  const auto paper = book.render(8, "01.12.2026", "31.12.2026");
  EXPECT_EQ(book.warnings, std::vector<std::string>{"Probleme mit Auftrag #" + std::to_string(damaged) +
                                                    "\nAuftrag kann nicht gelesen werden."});
  book.render(12, "01.12.2026", "31.12.2026");
  EXPECT_EQ(book.warnings.size(), 2u) << "the graph tells it on paper too";
  EXPECT_EQ(Row(paper, 520), (std::vector<std::string>{"Steuersätze: 7.0% und 19.0%", "0.00 EUR",
                                                       "5.70 EUR", "35.70 EUR", "30.00 EUR"}))
      << "three orders listed and summed";
  // Esc before the fourth order read: the two sound ones read before it count.
  book.ui.progressValues.clear();
  book.ui.escapeAtProgress(4);
  EXPECT_EQ(Row(book.render(8, "01.12.2026", "31.12.2026"), 470),
            (std::vector<std::string>{"Steuersätze: 7.0% und 19.0%", "0.00 EUR", "3.80 EUR",
                                      "23.80 EUR", "20.00 EUR"}));
}

// Thousands of random invoices and credit notes, net and gross priced, in
// every tax class, paid in part and then with the cash discount deducted in
// time: every cent invoiced is once in the journal and, until paid, in the
// open amount; the discounted payment leaves nothing open or to dun, and the
// journal row then holds what came in, net + tax = gross to the cent, each
// tax cut in proportion.
TEST(InvoiceJournal, EveryCentOnceThroughPaymentsWithCashDiscount) {
  testsupport::OrderBook book;
  store::ParameterRecord& p = book.app.parameters;
  store::SetTaxRate(p, 0, 2, 70);
  store::SetTaxRate(p, 0, 3, 190);
  std::mt19937 random(20261206);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::int16_t codes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2};
  for (int n = 0; n < 3000; ++n) {
    SCOPED_TRACE(n);
    const int sign = below(4) == 0 ? -1 : 1;  // a credit note
    store::OrderHead head{};
    head.flags = kInvoiced | (below(2) ? kGross : 0);
    store::SetText(head.invoiceDate, "01.12.2026");
    head.cashDiscount = static_cast<std::int16_t>(1 + below(50));
    head.lineCount = static_cast<std::int16_t>(1 + below(6));
    std::vector<store::OrderLine> lines(static_cast<std::size_t>(head.lineCount) + 1);
    for (std::size_t i = 1; i < lines.size(); ++i) {
      lines[i].quantity = sign * (1 + below(20000)) / 1000.0;
      lines[i].salePrice = 1 + below(100000);
      lines[i].discount = static_cast<std::int16_t>(below(3) ? 0 : below(500));
      lines[i].taxCode = codes[below(3)];
    }
    head.total = orders::ComputeOrderTotal(head, lines, p);
    const std::span<const store::OrderLine> invoiced(lines.begin() + 1, lines.end());
    const reports::JournalFigures before = reports::InvoiceJournalFigures(head, invoiced, p);
    ASSERT_EQ(before.gross, head.total);
    ASSERT_EQ(before.net + before.tax1 + before.tax2, before.gross);

    const std::int64_t part = head.total * below(60) / 100;
    ASSERT_TRUE(orders::AddPayment(book.app, head, part, false));
    EXPECT_EQ(letters::DunnableInvoice(head), head.total - head.paid > 1);
    const std::optional<std::int64_t> rest =
        frame::ReadScaled(orders::ProposedAmount(head, true), 2);
    ASSERT_TRUE(rest.has_value());
    ASSERT_TRUE(orders::AddPayment(book.app, head, *rest, true));

    EXPECT_EQ(head.paid, head.total);
    EXPECT_FALSE(letters::DunnableInvoice(head));
    const reports::JournalFigures after = reports::InvoiceJournalFigures(head, invoiced, p);
    EXPECT_EQ(after.gross, part + *rest);
    EXPECT_EQ(after.net + after.tax1 + after.tax2, after.gross);
    for (auto [was, is] : {std::pair(before.tax1, after.tax1), std::pair(before.tax2, after.tax2)})
      EXPECT_LE(std::abs(1000 * is - (1000 - head.cashDiscount) * was), 1500) << was << " " << is;
  }
  EXPECT_TRUE(book.ui.texts().empty());
}

TEST(InvoiceLists, OpenInvoicesSumInTheMainCurrency) {
  ReportBook book;
  EXPECT_EQ(Row(book.render(5), 2980), std::vector<std::string>{"Summe der Außenstände: 0.00 EUR"})
      << "an empty order file draws no page head, only the sum below the page";
  const std::int32_t customer = book.customer("Meier");
  book.put(customer, {kInvoiced, "01.12.2026", 1}, {{1, 10000, store::kTaxCodeNone}});
  book.put(customer, {kInvoiced, "01.12.2026", 0, 0, 100}, {{1, 350, store::kTaxCodeNone}});
  book.put(customer, {kInvoiced, "01.12.2026", 1}, {{1, 8236, store::kTaxCodeNone}});  // 4211 in single precision
  book.put(customer, {store::kOrderDeliveryNotePrinted}, {{1, 999, store::kTaxCodeNone}});
  const auto canvas = book.render(5);
  EXPECT_EQ(Row(canvas, 360)[1], "100.00 DM");
  EXPECT_EQ(Row(canvas, 410)[1], "2.50 EUR");
  EXPECT_TRUE(Row(canvas, 510).empty());
  // 100.00 + 82.36 DM converted once: 93.24 EUR, not 51.12 + 42.11.
  EXPECT_EQ(Row(canvas, 520), std::vector<std::string>{"Summe der Außenstände: 95.74 EUR"});
  const auto unprinted = book.render(9);
  EXPECT_EQ(Row(unprinted, 360)[1], "9.99 EUR") << "delivered, not invoiced";
  EXPECT_EQ(Row(unprinted, 150),
            std::vector<std::string>{"Liste aller ungedruckten Rechnungen am 06.12.2026      Seite: 1"});
}

// Every sum of a list is exact to the cent: cents are added as integers,
// each currency's sum is converted once and rounded once.
TEST(InvoiceLists, SumsAreExactToTheCent) {
  ReportBook book;
  const std::int32_t meier = book.customer("Meier");
  book.put(meier, {kInvoiced}, {{1, 20000001, store::kTaxCodeNone, "A-1"}});
  book.put(meier, {kInvoiced}, {{1, 33333333, store::kTaxCodeNone, "A-1"}});
  EXPECT_EQ(Row(book.render(5), 470), std::vector<std::string>{"Summe der Außenstände: 533333.34 EUR"});
  store::SetText(book.app.article.number, "A-1");
  EXPECT_EQ(Row(book.render(22), 540), (std::vector<std::string>{"Summe Ertrag", "533333.34 EUR"}));

  ReportBook marks;  // 2 x 1.50 DM are 1.53 EUR, not 2 x 0.76
  const std::int32_t schulz = marks.customer("Schulz");
  for (int i = 0; i < 2; ++i) marks.put(schulz, {kInvoiced, "01.12.2026", 1}, {{1, 150, store::kTaxCodeNone}});
  EXPECT_EQ(Row(marks.render(5), 470), std::vector<std::string>{"Summe der Außenstände: 1.53 EUR"});
  EXPECT_EQ(Row(marks.render(7), 360), (std::vector<std::string>{"Schulz", "1.53 EUR", "1.53 EUR"}));
}

TEST(InvoiceLists, BackOrderRowsAndArticleTurnover) {
  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t first = book.put(customer, {kInvoiced | store::kOrderHasBackOrder},
           {{2.7, 100, store::kTaxCodeRate2, "A-1", 0, 0, store::kLineBackOrder}, {1, 500, store::kTaxCodeRate2, "a-1", 200}});
  const std::int32_t second =
      book.put(customer, {kInvoiced | store::kOrderHasBackOrder}, {{1, 100, store::kTaxCodeRate2, "B-2"}});
  const auto backOrders = book.render(19);
  EXPECT_EQ(Row(backOrders, 510), (std::vector<std::string>{std::to_string(first), "Meier"}));
  EXPECT_EQ(Row(backOrders, 560), std::vector<std::string>{"2 x  A-1, Teil"});
  EXPECT_EQ(Row(backOrders, 610), (std::vector<std::string>{std::to_string(second), "Meier"}));
  EXPECT_TRUE(Row(backOrders, 660).empty());

  store::SetText(book.app.article.number, "a-1");
  const auto turnover = book.render(22);
  EXPECT_NE(turnover.findText("mit Artikel a-1:"), nullptr);
  // 2.7 x 1.00 + 5.00 sold, 2.00 cost: the profit of both lines.
  EXPECT_EQ(Row(turnover, 430).back(), "5.70 EUR");
  EXPECT_TRUE(Row(turnover, 480).empty()) << "B-2 is another article";
  EXPECT_EQ(Row(turnover, 490), (std::vector<std::string>{"Summe Ertrag", "5.70 EUR"}));
}

}  // namespace
