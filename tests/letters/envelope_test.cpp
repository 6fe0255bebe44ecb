// The C6 envelope and the parcel label: sender, recipient and which of the
// customer's addresses they go to; and the letter page that runs too long.
#include <gtest/gtest.h>

#include <tuple>

#include "core/decimal.h"
#include "letters/envelope_renderer.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "../printing/printing_fixture.h"
#include "support/test_app.h"

namespace letters {
namespace {

using printing::RecordingCanvas;
using Texts = std::vector<std::tuple<int, int, std::string>>;

// Every text but the preview prompt: x, y, text.
Texts Drawn(frame::AppState& app, int job, bool preview = false) {
  printing::PrintSession session;
  session.job = job;
  printing::RenderContext context(app, session);
  RecordingCanvas canvas(preview);
  printing::MakeRenderer(job)->render(canvas, {2100, 2970, 2480, 3508}, context);
  Texts texts;
  for (const auto* op : canvas.texts())
    if (op->text != printing::kPreviewPrompt) texts.emplace_back(op->x, op->y, op->text);
  for (const auto& op : canvas.ops()) EXPECT_EQ(op.mapping.originX + op.mapping.originY, 0);
  EXPECT_EQ(canvas.ofKind(RecordingCanvas::Kind::Rectangle).size(), preview ? 1u : 0u);
  return texts;
}

class EnvelopeTest : public ::testing::Test {
 protected:
  EnvelopeTest() {
    app.parameters = printingtest::SampleParameters();
    // The offsets move letters, never envelopes and labels.
    app.parameters.printOffsetHorizontal = 20;
    app.parameters.printOffsetVertical = 10;
    app.address = printingtest::SampleAddress();
  }
  testsupport::TestApp t;
  frame::AppState& app = t.app;
};

TEST_F(EnvelopeTest, InvoiceAddressUnlessDeliveryLineTwoIsFilled) {
  printingtest::Put(app.address.deliveryLine1, "Lager");  // line 2 empty: not a delivery address
  EXPECT_EQ(Drawn(app, kJobEnvelope, true),
            (Texts{{30, 30, "Schreinerei Holzwurm GmbH"}, {30, 70, "Inh. Anna Bäumer"},
                   {30, 110, "Eichenweg 12"}, {30, 150, "34117 Kassel"}, {600, 500, "Herrn"},
                   {600, 560, "Dr. Hans"}, {600, 620, "Müller"}, {600, 680, "Königstraße 5"},
                   {600, 760, "34119 Kassel"}}));
  EXPECT_EQ(Drawn(app, kJobParcelLabel),
            (Texts{{140, 40, "Schreinerei Holzwurm GmbH"}, {140, 125, "Eichenweg 12"},
                   {140, 210, "34117 Kassel"}, {780, 530, "Müller"}, {780, 700, "Königstraße 5"},
                   {780, 850, "34119 Kassel"}}));

  printingtest::Put(app.address.deliveryLine2, "Müller Bau");
  printingtest::Put(app.address.deliveryLine4, "Hafenstraße 1");
  printingtest::Put(app.address.deliveryLine5, "34125 Kassel");
  app.parameters.companyName1[0] = 0;  // the sender block starts with Name 2
  EXPECT_EQ(Drawn(app, kJobEnvelope),
            (Texts{{30, 30, "Inh. Anna Bäumer"}, {30, 70, "Eichenweg 12"}, {30, 110, "34117 Kassel"},
                   {600, 500, "Herrn"}, {600, 560, "Lager"}, {600, 620, "Müller Bau"},
                   {600, 680, "Hafenstraße 1"}, {600, 760, "34125 Kassel"}}));

  // A label for an address with only name line 1 shows no name at all.
  app.address = store::AddressRecord{};
  printingtest::Put(app.address.name1, "Firma Klein");
  printingtest::Put(app.address.town, "34117 Kassel");
  EXPECT_EQ(Drawn(app, kJobParcelLabel).back(), std::tuple(780, 850, std::string("34117 Kassel")));
  EXPECT_EQ(Drawn(app, kJobParcelLabel).size(), 3u);
}

}  // namespace
}  // namespace letters
