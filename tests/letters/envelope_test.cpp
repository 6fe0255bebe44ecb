// The C6 envelope and the parcel label: sender, recipient and which of the
// customer's addresses they go to, and how a wide address is fitted.
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
                   {140, 210, "34117 Kassel"}, {780, 445, "Dr. Hans"}, {780, 530, "Müller"},
                   {780, 700, "Königstraße 5"}, {780, 850, "34119 Kassel"}}));

  printingtest::Put(app.address.deliveryLine2, "Müller Bau");
  printingtest::Put(app.address.deliveryLine4, "Hafenstraße 1");
  printingtest::Put(app.address.deliveryLine5, "34125 Kassel");
  app.parameters.companyName1[0] = 0;  // the sender block starts with Name 2
  EXPECT_EQ(Drawn(app, kJobEnvelope),
            (Texts{{30, 30, "Inh. Anna Bäumer"}, {30, 70, "Eichenweg 12"}, {30, 110, "34117 Kassel"},
                   {600, 500, "Herrn"}, {600, 560, "Lager"}, {600, 620, "Müller Bau"},
                   {600, 680, "Hafenstraße 1"}, {600, 760, "34125 Kassel"}}));

  // A label for an address with only name line 1 shows that name.
  app.address = store::AddressRecord{};
  printingtest::Put(app.address.name1, "Firma Klein");
  printingtest::Put(app.address.town, "34117 Kassel");
  EXPECT_EQ(Drawn(app, kJobParcelLabel),
            (Texts{{140, 125, "Eichenweg 12"}, {140, 210, "34117 Kassel"},
                   {780, 445, "Firma Klein"}, {780, 850, "34117 Kassel"}}));
}

// An address too wide for the envelope's window or the label is set
// smaller, all its lines alike, and prints whole; one still too wide at
// three fifths of the size is cut at the edge, and the user is told which.
TEST_F(EnvelopeTest, AWideAddressIsSetSmallerAndWhatStillDoesNotFitIsTold) {
  const std::string wide = "Architekturbüro für Größenwahn-Neubauten";  // 40 characters
  const std::string town = "97980 Bad Mergentheim-Löffelstelzen-Nord";  // 40 characters
  const std::string w41(41, 'W');
  for (const auto& [job, name1, line5, smaller, told] :
       {std::tuple{kJobEnvelope, "Frau Dr. Ayse Öztürk", "34119 Kassel", false, false},
        {kJobParcelLabel, "Frau Dr. Ayse Öztürk", "34119 Kassel", false, false},
        {kJobEnvelope, wide.c_str(), town.c_str(), true, false},
        {kJobParcelLabel, wide.c_str(), town.c_str(), true, false},
        {kJobEnvelope, "Dr. Hans", w41.c_str(), true, true},
        {kJobParcelLabel, "Dr. Hans", w41.c_str(), true, true}}) {
    SCOPED_TRACE(std::to_string(job) + " " + name1 + " " + line5);
    printingtest::Put(app.address.name1, name1);
    printingtest::Put(app.address.town, line5);
    printing::PrintSession session;
    session.job = job;
    printing::RenderContext context(app, session);
    std::vector<std::string> warnings;
    context.warningSink = [&warnings](const std::string& text) { warnings.push_back(text); };
    // A W is as wide as the font is high, every other character half that.
    RecordingCanvas canvas;
    canvas.measureWith([](const printing::Font& font, std::string_view text) {
      int width = 0;
      for (char c : text)
        if ((c & 0xC0) != 0x80) width += c == 'W' ? -font.height : -font.height / 2;
      return width;
    });
    printing::MakeRenderer(job)->render(canvas, {2100, 2970, 2480, 3508}, context);
    const int nominal = job == kJobEnvelope ? -50 : -36;
    int nameHeight = 0;
    bool townWhole = false;
    for (const auto* op : canvas.texts()) {
      EXPECT_LE(op->x + op->width, 1550) << op->text;
      if (op->text == name1) nameHeight = op->font.height;
      townWhole = townWhole || op->text == line5;
    }
    // Name line 1 prints whole, in its own size or smaller with the block.
    EXPECT_LT(nameHeight, 0);
    if (smaller)
      EXPECT_GT(nameHeight, nominal);
    else
      EXPECT_EQ(nameHeight, nominal);
    EXPECT_EQ(townWhole, !told);
    ASSERT_EQ(warnings.size(), told ? 1u : 0u);
    if (told) { EXPECT_NE(warnings.front().find(line5), std::string::npos); }
  }
}

}  // namespace
}  // namespace letters
