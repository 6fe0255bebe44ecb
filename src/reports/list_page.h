// The page frame of the printed lists: fonts, the white sheet, the company
// name and the title on top of every page, the column heads, the rows 5 mm
// (or 4 mm) apart and the page break before a record that would start below
// the page height - 200, with the footer naming the next page on paper.
//
// In the preview the lists that page by TargetPage stop as soon as the next
// page would lie beyond it; the others draw every page over the last one.
#ifndef BELVON_REPORTS_LIST_PAGE_H
#define BELVON_REPORTS_LIST_PAGE_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "store/app_state.h"
#include "printing/canvas.h"
#include "printing/page_renderer.h"

namespace reports {

inline printing::Font TitleFont() { return printing::Font{"Arial", -100, 700, true}; }
inline printing::Font HeadingFont() { return printing::Font{"Arial", -60}; }
inline printing::Font BodyFont(int height = 40) { return printing::Font{"Arial", -height}; }

// Where the text of a list row must end: 1 cm inside the right edge of A4.
inline constexpr int kListRightEdge = 2000;
// The room kept free between two columns.
inline constexpr int kColumnGap = 20;

// The widest amount a list may print in the figure style of the data
// directory: -9 999 999.99 with the longest of the four currency names.
std::string WidestAmount(const frame::AppState& app);

// The font of an amount column `width` wide: `base` where `widest` fits it,
// else `base` made as much smaller as it must be (down to 1.5 mm), so that
// every row of the column is set in one size.
printing::Font AmountFont(printing::Canvas& canvas, printing::Font base, const std::string& widest,
                          int width);

struct ListLayout {
  int companyX = 100;
  int titleX = 100;
  int titleY = 150;
  int bodyHeight = 40;  // tenths of a millimetre
  int firstRow = 360;
  int rowStep = 50;
  bool pagesByTarget = true;  // stops in the preview beyond TargetPage
};

class ListPage {
 public:
  // `title` gives the title of a page from its number; `heads` draws the
  // rules and column heads in the body font.
  ListPage(printing::Canvas& canvas, const printing::PageGeometry& geometry,
           printing::RenderContext& context, ListLayout layout,
           std::function<std::string(int page)> title, std::function<void(ListPage&)> heads);
  ~ListPage();
  ListPage(const ListPage&) = delete;
  ListPage& operator=(const ListPage&) = delete;

  // The page-break test before a record is handled. False when the list
  // stops here: ending a printed page failed, or the preview has reached the
  // page it shows.
  bool beforeRecord();
  // Advances to the next row.
  void next(int step = 0) { y_ += step ? step : layout_.rowStep; }

  int y() const { return y_; }
  int page() const { return page_; }
  bool stopped() const { return stopped_; }

  void left(int x, int y, const std::string& text);
  // Left-aligned, cut so that it ends before `right`: names and numbers
  // of the user's that would run into the next column.
  void fitLeft(int x, int y, const std::string& text, int right);
  // Left-aligned, a number that must end before `right`: whole, in a
  // smaller font where it needs one, or visibly cut (printing::FitNumber).
  void number(int x, int y, const std::string& text, int right);
  void right(int x, int y, const std::string& text);
  // A column head left-aligned at `x`: in the body font, or in the smaller
  // one it needs to end before `right`, where the next head begins.
  void head(int x, int y, const std::string& text, int right);
  // An amount right-aligned at `right` in the column that begins at
  // `left`: in the body font, or in the smaller one the column needs to
  // hold the widest amount (see AmountFont).
  void amount(int right, int y, const std::string& text, int left);
  void centre(int x, int y, const std::string& text);
  void rule(int x1, int x2, int y);
  printing::Canvas& canvas() { return canvas_; }

  // The outcome of the render call; draws the preview prompt unless a
  // printed page could not be ended.
  printing::RenderOutcome finish();

 private:
  printing::Canvas& canvas_;
  const printing::PageGeometry& geometry_;
  printing::RenderContext& context_;
  ListLayout layout_;
  std::function<std::string(int)> title_;
  std::function<void(ListPage&)> heads_;
  printing::FontScope restore_;
  printing::TextAlign align_;
  int y_;
  int page_ = 0;
  bool stopped_ = false;
  bool failed_ = false;
  std::string widest_;
  std::vector<std::pair<int, printing::Font>> amountFonts_;  // by column width
};

// Draws the rows the lists collected during the walk in index order, with
// the page-break test before each order the walk handed over (listed or
// not), until the list stops. `rows` are sorted by their `position`.
template <typename Row, typename Draw>
void DrawInIndexOrder(ListPage& page, const std::vector<char>& seen, const std::vector<Row>& rows,
                      Draw draw) {
  std::size_t next = 0;
  for (std::size_t position = 0; position < seen.size(); ++position) {
    if (!seen[position]) continue;
    if (!page.beforeRecord()) return;
    for (; next < rows.size() && static_cast<std::size_t>(rows[next].position) == position; ++next)
      draw(rows[next]);
  }
}

// The one page of a statistic: company name at (x, 0) in the title font,
// the title at (x, 150) in the heading font, then the body font. finish()
// writes the preview prompt; the font and alignment found are put back.
class StatisticPage {
 public:
  StatisticPage(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                printing::RenderContext& context, int x, const std::string& title);
  ~StatisticPage() { canvas_.setTextAlign(align_); }
  StatisticPage(const StatisticPage&) = delete;
  StatisticPage& operator=(const StatisticPage&) = delete;
  printing::RenderOutcome finish();

 private:
  printing::Canvas& canvas_;
  printing::FontScope restore_;
  printing::TextAlign align_;
  int promptY_;
};

// The report of damaged orders: told on paper, silent in the preview.
std::function<void(const std::string&)> DamagedOrderReport(printing::Canvas& canvas,
                                                           printing::RenderContext& context);

}  // namespace reports

#endif  // BELVON_REPORTS_LIST_PAGE_H
