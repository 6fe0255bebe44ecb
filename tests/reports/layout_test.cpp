// Every list, statistic and letter with the largest values its fields hold:
// 42-character names, 9-digit customer numbers, amounts up to 9 999 999.99
// in four currencies, pages full of rows. Nothing may be printed over
// another text or off the sheet.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/decimal.h"
#include "core/figures.h"
#include "platform/cp1252.h"
#include "reports/largest_reports.h"
#include "store/address_file.h"
#include "support/layout_check.h"

namespace reporttest {
namespace {

class LayoutTest : public ::testing::Test, public LargestReports {};

TEST_F(LayoutTest, ListsAndStatisticsKeepEveryTextInItsPlace) {
  // Open and unprinted invoices, hit lists, journal, order proposals,
  // address lists, article lists with stock values, article turnover.
  for (const frame::FigureStyle style : {frame::FigureStyle::Point, frame::FigureStyle::German}) {
    SCOPED_TRACE(style == frame::FigureStyle::Point ? "point" : "German");
    book.app.figures = style;
    book.app.articleCriteria = {};
    for (int job : {5, 6, 7, 8, 9, 13, 14, 15, 17, 18, 22}) expectTidy(job);
    // The turnover graph over two years, filtered by an article selection.
    // Every month names its turnover and profit, if need be in thousands.
    store::SetText(book.app.articleCriteria.number, "ELT");
    expectTidy(12, {.reportFrom = "01.01.2025", .reportTo = "31.12.2026"});
    int values = 0;
    const printing::RecordingCanvas graph =
        render(12, {.reportFrom = "01.01.2025", .reportTo = "31.12.2026"});
    for (const auto* op : graph.texts())
      values += op->align == printing::TextAlign::Centre && op->y < 1800;
    EXPECT_EQ(values, 2 * 24);
  }
}

// The journal in German figures shows the figures of the point style in the
// same places: each amount reads back as the same number.
TEST_F(LayoutTest, TheGermanJournalShowsThePointFigures) {
  const printing::RecordingCanvas point = render(8);
  book.app.figures = frame::FigureStyle::German;
  const printing::RecordingCanvas german = render(8);
  const auto p = point.texts(), g = german.texts();
  ASSERT_EQ(p.size(), g.size());
  auto split = [](const std::string& text) {
    const std::size_t blank = text.rfind(' ');
    return std::pair{frame::ReadNumber(text.substr(0, blank)), text.substr(blank + 1)};
  };
  int amounts = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    SCOPED_TRACE(p[i]->text + " / " + g[i]->text);
    EXPECT_EQ(p[i]->x, g[i]->x);
    EXPECT_EQ(p[i]->y, g[i]->y);
    if (p[i]->text == g[i]->text) continue;
    if (p[i]->text.starts_with("Steuersätze")) {
      EXPECT_EQ(g[i]->text, "Steuersätze: 7,0 % und 19,0 %");
      continue;
    }
    ++amounts;
    const auto [pointValue, pointCurrency] = split(p[i]->text);
    const auto [germanValue, germanCurrency] = split(g[i]->text);
    ASSERT_TRUE(pointValue && germanValue);
    EXPECT_EQ(*germanValue, *pointValue);
    EXPECT_EQ(germanCurrency, pointCurrency);
  }
  EXPECT_EQ(amounts, 4 * 37 + 4 * 4);  // the rows of 2026 and the total rows
  EXPECT_NE(german.findText("-9.999.999,99 EUR"), nullptr);
}

TEST_F(LayoutTest, EveryBackOrderLinePrintsOnItsOwnRow) {
  const printing::RecordingCanvas canvas = render(19);
  EXPECT_TRUE(testsupport::LayoutFaults(canvas, kSheetWidth, kSheetHeight).empty());
  int lines = 0;
  for (const auto* op : canvas.texts()) lines += op->text.rfind("999 x  ", 0) == 0;
  EXPECT_EQ(lines, 101);
}

TEST_F(LayoutTest, TheTurnoverGraphNamesTheArticleSelectionItIsFilteredBy) {
  store::SetText(book.app.articleCriteria.number, "BUCH");
  const printing::RecordingCanvas canvas =
      render(12, {.reportFrom = "01.01.2026", .reportTo = "31.12.2026"});
  EXPECT_NE(canvas.findText("Nur Artikel der Auswahl: Artikelnummer \"BUCH\""), nullptr);
  // Without a selection nothing is said.
  book.app.articleCriteria = {};
  const printing::RecordingCanvas all = render(12, {.reportFrom = "01.01.2026", .reportTo = "31.12.2026"});
  for (const auto* op : all.texts()) EXPECT_EQ(op->text.find("Auswahl"), std::string::npos);
}

TEST_F(LayoutTest, LettersKeepTheAmountDueAboveTheFooter) {
  prepareDunning();
  expectTidy(16);
  // Every letter gives its whole text, on a second page, then names its
  // invoice and the amount due, under its whole title (smaller or on two
  // lines, between the margins). Nothing is left off, so nothing is told.
  int amounts = 0, lines = 0, secondPages = 0;
  std::string titles;
  const printing::RecordingCanvas letters = render(16, {.dunningReprint = true});
  for (const auto* op : letters.texts()) {
    amounts += op->text.rfind("sich auf ", 0) == 0;
    lines += op->text == "Bitte überweisen Sie den offenen Betrag.";
    secondPages += op->text == "Seite 2";
    if (op->font.weight == 600) titles += (titles.empty() || titles.back() == ' ' ? "" : " ") + op->text;
  }
  EXPECT_EQ(book.warnings, std::vector<std::string>{});
  EXPECT_EQ(amounts, 60);
  EXPECT_EQ(lines, 60 * 40);
  EXPECT_EQ(secondPages, 60);
  std::string expected;
  for (int letter = 0; letter < 60; ++letter) expected += std::string(kLongestDunningTitle) + " ";
  EXPECT_EQ(titles + " ", expected);

  expectTidy(10, {.letterText = LongLetter()});
  // Moved 15 mm down and 10 mm right, the footer still stands on the sheet.
  book.app.parameters.printOffsetVertical = 15;
  book.app.parameters.printOffsetHorizontal = 10;
  expectTidy(16);
  expectTidy(10, {.letterText = LongLetter()});
}

TEST_F(LayoutTest, EnvelopesAndLabelsCutLinesAtTheWindow) {
  expectTidy(21, {}, 1600);
  expectTidy(24, {}, 1600);
}

}  // namespace
}  // namespace reporttest
