#include "reports/list_page.h"

#include <algorithm>

#include "core/decimal.h"
#include "printing/text_wrap.h"
#include "reports/report_values.h"

namespace reports {

using printing::TextAlign;

std::string WidestAmount(const frame::AppState& app) {
  auto characters = [](const std::string& utf8) {
    return std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
  };
  std::string currency;
  for (int c = 0; c < 4; ++c) {
    const std::string name = CurrencyName(app.parameters, c);
    if (characters(name) > characters(currency)) currency = name;
  }
  return Money(app.figures, -999999999, currency);
}

printing::Font AmountFont(printing::Canvas& canvas, printing::Font base, const std::string& widest,
                          int width) {
  printing::FontScope restore(canvas);
  constexpr int kSmallest = 15;
  printing::Font font = base;
  for (int em = -base.height; em >= kSmallest; --em) {
    font.height = -em;
    canvas.selectFont(font);
    if (canvas.textExtent(widest).cx <= width) break;
  }
  return font;
}

namespace {
// The title of a list or statistic in the heading font, or as much smaller
// as a long range or page number needs to end at the right edge.
void DrawTitle(printing::Canvas& canvas, int x, int y, const std::string& title) {
  canvas.setTextAlign(TextAlign::Left);
  canvas.selectFont(HeadingFont());
  for (const std::string& line : printing::FitHeading(canvas, title, kListRightEdge - x, 30)) {
    canvas.textOut(x, y, line);
    y += 35;
  }
}

// The company name stands in the top left corner of a list, where the
// other pages have their prompt; on lists it goes to the foot of the sheet,
// below the last row a page takes.
int PreviewPromptY(const printing::PageGeometry& geometry) { return geometry.logicalHeight - 60; }
}  // namespace

ListPage::ListPage(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                   printing::RenderContext& context, ListLayout layout,
                   std::function<std::string(int)> title, std::function<void(ListPage&)> heads)
    : canvas_(canvas),
      geometry_(geometry),
      context_(context),
      layout_(layout),
      title_(std::move(title)),
      heads_(std::move(heads)),
      restore_(canvas),
      align_(canvas.textAlign()),
      y_(geometry.logicalHeight),
      widest_(WidestAmount(context.app)) {
  printing::ApplyMapping(canvas_, geometry_);
  canvas_.setBrush(std::nullopt);
}

ListPage::~ListPage() { canvas_.setTextAlign(align_); }

bool ListPage::beforeRecord() {
  if (stopped_) return false;
  if (y_ <= geometry_.logicalHeight - 200) return true;
  if (page_ >= 1) {
    if (!canvas_.isPreview()) {
      canvas_.selectFont(BodyFont(layout_.bodyHeight));
      centre(geometry_.logicalWidth / 2, geometry_.logicalHeight - 100,
             frame::Format("Die Auflistung wird auf Seite %-d fortgesetzt.", page_ + 1));
    }
    const bool printing = !canvas_.isPreview();
    if (!printing::NextPage(canvas_, geometry_, context_, page_ + 1,
                            layout_.pagesByTarget && !printing)) {
      stopped_ = true;
      failed_ = printing;
      return false;
    }
  }
  canvas_.fillRect(-100, -100, geometry_.logicalWidth + 100, geometry_.logicalHeight + 100,
                   printing::kWhite);
  ++page_;
  canvas_.selectFont(TitleFont());
  fitLeft(layout_.companyX, 0, Text(context_.app.parameters.companyName1), kListRightEdge);
  DrawTitle(canvas_, layout_.titleX, layout_.titleY, title_(page_));
  canvas_.selectFont(BodyFont(layout_.bodyHeight));
  heads_(*this);
  y_ = layout_.firstRow;
  return true;
}

void ListPage::left(int x, int y, const std::string& text) {
  canvas_.setTextAlign(TextAlign::Left);
  canvas_.textOut(x, y, text);
}

void ListPage::fitLeft(int x, int y, const std::string& text, int right) {
  left(x, y, printing::FitText(canvas_, text, right - x));
}

void ListPage::number(int x, int y, const std::string& text, int right) {
  printing::FontScope restore(canvas_);
  left(x, y, printing::FitNumber(canvas_, text, right - x));
}

void ListPage::right(int x, int y, const std::string& text) {
  canvas_.setTextAlign(TextAlign::Right);
  canvas_.textOut(x, y, text);
}

void ListPage::head(int x, int y, const std::string& text, int right) {
  const printing::Font body = BodyFont(layout_.bodyHeight);
  canvas_.selectFont(AmountFont(canvas_, body, text, right - x));
  left(x, y, text);
  canvas_.selectFont(body);
}

void ListPage::amount(int right, int y, const std::string& text, int left) {
  const int width = right - left;
  auto found = std::find_if(amountFonts_.begin(), amountFonts_.end(),
                            [width](const auto& entry) { return entry.first == width; });
  if (found == amountFonts_.end()) {
    amountFonts_.emplace_back(width, AmountFont(canvas_, BodyFont(layout_.bodyHeight), widest_, width));
    found = amountFonts_.end() - 1;
  }
  // A sum beyond the widest amount gets a size of its own rather than run
  // into the next column.
  canvas_.selectFont(found->second);
  const printing::Font font = canvas_.textExtent(text).cx <= width
                                  ? found->second
                                  : AmountFont(canvas_, found->second, text, width);
  canvas_.selectFont(font);
  ListPage::right(right, y, text);
  canvas_.selectFont(BodyFont(layout_.bodyHeight));
}

void ListPage::centre(int x, int y, const std::string& text) {
  canvas_.setTextAlign(TextAlign::Centre);
  canvas_.textOut(x, y, text);
}

void ListPage::rule(int x1, int x2, int y) {
  canvas_.moveTo(x1, y);
  canvas_.lineTo(x2, y);
}


printing::RenderOutcome ListPage::finish() {
  if (!failed_) printing::DrawPreviewPrompt(canvas_, PreviewPromptY(geometry_));
  return {page_ < 1 ? 1 : page_, stopped_ && !failed_};
}

StatisticPage::StatisticPage(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                             printing::RenderContext& context, int x, const std::string& title)
    : canvas_(canvas), restore_(canvas), align_(canvas.textAlign()), promptY_(PreviewPromptY(geometry)) {
  printing::ApplyMapping(canvas, geometry);
  canvas.setBrush(std::nullopt);
  canvas.setTextAlign(TextAlign::Left);
  canvas.selectFont(TitleFont());
  canvas.textOut(x, 0, printing::FitText(canvas, Text(context.app.parameters.companyName1),
                                         kListRightEdge - x));
  DrawTitle(canvas, x, 150, title);
  canvas.selectFont(BodyFont());
}

printing::RenderOutcome StatisticPage::finish() {
  printing::DrawPreviewPrompt(canvas_, promptY_);
  return {};
}

std::function<void(const std::string&)> DamagedOrderReport(printing::Canvas& canvas,
                                                           printing::RenderContext& context) {
  if (canvas.isPreview()) return {};
  return [&context](const std::string& text) { context.warn(text); };
}

}  // namespace reports
