#include "masterdata/article_values.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/decimal.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

std::string_view Head(std::string_view text, std::size_t n) {
  return text.substr(0, std::min(text.size(), n));
}

}  // namespace

std::string PriceText(std::int32_t cents, frame::FigureStyle style) {
  // The half cent only keeps binary fractions off the rounding edge; it goes
  // the way of the sign so that negative prices show what was typed.
  double nudge = cents < 0 ? -0.005 : 0.005;
  return frame::Amount(style, (cents + nudge) / 100);
}

std::optional<std::int32_t> ParsePrice(std::string_view text) { return frame::ReadCents(text); }

std::string QuantityText(std::int32_t quantity) { return frame::Format("%-d", quantity); }

std::int32_t ParseQuantity(std::string_view text) {
  // Four characters hold at most 9999 or -999.
  return static_cast<std::int32_t>(frame::ParseWhole(Head(text, kQuantityThresholdChars)));
}

std::string StockText(double stock, frame::FigureStyle style) {
  return frame::Quantity(style, stock);
}

std::optional<double> ParseStock(std::string_view text) { return frame::ReadNumber(text); }

double TotalStock(const store::ArticleRecord& article) {
  double sum = 0;
  for (int i = 0; i < 6; ++i) {
    double stock = article.stock[i];  // a copy: the record is packed
    sum += stock;
  }
  return sum;
}

std::string NextArticleNumber(frame::AppState& app) {
  platform::File index = store::OpenData(app, store::kArticleIndexName, platform::Access::Read,
                                         platform::Share::DenyNone);
  if (!index) return {};
  store::IndexBlock block;
  store::ArticleFile(app).ReadIndex(index, block);
  // Starting from 0 gives "1" to the first article and keeps keys like
  // "-5" from numbering downwards.
  long long largest = 0;
  for (std::int32_t i = 0; i < block.count; ++i) {
    std::string key(block.key(i));
    errno = 0;
    long long value = std::strtoll(key.c_str(), nullptr, 10);
    if (errno == ERANGE && value == LLONG_MAX) return {};  // nothing fits above it
    if (value > largest) largest = value;
  }
  if (largest == LLONG_MAX) return {};
  return std::to_string(largest + 1);
}

store::ArticleRecord NewArticle(frame::AppState& app) {
  store::ArticleRecord article{};
  article.flags = store::kNewArticleFlags;
  if (app.parameters.autoArticleNumber) store::SetText(article.number, NextArticleNumber(app));
  return article;
}

}  // namespace masterdata
