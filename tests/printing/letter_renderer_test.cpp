// Job 10, the letter page, and the job table.
#include <gtest/gtest.h>

#include "printing/job_table.h"
#include "printing/letter_renderer.h"
#include "printing/recording_canvas.h"
#include "printing_fixture.h"
#include "support/layout_check.h"
#include "support/test_app.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;

class LetterTest : public ::testing::Test {
 protected:
  LetterTest() : context(app, session) {
    app.parameters = printingtest::SampleParameters();
    app.address = printingtest::SampleAddress();
    session.job = kJobLetter;
    session.inputs.printDate = "06.12.2026";
  }
  void render(RecordingCanvas& canvas) {
    MakeRenderer(kJobLetter)->render(canvas, geometry, context);
  }

  testsupport::TestApp t;
  frame::AppState& app = t.app;
  PrintSession session;
  RenderContext context;
  PageGeometry geometry{2100, 2970, 4960, 7016};
};

TEST(LetterLines, PiecesBetweenCarriageReturnsWithoutTheirLineFeed) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(LetterLines("Sehr geehrter,\r\n\r\nvielen Dank.\r\n"),
            (Lines{"Sehr geehrter,", "", "vielen Dank.", ""}));
  EXPECT_EQ(LetterLines(""), (Lines{""}));
  // Only the one line feed that follows the carriage return goes.
  EXPECT_EQ(LetterLines("a\r\n\nb\rc"), (Lines{"a", "\nb", "c"}));
}

// In the preview the page ends with the red prompt; the canvas is left as found.
TEST_F(LetterTest, DateAndBodyBelowTheAddressOnTheLetterhead) {
  session.inputs.letterText = "Sehr geehrter Herr M\xFCller,\r\n\r\nanbei das Angebot.";
  RecordingCanvas canvas(true);
  canvas.selectFont(Font{"Courier", -20});
  render(canvas);

  const auto* date = canvas.findText("Datum: 06.12.2026");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ((std::pair{date->x, date->y}), (std::pair{1400, 800}));
  EXPECT_EQ(date->font, (Font{"Arial", -35}));
  const auto* first = canvas.findText("Sehr geehrter Herr Müller,");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ((std::pair{first->x, first->y}), (std::pair{150, 900}));
  EXPECT_EQ(canvas.findText("anbei das Angebot.")->y, 1020);  // the empty line counts
  for (const char* part : {"Schreinerei Holzwurm", "Herrn", "Bankverbindungen:"})
    EXPECT_NE(canvas.findText(part), nullptr) << part;
  const auto& last = canvas.ops().back();
  EXPECT_EQ((std::tuple{last.text, last.x, last.y, last.colour}), (std::tuple{kPreviewPrompt, 10, 10, kRed}));
  EXPECT_EQ(canvas.textColour(), kBlack);
  EXPECT_EQ(canvas.font(), (Font{"Courier", -20}));
}

TEST_F(LetterTest, PrintOffsetsMoveTheWholeLetterButDoNotShortenIt) {
  app.parameters.printOffsetHorizontal = 5;
  app.parameters.printOffsetVertical = -3;
  RecordingCanvas canvas;
  render(canvas);
  for (const auto& op : canvas.ops()) {
    EXPECT_EQ(op.mapping.originX, -50);
    EXPECT_EQ(op.mapping.originY, 30);
    EXPECT_EQ(op.mapping.windowHeight, 2970);
  }
  // The footer still stands on the full page height.
  EXPECT_EQ(canvas.findText("34117 Kassel")->y, 2930);

  // Offsets out of range are held at 100 mm.
  app.parameters.printOffsetHorizontal = 250;
  RecordingCanvas clamped;
  render(clamped);
  EXPECT_EQ(clamped.ops().front().mapping.originX, -1000);
}

// A letter has one page: the lines that would reach the footer are left
// off, none is printed over it or below the sheet.
TEST_F(LetterTest, FortyLinesStopAboveTheFooterWithoutASecondPage) {
  std::string body;
  for (int i = 1; i <= 40; ++i) body += "Zeile " + std::to_string(i) + "\r\n";
  session.inputs.letterText = body;
  RecordingCanvas canvas;
  render(canvas);
  ASSERT_NE(canvas.findText("Zeile 31"), nullptr);
  EXPECT_EQ(canvas.findText("Zeile 32"), nullptr);
  EXPECT_TRUE(testsupport::LayoutFaults(canvas, 2100, 2970).empty());
  EXPECT_TRUE(canvas.ofKind(Kind::EndPage).empty());
}

TEST_F(LetterTest, JobElevenAndUnknownJobsGiveABlankPage) {
  for (int job : {11, 0, 25, -3, 9999}) {
    session.job = job;
    RecordingCanvas paper;
    MakeRenderer(job)->render(paper, geometry, context);
    EXPECT_TRUE(paper.texts().empty()) << job;
    RecordingCanvas preview(true);
    MakeRenderer(job)->render(preview, geometry, context);
    ASSERT_EQ(preview.texts().size(), 1u) << job;
    EXPECT_EQ(preview.texts()[0]->text, kPreviewPrompt);
  }
}

}  // namespace
}  // namespace printing
