#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <unordered_map>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "orders/goods_receipt.h"
#include "printing/text_wrap.h"
#include "reports/hit_list_sort.h"
#include "reports/list_page.h"
#include "reports/order_scan.h"
#include "reports/report_values.h"
#include "reports/statistics.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_kinds.h"

namespace reports {

namespace {

using platform::Access;
using platform::Share;

constexpr int kHitListRows = 40;

bool ReadWholeIndex(frame::AppState& app, store::IndexedFile file, const char* name,
                    store::IndexBlock& block) {
  platform::File index = store::OpenData(app, name, Access::Read, Share::DenyWrite);
  return index && file.ReadIndex(index, block);
}

std::int64_t Truncated(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int64_t>(std::clamp(std::trunc(value), -9.0e15, 9.0e15));
}

std::string HitListTitle(const char* format, const printing::RenderContext& context) {
  return frame::Format(format, platform::Cp1252ToUtf8(context.session.inputs.reportFrom).c_str(),
                       platform::Cp1252ToUtf8(context.session.inputs.reportTo).c_str());
}

void Right(printing::Canvas& canvas, int x, int y, const std::string& text) {
  canvas.setTextAlign(printing::TextAlign::Right);
  canvas.textOut(x, y, text);
}

// Left-aligned, cut where the next column begins.
void Left(printing::Canvas& canvas, int x, int y, const std::string& text, int right) {
  canvas.setTextAlign(printing::TextAlign::Left);
  canvas.textOut(x, y, printing::FitText(canvas, text, right - x));
}

// Left-aligned, a number that must end before `right`: whole, smaller, or
// visibly cut (printing::FitNumber); the font is put back.
void Number(printing::Canvas& canvas, int x, int y, const std::string& text, int right) {
  printing::FontScope restore(canvas);
  canvas.setTextAlign(printing::TextAlign::Left);
  canvas.textOut(x, y, printing::FitNumber(canvas, text, right - x));
}

void Rule(printing::Canvas& canvas, int y) {
  canvas.moveTo(100, y);
  canvas.lineTo(1850, y);
}

// The zeroed table of last index + 2 entries; when it cannot be had the
// user is told and the list ends.
template <typename Entry>
bool Allocate(frame::AppState& app, std::vector<Entry>& table, int last) {
  try {
    table.resize(static_cast<std::size_t>(last + 2));
    return true;
  } catch (const std::bad_alloc&) {
    if (app.ui) app.ui->message(kOutOfMemory, frame::Icon::Stop);
    return false;
  }
}

// The sums are gathered per currency and converted once the walk is done.
struct ArticleHit {
  double quantity = 0;
  MainCurrencySum gathered;
  std::int64_t profit = 0;
  std::string number;  // Windows-1252
};

struct CustomerHit {
  MainCurrencySum turnoverGathered, profitGathered;
  std::int64_t turnover = 0;
  std::int64_t profit = 0;
  std::int32_t reference = 0;
};

}  // namespace

printing::RenderOutcome ArticleHitListRenderer::render(printing::Canvas& canvas,
                                                       const printing::PageGeometry& geometry,
                                                       printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const store::ParameterRecord& p = app.parameters;
  StatisticPage page(canvas, geometry, context, 100, HitListTitle("Die 40 ertragreichsten Artikel vom %s bis zum %s:", context));
  store::IndexBlock index;
  if (!ReadWholeIndex(app, store::ArticleFile(app), store::kArticleIndexName, index)) return page.finish();
  const int last = index.count - 1;
  // The first index position of each article number, exact in letter case.
  std::unordered_map<std::string_view, int> first;
  for (int k = last; k >= 0; --k) first[index.key(k)] = k;
  std::vector<ArticleHit> table;
  if (!Allocate(app, table, last)) return page.finish();

  const std::string& from = context.session.inputs.reportFrom;
  const std::string& to = context.session.inputs.reportTo;
  ScanOrders(app, true, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    // A collective invoice repeats the lines of its delivery notes.
    if (!(head.flags & (store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted)) ||
        orders::IsGoodsReceipt(head) ||
        (head.flags & store::kOrderCollectiveInvoice) ||
        !orders::DateInRange(from, store::GetText(head.orderDate), to) || head.lineCount < 1)
      return;
    for (const store::OrderLine& line : order.lines) {
      const double sale = static_cast<double>(line.salePrice) * line.quantity;
      if (sale == 0 || !std::isfinite(sale)) continue;
      const auto found = first.find(store::GetText(line.articleNumber));
      if (found == first.end()) continue;
      ArticleHit& hit = table[static_cast<std::size_t>(found->second)];
      hit.number = std::string(found->first);
      hit.quantity += line.quantity;
      std::int64_t profit = Truncated(((1000.0 - line.discount) * sale + 5) / 1000 -
                                      static_cast<double>(line.costPrice) * line.quantity);
      if (head.cashDiscountTaken) profit = ((1000 - head.cashDiscount) * profit + 5) / 1000;
      hit.gathered.add(static_cast<long double>(profit), head.currency);
    }
  });
  for (ArticleHit& hit : table) hit.profit = hit.gathered.cents(p);
  if (last > 0)
    HitListSort(table, 0, last,
                [](const ArticleHit& a, const ArticleHit& b) { return a.profit > b.profit; });

  Rule(canvas, 290);
  Rule(canvas, 350);
  Left(canvas, 100, 300, "Artikelnummer", 480);
  Left(canvas, 500, 300, "Artikelbezeichnung", 1340);
  Right(canvas, 1610, 300, "Ertrag");
  Right(canvas, 1850, 300, "Anzahl");
  platform::File articles =
      store::OpenData(app, store::kArticleDataName, Access::Read, Share::DenyWrite);
  const std::string currency = CurrencyName(p, 0);
  int y = 360;
  for (int k = 0; k <= std::min(kHitListRows - 1, last); ++k) {
    const ArticleHit& hit = table[static_cast<std::size_t>(k)];
    const auto found = first.find(hit.number);
    if (found == first.end()) break;
    store::ArticleRecord article{};
    if (articles)
      store::ReadFramedRecord(articles, index.recordOffset(found->second),
                              std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(&article),
                                                      sizeof article),
                              true);
    const std::string profit = Money(app.figures, static_cast<double>(hit.profit), currency);
    const std::string quantity = frame::Quantity(app.figures, hit.quantity);
    // A quantity wider than its column pushes the profit left.
    const int profitRight = std::min(1650, 1850 - canvas.textExtent(quantity).cx - kColumnGap);
    Number(canvas, 100, y, Text(article.number), 480);
    Left(canvas, 500, y, Text(article.designation),
         profitRight - kColumnGap - canvas.textExtent(profit).cx);
    Right(canvas, profitRight, y, profit);
    Right(canvas, 1850, y, quantity);
    y += 50;
  }
  return page.finish();
}

printing::RenderOutcome CustomerHitListRenderer::render(printing::Canvas& canvas,
                                                        const printing::PageGeometry& geometry,
                                                        printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const store::ParameterRecord& p = app.parameters;
  StatisticPage page(canvas, geometry, context, 100, HitListTitle("Die 40 umsatzstärksten Kunden vom %s bis zum %s:", context));
  store::IndexBlock index;
  if (!ReadWholeIndex(app, store::AddressFile(app), store::kAddressIndexName, index)) return page.finish();
  const int last = index.count - 1;
  std::unordered_map<std::uint32_t, int> first;
  for (int k = last; k >= 0; --k) first[index.recordOffset(k)] = k;
  std::vector<CustomerHit> table;
  if (!Allocate(app, table, last)) return page.finish();

  const std::string& from = context.session.inputs.reportFrom;
  const std::string& to = context.session.inputs.reportTo;
  ScanOrders(app, true, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    if (!(head.flags & store::kOrderDeliveryNotePrinted) ||
        orders::IsGoodsReceipt(head) ||
        !orders::DateInRange(from, store::GetText(head.orderDate), to))
      return;
    const auto found = first.find(static_cast<std::uint32_t>(head.customerRef));
    if (found == first.end()) return;
    CustomerHit& hit = table[static_cast<std::size_t>(found->second)];
    hit.reference = head.customerRef;
    hit.turnoverGathered.add(static_cast<long double>(head.total), head.currency);
    for (const store::OrderLine& line : order.lines) {
      const double sale = static_cast<double>(line.salePrice) * line.quantity;
      if (sale == 0 || !std::isfinite(sale)) continue;
      double profit = (1000.0 - line.discount) * sale / 1000 -
                      static_cast<double>(line.costPrice) * line.quantity;
      if (head.cashDiscountTaken) profit *= 1 - head.cashDiscount / 1000.0;
      hit.profitGathered.add(static_cast<long double>(profit), head.currency);
    }
  });
  for (CustomerHit& hit : table) {
    hit.turnover = hit.turnoverGathered.cents(p);
    hit.profit = hit.profitGathered.cents(p);
  }
  if (last > 0)
    HitListSort(table, 0, last,
                [](const CustomerHit& a, const CustomerHit& b) { return a.turnover > b.turnover; });

  Rule(canvas, 290);
  Rule(canvas, 350);
  Left(canvas, 100, 300, "Name", 1140);
  Right(canvas, 1450, 300, "Ertrag");
  Right(canvas, 1850, 300, "Umsatz");
  CustomerBook customers(app);
  const std::string currency = CurrencyName(p, 0);
  int y = 360;
  for (int k = 0; k <= std::min(kHitListRows - 1, last); ++k) {
    const CustomerHit& hit = table[static_cast<std::size_t>(k)];
    if (hit.profit == 0) continue;
    const std::string profit = Money(app.figures, static_cast<double>(hit.profit), currency);
    Left(canvas, 100, y, CustomerName(customers.at(hit.reference)), 1430 - canvas.textExtent(profit).cx);
    Right(canvas, 1450, y, profit);
    Right(canvas, 1850, y, Money(app.figures, static_cast<double>(hit.turnover), currency));
    y += 50;
  }
  return page.finish();
}

}  // namespace reports
