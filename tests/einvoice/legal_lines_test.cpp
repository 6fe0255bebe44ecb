// What an invoice must state by law, printed where the layout has room: the
// service date, the seller's VAT ID or tax number, the tax base beside each
// tax line and the reason of tax-free lines. Switched on, they add to the
// document and move nothing it printed before.
#include <gtest/gtest.h>

#include <tuple>

#include "einvoice/einvoice_seller.h"
#include "store/einvoice_settings.h"
#include "orders/order_math.h"
#include "printing/job_table.h"
#include "orders/order_document_renderer.h"
#include "printing/recording_canvas.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace {

using Op = std::tuple<int, int, int, std::string>;

std::vector<Op> Render(frame::AppState& app, int job, bool legal) {
  einvoice::Settings settings;
  settings.exemption = einvoice::Exemption::SmallBusiness;
  settings.legalLines = legal;
  settings.serviceDate = einvoice::ServiceDate::OrderDate;
  einvoice::SaveSettings(app.dataDirectory, settings);
  printing::PrintSession session{job, false, printing::PreviewView{printing::kPrintAllPages}, {"06.12.2026", ""}};
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  printing::MakeRenderer(job)->render(canvas, {2100, 2970, 4960, 7016}, context);
  std::vector<Op> ops;
  for (const auto& op : canvas.ops()) ops.emplace_back(static_cast<int>(op.kind), op.x, op.y, op.text);
  return ops;
}

TEST(LegalLines, AddTheServiceDateTaxIdTaxBaseAndExemptionAndMoveNothing) {
  struct Case {
    const char* name;
    int job, lines;
    std::uint16_t flags;
    std::size_t count;                // texts only the legal lines print
    std::vector<std::string> added;  // and how some of them begin
  };
  const std::vector<Case> cases = {
      {"net, tax-free line", printing::kJobInvoice, 2, 0, 6,
       {"Leistungsdatum: 01.12.2026", "USt-IdNr.: DE123456789", "Bemessungsgrundlage 10.00 EUR",
        "Kein Ausweis von Umsatzsteuer, da"}},
      {"gross, three pages", printing::kJobInvoice, 120, store::kOrderPricesIncludeTax, 3,
       {"Leistungsdatum: 01.12.2026", "USt-IdNr.: DE123456789", "Bemessungsgrundlage 1008.40 EUR"}},
      {"quotation", printing::kJobQuotation, 2, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::TestApp t;
    frame::AppState& app = t.app;
    einvoicetest::Complete(app.parameters, app.address);
    store::SetText(app.order.orderDate, "01.12.2026"), store::SetText(app.order.invoiceDate, "06.12.2026");
    app.order.flags = c.flags;
    app.order.lineCount = static_cast<std::int16_t>(c.lines);
    for (int i = 1; i <= c.lines; ++i) {
      app.orderLines[i] = {};
      app.orderLines[i].quantity = 1, app.orderLines[i].salePrice = 1000;
      app.orderLines[i].taxCode = i == 2 && c.lines == 2 ? store::kTaxCodeNone : store::kTaxCodeRate2;
    }
    app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
    const std::vector<Op> without = Render(app, c.job, false), with = Render(app, c.job, true);
    // Everything printed without them stands in the same place with them.
    std::size_t at = 0;
    for (const Op& op : without) {
      while (at < with.size() && with[at] != op) ++at;
      ASSERT_LT(at, with.size()) << std::get<3>(op) << " at " << std::get<1>(op) << "," << std::get<2>(op);
    }
    EXPECT_EQ(with.size() - without.size(), c.count);
    for (const std::string& text : c.added)
      EXPECT_TRUE(std::any_of(with.begin(), with.end(), [&](const Op& op) { return std::get<3>(op).rfind(text, 0) == 0; }))
          << text;
  }
}

}  // namespace
