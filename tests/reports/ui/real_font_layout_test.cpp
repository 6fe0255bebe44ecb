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
