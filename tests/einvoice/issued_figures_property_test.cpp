// Random invoices and credit notes issued under one set of tax rates; then
// the rates change. Every later statement of each invoice — the copy on
// paper, the XRechnung, the journal, the open amount, the dunning run, the
// cancellation — states the figures of its issue, and journal and open
// items count each cent once.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "letters/dunning_run.h"
#include "orders/cancellation.h"
#include "orders/issuing.h"
#include "orders/payments.h"
#include "orders/order_document_renderer.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "reports/invoice_journal.h"
#include "store/address_file.h"
#include "store/issue_file.h"
#include "store/load_parameters.h"
#include "store/order_file.h"
#include "store/parameter_file.h"
#include "support/test_app.h"

namespace {

// The amount on the line labelled `label` of the printed copy, in cents.
std::int64_t PrintedAmount(frame::AppState& app, const std::string& label) {
  printing::PrintSession session{printing::kJobInvoice, false,
                                 printing::PreviewView{printing::kPrintAllPages}, {"07.12.2026", ""}};
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  printing::MakeRenderer(printing::kJobInvoice)->render(canvas, {2100, 2970, 4960, 7016}, context);
  for (const auto* text : canvas.texts()) {
    if (text->text != label) continue;
    for (const auto* other : canvas.texts())
      if (other->y == text->y && other->x > text->x && other->text.find("EUR") != std::string::npos)
        return std::llround(std::stod(other->text) * 100);
  }
  ADD_FAILURE() << "no \"" << label << "\" on the copy";
  return 0;
}

// Reads the order `number` into the current order; its index position, -1
// when it cannot be read.
std::int32_t MakeCurrent(frame::AppState& app, std::int32_t number) {
  store::OrderHead criteria{};
  criteria.orderNumber = number;
  std::int32_t at = -1;
  if (!store::FindOrder(app, criteria, at, true) || store::ReadOrder(app, app.order, at) != 1) return -1;
  app.orders.position = at;
  return at;
}

std::int64_t XmlCents(const pugi::xml_node& root, const char* path) {
  return std::llround(root.select_node(path).node().text().as_double() * 100);
}

TEST(IssuedFigures, EveryLaterStatementIsTheFigureOfTheIssue) {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
  ASSERT_TRUE(frame::LoadParameters(app));
  einvoicetest::Prepare(app, einvoicetest::Cases()[0], 0);
  app.parameters.printPaymentTerms = 1;
  ASSERT_TRUE(frame::SaveParameters(app));
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteAddress(app, app.address, position, true), 1);
  ASSERT_EQ(store::ReadAddress(app, app.address, position), 1);
  app.addresses.position = position;
  const auto customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);

  std::mt19937 random(20261207);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::int16_t codes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2};
  std::map<std::int32_t, std::int64_t> issuedTotal;  // invoice number -> amount stated at issue
  for (int n = 0; n < 40; ++n) {
    SCOPED_TRACE(n);
    app.order = {};
    app.order.customerRef = customerRef;
    app.order.stored = 1;
    app.order.paymentPeriod = 14;
    store::SetText(app.order.orderDate, "01.10.2026");
    if (pick(4) == 0) app.order.flags |= store::kOrderPricesIncludeTax;
    const bool credit = pick(6) == 0;
    const int lines = 1 + pick(4);
    app.order.lineCount = static_cast<std::int16_t>(lines);
    for (int i = 1; i <= lines; ++i) {
      store::OrderLine& line = app.orderLines[static_cast<std::size_t>(i)];
      line = {};
      line.length = static_cast<std::uint16_t>(store::kOrderLineSize);
      line.articleRef = -1;
      line.quantity = (credit ? -1 : 1) * (1 + pick(20) + (pick(3) == 0 ? 0.5 : 0.0));
      line.salePrice = 1 + pick(250000);
      line.taxCode = codes[pick(3)];
      line.discount = static_cast<std::int16_t>(pick(3) == 0 ? 25 * pick(8) : 0);
      store::SetText(line.description1, "Posten " + std::to_string(i));
      store::SetText(line.unit, "Stk");
    }
    app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
    position = -1;
    ASSERT_EQ(store::StoreOrder(app, app.order, position, store::StoreMode::NewNumber), 1);
    app.orders.position = position;
    std::string date = "15.10.2026";
    ASSERT_TRUE(orders::IssueDocument(app, orders::DocumentKind::Invoice, 1, date,
                                      [](int, bool, const printing::JobInputs&,
                                         const std::function<void()>& printed) { printed(); }));
    issuedTotal[app.order.orderNumber] = app.order.total;
  }

  // Other rates from now on.
  store::SetTaxRate(app.parameters, 0, 2, 50);
  store::SetTaxRate(app.parameters, 0, 3, 160);
  ASSERT_TRUE(frame::SaveParameters(app));

  store::IssueBook book;
  ASSERT_TRUE(store::ReadIssueBook(app, book));
  ASSERT_EQ(book.records().size(), issuedTotal.size());
  std::int64_t paidSoFar = 0;
  for (const auto& [number, total] : issuedTotal) {
    SCOPED_TRACE(number);
    const store::IssueRecord* record = book.find(number);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->total, total);
    std::int64_t parts = 0;
    for (const store::IssuedClass& c : record->classes) parts += c.net + c.tax;
    EXPECT_EQ(parts, total);
    // The copy on paper and the XRechnung.
    const std::int32_t at = MakeCurrent(app, number);
    ASSERT_GE(at, 0);
    EXPECT_EQ(PrintedAmount(app, total < 0 ? "Gutschrift" : "Rechnungsbetrag"), total);
    const einvoice::Document document = einvoice::MakeDocument(app);
    ASSERT_TRUE(document.ok) << document.message;
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(document.xml.c_str()));
    const pugi::xml_node root = xml.document_element();
    EXPECT_EQ(XmlCents(root, "//ram:GrandTotalAmount"), std::llabs(total));
    EXPECT_EQ(XmlCents(root, "//ram:TaxTotalAmount"),
              std::llabs(record->classes[1].tax + record->classes[2].tax));
    // Every third invoice is paid in part.
    if (total > 0 && number % 3 == 0) {
      const std::int64_t part = total / 2;
      ASSERT_TRUE(orders::AddPayment(app, app.order, part, false));
      std::int32_t again = at;
      ASSERT_EQ(store::StoreOrder(app, app.order, again, store::StoreMode::Rewrite), 1);
      paidSoFar += part;
    }
  }

  // The journal counts each invoice with its figures of issue, once.
  const reports::Journal journal = reports::CollectJournal(app, "01.10.2026", "31.10.2026");
  ASSERT_EQ(journal.rows.size(), issuedTotal.size());
  std::int64_t journalGross = 0, stated = 0;
  for (const reports::JournalRow& row : journal.rows) {
    EXPECT_EQ(row.figures.gross, issuedTotal[row.orderNumber]) << row.orderNumber;
    journalGross += row.figures.gross;
    stated += issuedTotal[row.orderNumber];
  }
  EXPECT_EQ(journal.totals[0].sum.gross, journalGross);
  // Open items: what is stated, less what was paid, each cent once.
  std::int64_t open = 0;
  for (const auto& [number, total] : issuedTotal) {
    ASSERT_GE(MakeCurrent(app, number), 0);
    EXPECT_EQ(app.order.total, total);
    open += std::int64_t{app.order.total} - app.order.paid;
  }
  EXPECT_EQ(open + paidSoFar, stated);

  // Dunned weeks later: every letter names the amount the invoice stated.
  letters::DunningOptions options;
  options.date = "15.12.2026";
  for (const letters::DunningItem& item : letters::SelectDunning(app, options, false))
    EXPECT_EQ(item.head.total, issuedTotal[item.head.orderNumber]);

  // Cancelled, each invoice and its credit note net to zero in the journal.
  for (const auto& [number, total] : issuedTotal) {
    if (total <= 0 || number % 4 != 0) continue;
    const std::int32_t at = MakeCurrent(app, number);
    ASSERT_GE(at, 0);
    std::int32_t credit = 0;
    ASSERT_TRUE(orders::CancelInvoice(app, "20.10.2026", credit));
    EXPECT_EQ(app.order.total, -total);
    stated -= total;
  }
  const reports::Journal after = reports::CollectJournal(app, "01.10.2026", "31.10.2026");
  EXPECT_EQ(after.totals[0].sum.gross, stated);
}

}  // namespace
