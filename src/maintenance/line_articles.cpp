#include "maintenance/line_articles.h"

#include <cstdio>

#include "store/article_record.h"
#include "store/bytes.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

// A text field of `width` bytes at `at`, empty where the bytes end.
std::string TextAt(const Bytes& data, std::size_t at, std::size_t width) {
  if (at >= data.size()) return {};
  const std::size_t n = std::min(width, data.size() - at);
  return std::string(store::GetText(reinterpret_cast<const char*>(&data[at]), n));
}

}  // namespace

void CheckLineArticles(IndexImage& orders, const Bytes& orderData, const Bytes& articleData,
                       std::vector<std::string>& problems) {
  constexpr std::size_t kRef = offsetof(store::OrderLine, articleRef);
  constexpr std::size_t kLineNumber = offsetof(store::OrderLine, articleNumber);
  constexpr std::size_t kArticleNumber = offsetof(store::ArticleRecord, number);
  constexpr std::size_t kWidth = sizeof(store::OrderLine::articleNumber);
  for (std::int32_t i = 0; i < orders.count; ++i) {
    const std::int32_t number = store::Load<std::int32_t>(orders.entry(i) + 4);
    int position = 0;
    ForEachLine(orderData, orders.recordOffset(i), kCurrentOrders,
                [&](std::size_t at, std::uint16_t length) {
                  ++position;
                  if (length < kRef + 4 || at + kRef + 4 > orderData.size()) return;
                  const std::int32_t ref = store::Load<std::int32_t>(&orderData[at + kRef]);
                  if (ref < 0) return;
                  const std::string named = TextAt(orderData, at + kLineNumber, kWidth);
                  const std::string found =
                      TextAt(articleData, std::size_t(ref) + kArticleNumber, kWidth);
                  if (named == found && !found.empty()) return;
                  char text[160];
                  std::snprintf(text, sizeof text,
                                "Rechnung Nr: %8ld, Position %d: Artikel-Nr. \"%s\" gehört nicht "
                                "zum Artikel \"%s\", auf den die Position verweist.",
                                static_cast<long>(number), position, named.c_str(), found.c_str());
                  problems.push_back(text);
                });
  }
}

}  // namespace maintenance
