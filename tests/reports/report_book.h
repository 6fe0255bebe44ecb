// Orders, customers and articles in a fresh data directory, and a list or
// statistic rendered from them onto the recording canvas (an A4 page).
#ifndef BELVON_TESTS_REPORTS_REPORT_BOOK_H
#define BELVON_TESTS_REPORTS_REPORT_BOOK_H

#include <string>
#include <vector>

#include "orders/order_math.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "store/records_test_support.h"
#include "support/order_book.h"

namespace reporttest {

struct L {  // an order line
  double quantity = 1;
  std::int32_t price = 0;
  std::int16_t tax = store::kTaxCodeRate2;
  const char* article = "";
  std::int32_t cost = 0;
  std::int16_t discount = 0;
  std::uint16_t flags = 0;
};

struct Head {
  std::uint16_t flags = store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted;
  const char* date = "01.12.2026";
  std::uint8_t currency = 0;
  std::int16_t cashDiscount = 0;  // taken when not 0
  std::int32_t paid = 0;
};

class ReportBook : public testsupport::OrderBook {
 public:
  ReportBook() {
    testsupport::SetEuroAndDm(app.parameters);
    app.parameters.exchangeRates[1] = 1.95583f;
    store::SetText(app.parameters.currencySymbol3, "CHF");
    app.parameters.exchangeRates[2] = 1.0f;
    store::SetText(app.parameters.companyName1, "Holzwurm");
  }

  // Stores the order with its total as the order pane computes it.
  std::int32_t put(std::int32_t customer, const Head& h, const std::vector<L>& lines) {
    store::OrderHead head{};
    head.customerRef = customer;
    store::SetText(head.orderDate, h.date);
    if (h.flags & store::kOrderInvoicePrinted) store::SetText(head.invoiceDate, h.date);
    head.flags = h.flags;
    head.currency = h.currency;
    head.cashDiscount = h.cashDiscount;
    head.cashDiscountTaken = h.cashDiscount != 0;
    head.paid = h.paid;
    head.stored = 1;
    head.lineCount = static_cast<std::int16_t>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      store::OrderLine& line = app.orderLines[i + 1] = store::OrderLine{};
      line.quantity = lines[i].quantity;
      line.salePrice = lines[i].price;
      line.costPrice = lines[i].cost;
      line.taxCode = lines[i].tax;
      line.discount = lines[i].discount;
      line.flags = lines[i].flags;
      line.articleRef = -1;
      store::SetText(line.articleNumber, lines[i].article);
      store::SetText(line.description1, "Teil");
    }
    head.total = orders::ComputeOrderTotal(head, app.orderLines, app.parameters);
    std::int32_t position = -1;
    store::StoreOrder(app, head, position, store::StoreMode::NewNumber);
    return head.orderNumber;
  }

  printing::RecordingCanvas render(int job, const std::string& from = "01.01.2026",
                                   const std::string& to = "31.12.2026", bool preview = false,
                                   int targetPage = printing::kPrintAllPages) {
    printing::RecordingCanvas canvas(preview);
    printing::PrintSession session;
    session.job = job;
    session.inputs.reportFrom = from;
    session.inputs.reportTo = to;
    session.view.targetPage = targetPage;
    printing::RenderContext context(app, session);
    context.warningSink = [this](const std::string& text) { warnings.push_back(text); };
    outcome = printing::MakeRenderer(job)->render(canvas, {2100, 2970, 2100, 2970}, context);
    return canvas;
  }

  std::vector<std::string> warnings;
  printing::RenderOutcome outcome;
};

// The texts drawn on one row (y), left to right as drawn.
inline std::vector<std::string> Row(const printing::RecordingCanvas& canvas, int y) {
  std::vector<std::string> row;
  for (const auto* op : canvas.texts())
    if (op->y == y) row.push_back(op->text);
  return row;
}

}  // namespace reporttest

#endif  // BELVON_TESTS_REPORTS_REPORT_BOOK_H
