#include "reports/master_data_lists.h"

#include <cmath>
#include <cstring>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "reports/hit_list_sort.h"
#include "store/service_article.h"
#include "reports/list_page.h"
#include "reports/report_values.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/value_check.h"

namespace reports {

namespace {

using platform::Access;
using platform::Share;

// Walks an index in index order, reading every record of the data file
// through one open file. `visit` returns false to stop the walk.
template <typename Record, typename Visit>
void WalkRecords(frame::AppState& app, store::IndexedFile file, const char* indexName,
                 const char* dataName, Visit visit) {
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, indexName, Access::Read, Share::DenyWrite);
    if (!index || !file.ReadIndex(index, block)) return;
  }
  platform::File data = store::OpenData(app, dataName, Access::Read, Share::DenyWrite);
  if (!data) return;
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (app.ui && app.ui->progress(static_cast<int>((std::int64_t{i} + 1) * 100 / block.count)))
      return;
    Record record{};
    store::ReadFramedRecord(data, block.recordOffset(i),
                            std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(&record),
                                                    sizeof record),
                            true);
    if (!visit(record)) return;
  }
}

double TotalStock(const store::ArticleRecord& article) {
  double total = 0;
  // By index: the packed record's array must not be bound to a reference.
  for (std::size_t i = 0; i < sizeof article.stock / sizeof(double); ++i) total += article.stock[i];
  return total;
}

// The amount columns of the article lists end at the right edge of the
// list rows; each holds "-9999999.99 EUR" in the 3 mm font (the German
// figures are set smaller where a column needs it).
constexpr int kStockRight = 1500;
constexpr int kPriceRight = 1750;
constexpr int kProposedRight = 1650;

}  // namespace

std::string SalutationText(const store::AddressRecord& address) {
  switch (address.salutation & store::kSalutationMask) {
    case store::kSalutationCompany: return "Firma";
    case store::kSalutationMr: return "Herrn";
    case store::kSalutationMrs: return "Frau";
    case store::kSalutationAn: return "An";
    default: return "";
  }
}

printing::RenderOutcome ArticleListRenderer::render(printing::Canvas& canvas,
                                                    const printing::PageGeometry& geometry,
                                                    printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const store::ParameterRecord& p = app.parameters;
  const bool proposals = job_ == kJobOrderProposals;
  const bool sale = job_ == kJobArticlesSale;
  const frame::FigureStyle style = app.figures;
  const std::string today = orders::FormatDate(*app.clock);
  const std::string main = CurrencyName(p, 0);
  const char* title = proposals ? "Bestellvorschläge vom %s, Seite: %-d"
                      : sale    ? "Artikelliste (VK) vom %s, Seite: %-d"
                                : "Artikelliste (EK) vom %s, Seite: %-d";
  ListLayout layout;
  layout.bodyHeight = 30;
  layout.firstRow = proposals ? 300 : 310;
  layout.rowStep = 40;
  const int supplierX = proposals ? 1000 : 1100;
  ListPage page(
      canvas, geometry, context, layout,
      [&](int number) { return frame::Format(title, today.c_str(), number); },
      [&](ListPage& page) {
        page.rule(100, kListRightEdge, 240);
        page.left(100, 250, "Artikel#");
        page.left(450, 250, "Bezeichnung");
        page.left(supplierX, 250, "Lieferant");
        page.right(kStockRight, 250, "Bestand");
        if (proposals) {
          page.right(1700, 250, "Bestellen");
          page.right(kListRightEdge, 250, "EK-Preis");
        } else {
          page.right(kPriceRight, 250, sale ? "VK-Preis" : "EK-Preis");
          page.right(kListRightEdge, 250, sale ? "VK-Summe" : "EK-Summe");
        }
        page.rule(100, kListRightEdge, proposals ? 290 : 300);
      });
  std::int64_t total = 0;
  const store::ArticleRecord criteria = app.articleCriteria;
  WalkRecords<store::ArticleRecord>(
      app, store::ArticleFile(app), store::kArticleIndexName, store::kArticleDataName,
      [&](const store::ArticleRecord& article) {
        if (!page.beforeRecord()) return false;
        if (!store::ArticleQuantitiesAreSound(article)) {
          context.warn(store::DamagedStockText(Text(article.number),
                                               "Der Artikel wird nicht gedruckt."));
          return true;
        }
        const double stock = TotalStock(article);
        const double minimum = article.minimumStock;
        if (proposals ? store::IsServiceArticle(article) || !(minimum >= 0 && stock < minimum)
                      : !store::MatchArticle(criteria, article))
          return true;
        const int y = page.y();
        page.number(100, y, Text(article.number), 450 - kColumnGap);
        // The order proposals set the supplier closer: a long designation
        // is cut before it.
        page.fitLeft(450, y, Text(article.designation), supplierX - kColumnGap);
        page.left(supplierX, y, Text(article.supplier));
        page.right(kStockRight, y, frame::Quantity(style, stock));
        if (proposals) {
          page.right(kProposedRight, y, frame::Quantity(style, article.targetStock - stock));
          page.amount(kListRightEdge, y,
                      Money(style, article.purchasePrice, CurrencyName(p, article.currency)),
                      1700 + kColumnGap);
        } else {
          const double price =
              static_cast<double>(sale ? article.price1 : article.purchasePrice);
          const float factor = article.currency <= 3 ? p.exchangeRates[article.currency] : 1.0f;
          const double converted = std::isfinite(factor) && factor > 0 ? price / factor : price;
          const double value = std::trunc(stock) * converted;
          page.amount(kPriceRight, y, Money(style, converted, main), kStockRight + kColumnGap);
          page.amount(kListRightEdge, y, Money(style, value, main), kPriceRight + kColumnGap);
          // A sum the total cannot hold is told, never wrapped round.
          std::int64_t cents = 0;
          if (!(std::fabs(value) < 9e18) ||
              __builtin_add_overflow(total, static_cast<std::int64_t>(std::trunc(value)), &cents))
            context.warn(frame::Format(
                "Artikel %s: Bestand und Preis ergeben einen Betrag außerhalb des "
                "Rechenbereichs; er zählt nicht zur Gesamtsumme.",
                Text(article.number).c_str()));
          else
            total = cents;
        }
        page.next();
        return true;
      });
  if (!proposals && !page.stopped()) {
    page.rule(kPriceRight + kColumnGap, kListRightEdge, page.y() + 5);
    page.right(1600, page.y() + 10, "Gesamtsumme");
    page.amount(kListRightEdge, page.y() + 10, Money(style, static_cast<double>(total), main),
                kPriceRight + kColumnGap);
  }
  return page.finish();
}

printing::RenderOutcome AddressListRenderer::render(printing::Canvas& canvas,
                                                    const printing::PageGeometry& geometry,
                                                    printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const bool byName = job_ == kJobAddressesByName;
  const std::string today = orders::FormatDate(*app.clock);
  // The 3 mm font holds a name, street and town of 42 characters, fax and
  // phone of 21; a longer name is cut where the next column begins, a
  // number set smaller or marked as cut.
  ListLayout layout;
  layout.bodyHeight = 30;
  layout.firstRow = byName ? 340 : 450;
  layout.rowStep = byName ? 80 : 40;
  ListPage page(
      canvas, geometry, context, layout,
      [&](int number) {
        return frame::Format(byName ? "Adressenliste vom %s, Seite: %-d"
                                    : "PLZ-Adressenliste vom %s, Seite: %-d",
                             today.c_str(), number);
      },
      [&](ListPage& page) {
        if (byName) {
          page.rule(100, 1900, 240);
          page.left(100, 250, "Kundennr.");
          page.left(250, 250, "Anrede");
          page.left(370, 250, "Name");
          page.left(1320, 250, "Telefax");
          page.left(1660, 250, "Telefon");
          page.left(370, 290, "Straße");
          page.left(1020, 290, "PLZ-Ort");
          page.rule(100, 1900, 330);
        } else {
          page.rule(100, 1900, 390);
          page.left(100, 400, "Anrede");
          page.left(205, 400, "Name");
          page.left(830, 400, "Straße");
          page.left(1180, 400, "PLZ-Ort");
          page.left(1530, 400, "Telefax");
          page.left(1770, 400, "Telefon");
          page.rule(100, 1900, 440);
        }
      });
  const store::AddressRecord criteria = app.addressCriteria;
  auto print = [&](const store::AddressRecord& a) {
    if (!page.beforeRecord()) return false;
    if (!store::MatchAddress(criteria, a)) return true;
    const int y = page.y();
    if (byName) {
      std::string name(store::GetText(a.name1));
      if (!name.empty()) name += ' ';
      name += std::string(store::GetText(a.name2)) + ' ' + std::string(store::GetText(a.name3));
      page.number(100, y, Text(a.customerNumber), 240);
      page.fitLeft(250, y, SalutationText(a), 360);
      page.fitLeft(370, y, platform::Cp1252ToUtf8(name), 1300);
      page.number(1320, y, Text(a.fax), 1650);
      page.number(1660, y, Text(a.phone), kListRightEdge);
      page.fitLeft(370, y + 40, Text(a.street), 1000);
      page.fitLeft(1020, y + 40, Text(a.town), kListRightEdge);
    } else {
      page.fitLeft(100, y, SalutationText(a), 200);
      page.fitLeft(205, y, Text(a.name1) + ' ' + Text(a.name2) + ' ' + Text(a.name3), 820);
      page.fitLeft(830, y, Text(a.street), 1170);
      page.fitLeft(1180, y, Text(a.town), 1520);
      page.number(1530, y, Text(a.fax), 1760);
      page.number(1770, y, Text(a.phone), kListRightEdge);
    }
    page.next();
    return true;
  };
  if (byName) {
    WalkRecords<store::AddressRecord>(app, store::AddressFile(app), store::kAddressIndexName,
                                      store::kAddressDataName, print);
    return page.finish();
  }
  // The postcode list reads every address once, sorts the first seven
  // characters of postcode and town byte by byte, and prints in that order.
  struct PostcodeEntry {
    unsigned char key[8];
    std::size_t record;
  };
  std::vector<store::AddressRecord> addresses;
  WalkRecords<store::AddressRecord>(app, store::AddressFile(app), store::kAddressIndexName,
                                    store::kAddressDataName, [&](const store::AddressRecord& a) {
                                      addresses.push_back(a);
                                      return true;
                                    });
  std::vector<PostcodeEntry> table(addresses.size());
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    std::memset(table[i].key, 0, sizeof table[i].key);
    const std::string_view town = store::GetText(addresses[i].town);
    std::memcpy(table[i].key, town.data(), std::min<std::size_t>(town.size(), 7));
    table[i].record = i;
  }
  if (table.size() > 1)
    HitListSort(table, 0, static_cast<int>(table.size()) - 1,
                [](const PostcodeEntry& a, const PostcodeEntry& b) {
                  return std::memcmp(a.key, b.key, sizeof a.key) < 0;
                });
  for (const PostcodeEntry& entry : table)
    if (!print(addresses[entry.record])) break;
  return page.finish();
}

}  // namespace reports
