// The lists as they print: measured with the fonts the painter draws in,
// every text stays clear of the others and on the sheet.
#include <gtest/gtest.h>

#include "core/figures.h"
#include "reports/largest_reports.h"
#include "support/real_fonts.h"

namespace {

class RealFontLayoutTest : public ::testing::Test, public reporttest::LargestReports {
 protected:
  testsupport::RealFonts fonts;
};

TEST_F(RealFontLayoutTest, ListsAndStatisticsKeepEveryTextInItsPlace) {
  for (const frame::FigureStyle style : {frame::FigureStyle::Point, frame::FigureStyle::German}) {
    SCOPED_TRACE(style == frame::FigureStyle::Point ? "point" : "German");
    book.app.figures = style;
    for (int job : {5, 6, 7, 8, 9, 13, 14, 15, 17, 18, 22})
      expectTidy(job, {}, reporttest::kSheetWidth, fonts.measure());
    expectTidy(12, {.reportFrom = "01.01.2025", .reportTo = "31.12.2026"}, reporttest::kSheetWidth,
               fonts.measure());
  }
}

TEST_F(RealFontLayoutTest, LettersEnvelopesAndLabelsKeepEveryTextInItsPlace) {
  prepareDunning();
  expectTidy(16, {}, reporttest::kSheetWidth, fonts.measure());
  expectTidy(10, {.letterText = LongLetter()}, reporttest::kSheetWidth, fonts.measure());
  expectTidy(21, {}, 1600, fonts.measure());
  expectTidy(24, {}, 1600, fonts.measure());
}

// A name may lose its end; a number prints whole (in a smaller font where
// its column needs it) or ends in "…" where it is cut. Never does a shorter
// number stand in for it unseen, as "90000000" for "900000001".
TEST_F(RealFontLayoutTest, NumbersPrintWholeOrVisiblyCut) {
  const std::string customerNumber = "900000001";
  const struct {
    int job;
    std::vector<std::string> numbers;
  } kCases[] = {
      {6, {reporttest::kArticle}},
      {8, {customerNumber}},
      {13, {reporttest::kArticle}},
      {14, {customerNumber, reporttest::kFax, reporttest::kPhone}},
      {15, {reporttest::kArticle}},
      {17, {reporttest::kArticle}},
      {18, {reporttest::kFax, reporttest::kPhone}},
      {22, {customerNumber}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE("job " + std::to_string(c.job));
    const printing::RecordingCanvas canvas = render(c.job, {}, fonts.measure());
    for (const std::string& number : c.numbers) {
      SCOPED_TRACE(number);
      int shown = 0;
      for (const auto* op : canvas.texts()) {
        if (op->text == number) {
          ++shown;
        } else if (op->text.ends_with("…")) {
          const std::string kept = op->text.substr(0, op->text.size() - std::string("…").size());
          shown += !kept.empty() && number.starts_with(kept);
        } else {
          EXPECT_FALSE(op->text.size() >= 3 && number.starts_with(op->text))
              << "cut unseen to \"" << op->text << "\"";
        }
      }
      EXPECT_GT(shown, 0);
    }
    const auto faults = testsupport::LayoutFaults(canvas, reporttest::kSheetWidth, reporttest::kSheetHeight);
    EXPECT_TRUE(faults.empty()) << faults.front();
  }
}

// The journal's first head is 16.8 mm wide in the real font: it gets the
// smaller size that leaves 2 mm before the next.
TEST_F(RealFontLayoutTest, TheJournalHeadsStandApart) {
  const printing::RecordingCanvas journal = render(8, {}, fonts.measure());
  const auto* number = journal.findText("Rechnungs#");
  const auto* customer = journal.findText("Kunden#");
  ASSERT_TRUE(number && customer);
  EXPECT_LE(number->x + number->width + 20, customer->x);
  EXPECT_EQ(customer->font.height, -30);
}

}  // namespace
