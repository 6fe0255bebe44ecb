// Our own XRechnung of every kind of invoice, read back as a received one:
// it states the figures the printed invoice shows, and the checks find
// nothing to say about it.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "orders/order_document_renderer.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "receive/incoming_file.h"
#include "receive/invoice_checks.h"
#include "store/order_kinds.h"
#include "support/test_app.h"

namespace {

// The final amount on the printed invoice ("Rechnungsbetrag", "Gutschrift"), in cents.
std::int64_t PrintedFinal(frame::AppState& app) {
  const int job = app.order.flags & store::kOrderCollectiveInvoice ? printing::kJobCollectiveInvoice
                                                                   : printing::kJobInvoice;
  printing::PrintSession session{
      job, false, printing::PreviewView{printing::kPrintAllPages}, {"06.12.2026", ""}};
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  printing::MakeRenderer(printing::kJobInvoice)->render(canvas, {2100, 2970, 4960, 7016}, context);
  for (const auto* label : canvas.texts()) {
    if (label->x != 1650 || (label->text != "Rechnungsbetrag" && label->text != "Gutschrift"))
      continue;
    for (const auto* other : canvas.texts())
      if (other->y == label->y && other->x == 1900)
        return std::llround(std::stod(other->text) * 100);
  }
  ADD_FAILURE() << "no final amount on the paper";
  return 0;
}

TEST(RoundTrip, OurOwnXRechnungReadsBackToThePrintedFigures) {
  testsupport::TestApp t;
  int number = 1261200001;
  for (const einvoicetest::Case& c : einvoicetest::Cases()) {
    SCOPED_TRACE(c.name);
    einvoicetest::Prepare(t.app, c, number++);
    const einvoice::Document document = einvoice::MakeDocument(t.app);
    ASSERT_TRUE(document.ok) << document.message;
    const receive::OpenedInvoice opened = receive::ReadIncoming(document.xml, "R.xml");
    ASSERT_TRUE(opened.ok) << opened.message;
    const receive::ReceivedInvoice& invoice = opened.invoice;
    const std::int64_t paper = PrintedFinal(t.app);
    // A credit note states positive amounts; the paper its negative total.
    const int sign = invoice.creditNote() ? -1 : 1;
    EXPECT_EQ(sign * receive::Cents(invoice.totals.total.value), paper);
    EXPECT_EQ(sign * receive::Cents(invoice.totals.due.value), paper - t.app.order.paid);
    EXPECT_EQ(invoice.currency, c.currency);
    EXPECT_EQ(invoice.number, std::to_string(t.app.order.orderNumber));
    for (const receive::Finding& f : receive::CheckFigures(invoice)) ADD_FAILURE() << f.text;
  }
}

}  // namespace
