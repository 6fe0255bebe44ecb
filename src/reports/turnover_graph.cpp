#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/dates.h"
#include "orders/goods_receipt.h"
#include "printing/text_wrap.h"
#include "reports/list_page.h"
#include "reports/order_scan.h"
#include "reports/report_values.h"
#include "reports/statistics.h"
#include "store/article_file.h"

namespace reports {

namespace {

constexpr printing::Colour kTurnoverColour{128, 0, 0};
constexpr printing::Colour kProfitColour{221, 232, 158};
constexpr int kBaseLine = 1800;
// The plot leaves room on its left for the grid label of ten million.
constexpr int kPlotLeft = 300;
constexpr int kPlotWidth = 1600;
// More months than a lifetime of business cannot be meant: nothing is drawn.
constexpr int kMaxMonths = 1200;

printing::Font LabelFont(int height = 30) { return printing::Font{"Arial", height}; }

// The smallest cell height the value labels are set in; a month too narrow
// for it shows its bar without a figure.
constexpr int kSmallestLabel = 16;

// The article selection the graph is filtered by, as the user typed it;
// empty when every article counts.
std::string SelectionText(const store::ArticleRecord& c) {
  std::string text;
  auto add = [&text](const char* label, std::string_view value) {
    if (value.empty()) return;
    if (!text.empty()) text += ", ";
    text += std::string(label) + " \"" + platform::Cp1252ToUtf8(value) + "\"";
  };
  add("Artikelnummer", store::GetText(c.number));
  add("Bezeichnung", store::GetText(c.designation));
  add("Warengruppe", store::GetText(c.productGroup));
  add("Bemerkung 1", store::GetText(c.remark1));
  add("Bemerkung 2", store::GetText(c.remark2));
  add("Lieferant", store::GetText(c.supplier));
  return text;
}

// The largest label height, down to kSmallestLabel, at which every text
// fits the width; 0 when none does.
int FittingLabelHeight(printing::Canvas& canvas, const std::vector<std::string>& texts, int width) {
  printing::FontScope restore(canvas);
  for (int height = 30; height >= kSmallestLabel; height -= 2) {
    canvas.selectFont(LabelFont(height));
    if (std::all_of(texts.begin(), texts.end(),
                    [&](const std::string& t) { return canvas.textExtent(t).cx <= width; }))
      return height;
  }
  return 0;
}

// Cents as whole units, or as at most three digits of thousands, millions,
// milliards or billions ("12,3 T", "101 Mrd"): the shortest value label.
std::string CompactFigure(frame::FigureStyle style, std::int64_t cents) {
  double value = std::trunc(static_cast<double>(cents) / 100);
  if (std::fabs(value) < 1000) return frame::Amount(style, value, 0);
  for (const char* unit : {" T", " M", " Mrd", " Bio"}) {
    value /= 1000;
    const int decimals = std::fabs(value) < 9.95 ? 1 : 0;
    if (std::fabs(value) < 999.5 || std::string_view(unit) == " Bio")
      return frame::Amount(style, value, decimals) + unit;
  }
  return {};
}

std::int64_t Truncated(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int64_t>(std::clamp(std::trunc(value), -9.0e15, 9.0e15));
}

// The order line as the article selection sees it: number, designation and
// the two remarks hold the line's article number, descriptions and long
// text; product group and supplier, which a line does not have, are empty.
bool LineSelected(const store::ArticleRecord& criteria, const store::OrderLine& line) {
  store::ArticleRecord article{};
  std::memcpy(article.number, line.articleNumber, sizeof article.number);
  std::memcpy(article.designation, line.description1, sizeof article.designation);
  std::memcpy(article.remark1, line.description2, sizeof article.remark1);
  std::memcpy(article.remark2, line.longText, sizeof article.remark2);
  article.number[sizeof article.number - 1] = 0;
  article.designation[sizeof article.designation - 1] = 0;
  article.remark1[sizeof article.remark1 - 1] = 0;
  article.remark2[sizeof article.remark2 - 1] = 0;
  return store::MatchArticle(criteria, article);
}

// A bar from the base line up to `height` (down, for a negative one).
void Bar(printing::Canvas& canvas, int left, int right, std::int64_t height,
         printing::Colour colour) {
  if (height == 0) return;
  const int top = static_cast<int>(kBaseLine - height);
  canvas.fillRect(left, std::min(top, kBaseLine), right, std::max(top, kBaseLine), colour);
}

}  // namespace

GraphGrid TurnoverGrid(std::int64_t greatestTurnover) {
  GraphGrid grid;
  grid.top = std::max<std::int64_t>(greatestTurnover, 100);
  const int e = static_cast<int>(std::log10(static_cast<double>(grid.top)));
  grid.step = static_cast<std::int64_t>(std::pow(10.0, e));
  grid.height = static_cast<int>(grid.step * 1000 / grid.top);
  return grid;
}

std::string MonthRangeFrom(const std::string& typed) { return "01." + typed.substr(0, 7); }
std::string MonthRangeTo(const std::string& typed) { return "31." + typed.substr(0, 7); }

printing::RenderOutcome TurnoverGraphRenderer::render(printing::Canvas& canvas,
                                                      const printing::PageGeometry& geometry,
                                                      printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const store::ParameterRecord& p = app.parameters;
  const std::string& from = context.session.inputs.reportFrom;
  const std::string& to = context.session.inputs.reportTo;
  StatisticPage page(canvas, geometry, context, 150,
                     frame::Format("Umsatz/Ertrag vom %s bis zum %s:",
                                   platform::Cp1252ToUtf8(from).c_str(),
                                   platform::Cp1252ToUtf8(to).c_str()));
  const int firstMonth = orders::MonthNumber(from);
  const int months = orders::MonthNumber(to) - firstMonth + 1;
  if (months < 1 || months > kMaxMonths) return page.finish();
  // Gathered per currency, converted once the walk is done.
  std::vector<MainCurrencySum> turnoverGathered(static_cast<std::size_t>(months));
  std::vector<MainCurrencySum> profitGathered(static_cast<std::size_t>(months));
  std::vector<int> label(static_cast<std::size_t>(months), 0);

  const store::ArticleRecord criteria = app.articleCriteria;
  ScanOrders(app, true, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    const std::string_view date = store::GetText(head.orderDate);
    if (!(head.flags & store::kOrderDeliveryNotePrinted) ||
        orders::IsGoodsReceipt(head) || !orders::DateInRange(from, date, to))
      return;
    // The "bis" day is always the 31st: the first days of the month after a
    // short one pass the range test but have no slot, and are left out.
    const int m = orders::MonthNumber(date) - firstMonth;
    if (m < 0 || m >= months) return;
    const auto slot = static_cast<std::size_t>(m);
    label[slot] = orders::MonthNumber(date);
    for (const store::OrderLine& line : order.lines) {
      const double sale = static_cast<double>(line.salePrice) * line.quantity;
      if (sale == 0 || !std::isfinite(sale) || !LineSelected(criteria, line)) continue;
      std::int64_t t = Truncated((1000.0 - line.discount) * sale / 1000);
      if (head.cashDiscountTaken) t = Truncated((1 - head.cashDiscount / 1000.0) * static_cast<double>(t));
      turnoverGathered[slot].add(static_cast<long double>(t), head.currency);
      const std::int64_t u = Truncated((1000.0 - line.discount) * sale / 1000);
      const std::int64_t c = Truncated(static_cast<double>(line.costPrice) * line.quantity);
      profitGathered[slot].add(static_cast<long double>(u - c), head.currency);
    }
  });
  std::vector<std::int64_t> turnover, profit;
  for (int i = 0; i < months; ++i) {
    turnover.push_back(turnoverGathered[static_cast<std::size_t>(i)].cents(p));
    profit.push_back(profitGathered[static_cast<std::size_t>(i)].cents(p));
  }

  const GraphGrid grid = TurnoverGrid(*std::max_element(turnover.begin(), turnover.end()));
  const std::string currency = CurrencyName(p, 0);
  // A graph of some articles only says so: the selection of the article
  // list is still in force.
  if (const std::string selection = SelectionText(criteria); !selection.empty()) {
    canvas.setTextAlign(printing::TextAlign::Left);
    canvas.textOut(150, 240, printing::FitText(canvas, "Nur Artikel der Auswahl: " + selection,
                                               kPlotLeft + kPlotWidth - 150));
  }
  canvas.setPen(printing::kBlack);
  canvas.moveTo(kPlotLeft - 20, kBaseLine - grid.height);
  canvas.lineTo(kPlotLeft + kPlotWidth, kBaseLine - grid.height);
  canvas.selectFont(LabelFont());
  canvas.setTextAlign(printing::TextAlign::Right);
  canvas.textOut(kPlotLeft - 10, 1770 - grid.height,
                 frame::Money(app.figures, static_cast<double>(grid.step / 100), currency, 0));

  // The value labels of all months in one size that fits the narrowest
  // month: the whole figures with the currency name where that fits, else
  // without it, else in thousands ("1.235 T"), else each in the unit that
  // leaves at most three digits ("1,2 M", "101 Mrd").
  // Where none fits, the bars stand without figures and a note says why.
  const int slotWidth = kPlotWidth / months - 6;
  const frame::FigureStyle style = app.figures;
  const std::vector<std::function<std::string(std::int64_t)>> forms = {
      [&](std::int64_t v) { return frame::Money(style, static_cast<double>(v / 100), currency, 0); },
      [&](std::int64_t v) { return frame::Amount(style, static_cast<double>(v / 100), 0); },
      [&](std::int64_t v) { return frame::Amount(style, std::round(v / 1.0e5), 0) + " T"; },
      [&](std::int64_t v) { return CompactFigure(style, v); },
  };
  std::function<std::string(std::int64_t)> valueLabel;
  int labelHeight = 0;
  for (const auto& form : forms) {
    std::vector<std::string> texts;
    for (int i = 0; i < months; ++i) {
      texts.push_back(form(turnover[static_cast<std::size_t>(i)]));
      texts.push_back(form(profit[static_cast<std::size_t>(i)]));
    }
    labelHeight = FittingLabelHeight(canvas, texts, slotWidth);
    if (labelHeight > 0) {
      valueLabel = form;
      break;
    }
  }
  if (labelHeight == 0) {
    canvas.selectFont(LabelFont());
    canvas.setTextAlign(printing::TextAlign::Left);
    canvas.textOut(kPlotLeft, 1940,
                   "Die Monatsspalten sind zu schmal für die Beträge; sie werden nicht gezeigt.");
  }

  canvas.selectFont(BodyFont());
  canvas.setTextAlign(printing::TextAlign::Left);
  canvas.fillRect(250, 2000, 300, 2050, kTurnoverColour);
  canvas.textOut(350, 2000, "Umsatz");
  canvas.fillRect(650, 2000, 700, 2050, kProfitColour);
  canvas.textOut(750, 2000, "Ertrag");

  canvas.setTextAlign(printing::TextAlign::Centre);
  // Month labels that would touch the one before are left out.
  int monthEnd = kPlotLeft - 20;
  for (int i = 0; i < months; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const int left = kPlotLeft + i * kPlotWidth / months;
    const int right = kPlotLeft + (i + 1) * kPlotWidth / months;
    const int middle = (left + right) / 2;
    const std::int64_t turnoverHeight = turnover[slot] * 1000 / grid.top;
    const std::int64_t profitHeight = profit[slot] * 1000 / grid.top;
    Bar(canvas, left, right, turnoverHeight, kTurnoverColour);
    Bar(canvas, left, right, profitHeight, kProfitColour);
    if (labelHeight > 0) {
      canvas.selectFont(LabelFont(labelHeight));
      const std::string turnoverText = valueLabel(turnover[slot]);
      const std::string profitText = valueLabel(profit[slot]);
      const int cell = canvas.textExtent(turnoverText).cy;
      // The turnover above its bar, the profit just inside the top of its
      // bar; neither below the base line, where the months are named, and
      // the profit above the turnover where a low bar would put them on top
      // of each other.
      const int turnoverY =
          static_cast<int>(kBaseLine - std::max<std::int64_t>(turnoverHeight, 0) - 35);
      int profitY = static_cast<int>(
          std::min<std::int64_t>(kBaseLine - profitHeight + 10, kBaseLine - cell));
      if (profitY < turnoverY + cell && turnoverY < profitY + cell) profitY = turnoverY - cell;
      canvas.textOut(middle, turnoverY, turnoverText);
      canvas.textOut(middle, profitY, profitText);
    }
    if (label[slot] / 12 > 0) {
      canvas.selectFont(BodyFont());
      const std::string month = frame::Format("%ld", static_cast<long>(label[slot] % 12 + 1));
      const int width = canvas.textExtent(month).cx;
      if (middle - width / 2 > monthEnd) {
        canvas.textOut(middle, 1820, month);
        monthEnd = middle + (width + 1) / 2;
      }
    }
  }
  // The year under the first month and under every January, whether the
  // month sold anything or not, in the body font or one small enough for a
  // month's column. Where two would still touch, the later one stays: a
  // January names the months that follow it.
  canvas.selectFont(AmountFont(canvas, BodyFont(), "2000", slotWidth));
  std::vector<std::pair<int, std::string>> years;  // from the right
  int yearStart = kPlotLeft + kPlotWidth + 20;
  for (int i = months - 1; i >= 0; --i) {
    const int month = firstMonth + i;
    if (i > 0 && month % 12 != 0) continue;
    std::string year = frame::Format("%d", month / 12 + 1900);
    const int middle =
        kPlotLeft + (i * kPlotWidth / months + (i + 1) * kPlotWidth / months) / 2;
    const int width = canvas.textExtent(year).cx;
    if (middle + (width + 1) / 2 >= yearStart) continue;
    yearStart = middle - width / 2;
    years.emplace_back(middle, std::move(year));
  }
  for (auto year = years.rbegin(); year != years.rend(); ++year)
    canvas.textOut(year->first, 1865, year->second);
  canvas.setBrush(std::nullopt);
  canvas.rectangle(kPlotLeft, 600, kPlotLeft + kPlotWidth, kBaseLine);
  return page.finish();
}

}  // namespace reports
