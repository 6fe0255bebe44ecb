// Money identities over many random invoices and credit notes, checked on
// what is printed and listed, not against a second copy of the arithmetic:
// the printed net and tax lines add up to the printed total, issuing stores
// the printed total (also when the tax rates changed since the order was
// stored), and every cent invoiced stands once in the journal and once in
// the open items until it is paid.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>

#include "orders/issuing.h"
#include "orders/order_document_renderer.h"
#include "reports/invoice_journal.h"
#include "report_book.h"
#include "store/order_file.h"

namespace {

using reporttest::L;
using reporttest::ReportBook;

// "-12.34 EUR" as cents.
std::int64_t Cents(const std::string& text) { return std::llround(std::stod(text) * 100); }

void SetRates(store::ParameterRecord& p, std::int16_t first, std::int16_t second) {
  for (int c = 0; c < 3; ++c) store::SetTaxRate(p, c, 2, first), store::SetTaxRate(p, c, 3, second);
}

struct Printed {
  std::int64_t sumLine = 0;  // "Netto-Summe" or "Brutto-Summe"
  bool gross = false;
  std::int64_t tax = 0;      // all tax lines
  std::int64_t total = 0;    // "Rechnungsbetrag" or "Gutschrift"
};

// The totals block of the current order printed as an invoice.
Printed PrintInvoice(frame::AppState& app) {
  printing::PrintSession session;
  session.job = printing::kJobInvoice;
  session.inputs.printDate = "06.12.2026";
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  printing::MakeRenderer(printing::kJobInvoice)->render(canvas, {2100, 2970, 2100, 2970}, context);
  static const std::regex kLabel("Netto-Summe|Brutto-Summe|.*UmSt|Rechnungsbetrag|Gutschrift");
  Printed printed;
  for (const auto* label : canvas.texts()) {
    if (label->x != 1650 || !std::regex_match(label->text, kLabel)) continue;
    std::int64_t amount = 0;
    for (const auto* other : canvas.texts())
      if (other->y == label->y && other->x == 1900) amount = Cents(other->text);
    if (label->text.find("UmSt") != std::string::npos)
      printed.tax += amount;
    else if (label->text.find("Summe") != std::string::npos)
      printed.sumLine = amount, printed.gross = label->text == "Brutto-Summe";
    else
      printed.total = amount;
  }
  return printed;
}

TEST(Books, EveryCentOnceOnPaperInTheJournalAndInTheOpenItems) {
  ReportBook book;
  const std::int32_t customer = book.customer("Meier");
  std::mt19937 random(20261206);
  auto pick = [&random](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
  const std::int16_t firstRates[] = {50, 70, 75, 77}, secondRates[] = {160, 165, 190};
  constexpr std::int16_t kFirstToday = 70, kSecondToday = 160;

  struct Issued {
    std::int32_t total, paid;
    int currency;
  };
  std::map<std::int32_t, Issued> issued;
  constexpr int kOrders = 2000;
  for (int i = 0; i < kOrders; ++i) {
    // Stored under some rates, issued under today's.
    SetRates(book.app.parameters, firstRates[pick(0, 3)], secondRates[pick(0, 2)]);
    const bool credit = pick(0, 9) == 0;
    std::vector<L> lines;
    for (int n = pick(1, 6); n > 0; --n) {
      L line;
      line.quantity = (credit ? -1 : 1) * pick(1, 30000) / 1000.0;
      line.price = pick(1, 99999);
      line.discount = static_cast<std::int16_t>(pick(0, 3) == 0 ? pick(1, 300) : 0);
      line.tax = std::array{store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2}[pick(0, 2)];
      line.flags = pick(0, 15) == 0 ? store::kLineBackOrder : 0;
      lines.push_back(line);
    }
    const std::uint16_t priceKinds[] = {0, store::kOrderPricesIncludeTax,
                                        store::kOrderPricesIncludeTax | store::kOrderGrossAsNet};
    reporttest::Head head;
    head.flags = static_cast<std::uint16_t>(store::kOrderDeliveryNotePrinted | priceKinds[pick(0, 2)]);
    head.currency = static_cast<std::uint8_t>(pick(0, 1));
    const std::int32_t number = book.put(customer, head, lines);

    SetRates(book.app.parameters, kFirstToday, kSecondToday);
    ASSERT_EQ(store::ReadOrder(book.app, book.app.order, book.app.orders.position), 1);
    ASSERT_TRUE(orders::RecordIssue(book.app, orders::DocumentKind::Invoice, "06.12.2026"));
    const Printed printed = PrintInvoice(book.app);
    SCOPED_TRACE(testing::Message() << "order " << number);
    if (printed.gross)
      ASSERT_EQ(printed.sumLine, printed.total);
    else
      ASSERT_EQ(printed.sumLine + printed.tax, printed.total);
    store::OrderHead stored{};
    ASSERT_EQ(store::ReadOrder(book.app, stored, book.app.orders.position), 1);
    ASSERT_EQ(stored.total, printed.total);

    // Some are paid in part or in full.
    std::int32_t paid = 0;
    if (stored.total > 0 && pick(0, 2) == 0) {
      paid = pick(0, 1) ? stored.total : stored.total / pick(2, 5);
      store::OrderHead head = stored;
      head.paid = paid;
      std::int32_t at = book.app.orders.position;
      ASSERT_EQ(store::StoreOrder(book.app, head, at, store::StoreMode::Rewrite), 1);
    }
    issued[number] = {stored.total, paid, stored.currency};
  }

  // The journal: each invoice once, with its stored total as gross.
  const reports::Journal journal = reports::CollectJournal(book.app, "01.01.2026", "31.12.2026");
  ASSERT_EQ(journal.rows.size(), issued.size());
  std::int64_t invoiced[2] = {0, 0};
  for (const reports::JournalRow& row : journal.rows) {
    SCOPED_TRACE(testing::Message() << "order " << row.orderNumber);
    const Issued& invoice = issued.at(row.orderNumber);
    EXPECT_EQ(row.figures.gross, invoice.total);
    EXPECT_EQ(row.figures.net + row.figures.tax1 + row.figures.tax2, row.figures.gross);
    invoiced[row.currency] += invoice.total;
  }
  for (int c = 0; c < 2; ++c) EXPECT_EQ(journal.totals[static_cast<std::size_t>(c)].sum.gross, invoiced[c]);

  // The open items: each invoice with something open once, with what is open.
  std::map<std::string, std::int64_t> open, listed;
  for (const auto& [number, invoice] : issued)
    if (invoice.total - invoice.paid > 0)
      open[std::to_string(number)] = invoice.total - invoice.paid;
  const printing::RecordingCanvas list = book.render(5);
  std::string number;  // of the row being drawn: its amount follows on the page
  for (const auto* text : list.texts()) {
    if (text->x == 100 && text->text.find(" - ") != std::string::npos)
      number = text->text.substr(0, text->text.find(' '));
    else if (text->x == 900 && !number.empty())
      listed[number] += Cents(text->text), number.clear();
  }
  EXPECT_EQ(listed, open);
}

}  // namespace
