// Job 10, the letter page, and the job table.
#include <gtest/gtest.h>

#include <algorithm>

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
  static std::string LongLetter(int lines) {
    std::string body;
    for (int i = 1; i <= lines; ++i) body += "Zeile " + std::to_string(i) + "\r\n";
    return body;
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

// The print offsets move the whole letter; a letter moved down counts its
// page that much shorter, so that its footer stays on the sheet where it
// stands without an offset.
TEST_F(LetterTest, PrintOffsetsMoveTheLetterButKeepTheFooterOnTheSheet) {
  for (const auto& [h, v] : {std::pair{0, 0}, {5, -3}, {0, 15}, {-10, 40}}) {
    SCOPED_TRACE(std::to_string(h) + " mm right, " + std::to_string(v) + " mm down");
    app.parameters.printOffsetHorizontal = static_cast<std::int16_t>(h);
    app.parameters.printOffsetVertical = static_cast<std::int16_t>(v);
    session.inputs.letterText = LongLetter(40);
    RecordingCanvas canvas;
    render(canvas);
    for (const auto& op : canvas.ops()) {
      EXPECT_EQ(op.mapping.originX, -10 * h);
      EXPECT_EQ(op.mapping.originY, -10 * v);
      EXPECT_EQ(op.mapping.windowHeight, 2970);
    }
    // The footer's lowest line on every page, in sheet coordinates.
    for (const auto* op : canvas.texts())
      if (op->text == "34117 Kassel") { EXPECT_EQ(op->y + 10 * v, 2930); }
    EXPECT_EQ(testsupport::LayoutFaults(canvas, 2100, 2970), std::vector<std::string>{});
  }
  // Offsets out of range are held at 100 mm.
  app.parameters.printOffsetHorizontal = 250;
  RecordingCanvas clamped;
  render(clamped);
  EXPECT_EQ(clamped.ops().front().mapping.originX, -1000);
}

// A letter longer than a page goes on on the next: the page it leaves says
// so, the next carries its number and the footer, no line is lost and none
// stands over the footer. In the preview Page Down leads to the next page.
TEST_F(LetterTest, ALongLetterGoesOnOnTheNextPageWithItsNumber) {
  for (const auto& [lines, footer, pages] :
       {std::tuple{30, true, 1}, {31, true, 2}, {40, true, 2}, {100, true, 3}, {40, false, 2}}) {
    SCOPED_TRACE(std::to_string(lines) + " lines" + (footer ? "" : ", no footer"));
    app.parameters.printFooter = footer;
    session.inputs.letterText = LongLetter(lines);
    RecordingCanvas canvas;
    std::vector<std::string> warnings;
    context.warningSink = [&warnings](const std::string& text) { warnings.push_back(text); };
    session.view.targetPage = kPrintAllPages;
    render(canvas);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(canvas.ofKind(Kind::EndPage).size(), static_cast<std::size_t>(pages - 1));
    const auto boxes = testsupport::TextBoxes(canvas);
    for (int i = 1; i <= lines; ++i)
      EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                              [&](const auto& b) { return b.text == "Zeile " + std::to_string(i); }),
                1);
    for (int page = 2; page <= pages; ++page) {
      const auto on = [&](const std::string& text, int p) {
        return std::any_of(boxes.begin(), boxes.end(),
                           [&](const auto& b) { return b.text == text && b.page == p; });
      };
      EXPECT_TRUE(on("Fortsetzung auf Seite " + std::to_string(page), page - 1));
      EXPECT_TRUE(on("Seite " + std::to_string(page), page));
      EXPECT_EQ(on("Bankverbindungen:", page), footer);
    }
    EXPECT_EQ(testsupport::LayoutFaults(canvas, 2100, 2970), std::vector<std::string>{});
  }
  // The preview shows the page TargetPage names: page 1 with more to come,
  // or page 2, on a clean sheet over page 1, as it prints.
  session.inputs.letterText = LongLetter(40);
  session.view.targetPage = kPrintAllPages;
  RecordingCanvas paper;
  render(paper);
  const auto printed = testsupport::TextBoxes(paper);
  for (const auto& [target, more] : {std::pair{1, true}, {2, false}}) {
    session.view.targetPage = target;
    RecordingCanvas preview(true);
    const RenderOutcome outcome = MakeRenderer(kJobLetter)->render(preview, geometry, context);
    EXPECT_EQ(outcome.lastPage, target);
    EXPECT_EQ(outcome.morePages, more);
    std::vector<std::string> shown, expected;
    for (const auto& op : preview.ops()) {
      if (op.kind == Kind::Fill) shown.clear();
      if (op.kind == Kind::Text && op.text.starts_with("Zeile")) shown.push_back(op.text);
    }
    for (const auto& box : printed)
      if (box.page == target && box.text.starts_with("Zeile")) expected.push_back(box.text);
    EXPECT_EQ(shown, expected);
  }
}

TEST_F(LetterTest, JobElevenAndUnknownJobsGiveABlankPage) {
  for (int job : {11, 0, 26, -3, 9999}) {
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
