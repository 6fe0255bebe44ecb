// A collective invoice in the books: over random customers with many
// delivery notes, the collective invoice is listed once in the journal, is
// the only open item of its customer until it is paid, and states figures
// that add up to its total.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <span>

#include "core/decimal.h"
#include "orders/collective_invoice.h"
#include "orders/document_figures.h"
#include "orders/payments.h"
#include "reports/invoice_journal.h"
#include "report_book.h"

namespace {

using reporttest::L;
using reporttest::ReportBook;
constexpr std::uint16_t kDelivered = store::kOrderDeliveryNotePrinted;

// "Summe der Außenstände: 12.34 EUR" as cents.
std::int64_t Outstanding(ReportBook& book) {
  const std::string sum = "Summe der Außenstände: ";
  const printing::RecordingCanvas canvas = book.render(5);
  for (const auto* op : canvas.texts())
    if (op->text.rfind(sum, 0) == 0) return std::llround(std::stod(op->text.substr(sum.size())) * 100);
  ADD_FAILURE() << "no sum";
  return -1;
}

TEST(CollectiveInvoiceBooks, EveryEuroOnceAndNothingOpenOncePaid) {
  std::mt19937 random(27);
  auto pick = [&random](int n) { return static_cast<int>(random() % n); };
  const double quantities[] = {0.5, 1, 2, 3.25, 7};
  const std::int16_t taxes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2};
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    ReportBook book;
    const std::int32_t other = book.customer("Schulz");
    book.put(other, {}, {{1, 1000}});  // an open invoice of another customer
    const std::int32_t meier = book.customer("Meier");
    const store::AddressRecord customer = book.app.address;
    std::int64_t notes = 0;  // what the delivery notes store
    int lines = 0;
    for (int n = 1 + pick(40); n > 0 && lines < 300; --n) {
      std::vector<L> note;
      for (int k = 1 + pick(5); k > 0; --k)
        note.push_back({quantities[pick(5)], 1 + pick(20000), taxes[pick(3)], "", 0,
                        static_cast<std::int16_t>(50 * pick(3))});
      lines += static_cast<int>(note.size());
      const std::int32_t number = book.put(meier, {kDelivered}, note);
      notes += book.stored(number).total;
    }
    const std::int64_t before = Outstanding(book);  // Schulz's invoice only

    book.app.address = customer;
    orders::Collection collection;
    ASSERT_TRUE(orders::CollectOrders(
        book.app, {static_cast<std::uint32_t>(meier), 0, 2147483647, false, "06.12.2026"},
        collection));
    {
      // Issued as a print job issues it: the number, a copy out, the issue.
      orders::CollectionInPane pane(book.app, collection);
      ASSERT_TRUE(orders::IssueCollection(book.app, collection));
      pane.issued();
      ASSERT_TRUE(pane.printed());
    }
    const store::OrderHead issued = collection.head;
    // Taxed once on its class sums, so it may differ from the sum of the
    // delivery notes' totals by a few cents, never by more.
    EXPECT_LE(std::llabs(issued.total - notes), lines);
    const orders::DocumentFigures figures = orders::ComputeDocumentFigures(
        issued, std::span(collection.lines).subspan(1, issued.lineCount), book.app.parameters,
        true);
    EXPECT_EQ(figures.sumLine() + figures.tax[0] + figures.tax[1], issued.total);
    EXPECT_EQ(figures.final(), issued.total);

    // The journal lists the collective invoice and none of its delivery notes.
    const reports::Journal journal =
        reports::CollectJournal(book.app, "01.01.2026", "31.12.2026", {});
    std::vector<std::pair<std::int32_t, std::int64_t>> rows;
    for (const reports::JournalRow& row : journal.rows)
      if (row.customerName == "Meier") rows.emplace_back(row.orderNumber, row.figures.gross);
    EXPECT_EQ(rows, (std::vector<std::pair<std::int32_t, std::int64_t>>{
                        {std::int32_t{issued.orderNumber}, std::int64_t{issued.total}}}));
    EXPECT_EQ(Outstanding(book), before + issued.total);

    orders::PaymentForm form;
    form.orderNumber = std::to_string(issued.orderNumber);
    form.paymentDate = "07.12.2026";
    form.amount = frame::Format("%.2f", issued.total / 100.0);
    ASSERT_EQ(orders::BookPayment(book.app, form), 1);
    EXPECT_EQ(Outstanding(book), before);
  }
}

}  // namespace
