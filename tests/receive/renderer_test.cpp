// The readable rendering: the figures of the file in the setting's style,
// a figure the check found fault with in red with the finding under it,
// nothing drawn below the page's end, and in the preview a later page
// drawn alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "printing/recording_canvas.h"
#include "receive/incoming_file.h"
#include "receive/receive_test_files.h"
#include "receive/received_invoice_renderer.h"
#include "store/app_state.h"

namespace {

using printing::RecordingCanvas;

struct Drawn {
  explicit Drawn(bool preview = false) : canvas(preview) {}
  RecordingCanvas canvas;
  printing::RenderOutcome outcome;
};

void Draw(Drawn& drawn, const std::string& xml, frame::FigureStyle style,
          int targetPage = printing::kPrintAllPages) {
  frame::AppState app;
  app.figures = style;
  printing::PrintSession session;
  session.job = receive::kJobReceivedInvoice;
  session.view.targetPage = targetPage;
  printing::RenderContext context(app, session);
  receive::ShownInvoice shown;
  shown.opened = receive::ReadIncoming(xml, "r.xml");
  ASSERT_TRUE(shown.opened.ok) << shown.opened.message;
  receive::ReceivedInvoiceRenderer renderer(std::move(shown));
  drawn.outcome = renderer.render(drawn.canvas, {2100, 2970, 4960, 7016}, context);
}

// The text drawn at the right end of the line that `label` begins, and its colour.
const RecordingCanvas::Op* Beside(const RecordingCanvas& canvas, const std::string& label) {
  for (const auto* op : canvas.texts())
    if (op->text == label)
      for (const auto* other : canvas.texts())
        if (other->y == op->y && other->align == printing::TextAlign::Right && other->x > op->x)
          return other;
  return nullptr;
}

bool Has(const RecordingCanvas& canvas, const std::string& part) {
  const auto texts = canvas.texts();
  return std::any_of(texts.begin(), texts.end(),
                     [&](const auto* op) { return op->text.find(part) != std::string::npos; });
}

TEST(ReceivedInvoiceRenderer, ShowsTheStatedFiguresAndPutsEachFindingBesideItsFigure) {
  const std::string cii = receivetest::Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  const struct {
    const char* name;
    std::string xml;
    frame::FigureStyle style;
    const char* total;
    bool red;
  } rows[] = {
      {"deutsch", cii, frame::FigureStyle::German, "336,90 EUR", false},
      {"Punkt", cii, frame::FigureStyle::Point, "336.90 EUR", false},
      {"Gesamtbetrag falsch",
       receivetest::ReplacedAll(cii, ">336.9</ram:GrandTotalAmount>",
                                ">1336.9</ram:GrandTotalAmount>"),
       frame::FigureStyle::German, "1.336,90 EUR", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Drawn drawn;
    Draw(drawn, row.xml, row.style);
    const auto* total = Beside(drawn.canvas, "Gesamtbetrag");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->text, row.total);
    EXPECT_EQ(total->colour == (printing::Colour{190, 0, 0}), row.red);
    EXPECT_EQ(Has(drawn.canvas, "Gesamtbetrag (BT-112): angegeben 1.336,90, nachgerechnet 336,90"),
              row.red);
    EXPECT_TRUE(Has(drawn.canvas, "123456XX"));
    EXPECT_TRUE(Has(drawn.canvas, "DE79000000001234567890"));
    EXPECT_TRUE(Has(drawn.canvas, "Zeitschrift [...]"));
    for (const auto* op : drawn.canvas.texts()) EXPECT_LT(op->y, 2900) << op->text;
  }
}

// Many lines run over pages; the preview's page 2 is page 2 alone and says
// that more follow.
TEST(ReceivedInvoiceRenderer, ALongInvoicePagesAndThePreviewDrawsOnePage) {
  std::string cii = receivetest::Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  const std::size_t from = cii.find("<ram:IncludedSupplyChainTradeLineItem>");
  const std::size_t to = cii.find("<ram:IncludedSupplyChainTradeLineItem>", from + 1);
  const std::string line = cii.substr(from, to - from);
  std::string many;
  for (int i = 0; i < 60; ++i) many += line;
  cii.insert(from, many);

  Drawn all;
  Draw(all, cii, frame::FigureStyle::German);
  EXPECT_GE(all.outcome.lastPage, 3);
  EXPECT_FALSE(all.outcome.morePages);
  for (const auto* op : all.canvas.texts()) EXPECT_LT(op->y, 2900) << op->text;
  EXPECT_TRUE(Has(all.canvas, "Seite 2"));

  Drawn second(true);
  Draw(second, cii, frame::FigureStyle::German, 2);
  EXPECT_EQ(second.outcome.lastPage, 2);
  EXPECT_TRUE(second.outcome.morePages);
}

}  // namespace
