#include "maintenance/line_articles.h"

#include <cstdio>

#include "core/decimal.h"
#include "platform/cp1252.h"
#include "store/article_record.h"
#include "store/bytes.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

// A text field of `width` bytes at `at`, empty where the bytes end.
std::string TextAt(FileWindow& data, std::uint64_t at, std::size_t width) {
  if (at >= data.size()) return {};
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(width, data.size() - at)), '\0');
  if (!data.read(at, bytes.data(), bytes.size())) return {};
  return std::string(store::GetText(bytes.data(), bytes.size()));
}

}  // namespace

void CheckLineArticles(IndexImage& orders, FileWindow& orderData, FileWindow& articleData,
                       std::vector<std::string>& problems) {
  constexpr std::size_t kRef = offsetof(store::OrderLine, articleRef);
  constexpr std::size_t kLineNumber = offsetof(store::OrderLine, articleNumber);
  constexpr std::size_t kArticleNumber = offsetof(store::ArticleRecord, number);
  constexpr std::size_t kWidth = sizeof(store::OrderLine::articleNumber);
  for (std::int32_t i = 0; i < orders.count; ++i) {
    const std::int32_t number = store::Load<std::int32_t>(orders.entry(i) + 4);
    int position = 0;
    ForEachLine(orderData, orders.recordOffset(i), kCurrentOrders,
                [&](std::uint64_t at, std::uint16_t length) {
                  ++position;
                  std::int32_t ref = -1;
                  if (length < kRef + 4 || !orderData.read(at + kRef, &ref, 4) || ref < 0) return;
                  const std::string named = TextAt(orderData, at + kLineNumber, kWidth);
                  const std::string found =
                      TextAt(articleData, std::uint64_t(ref) + kArticleNumber, kWidth);
                  if (named == found && !found.empty()) return;
                  // The numbers are Windows-1252 in the files, the report is UTF-8.
                  problems.push_back(frame::Format(
                      "Rechnung Nr: %8ld, Position %d: Artikel-Nr. \"%s\" gehört nicht "
                      "zum Artikel \"%s\", auf den die Position verweist.",
                      static_cast<long>(number), position, platform::Cp1252ToUtf8(named).c_str(),
                      platform::Cp1252ToUtf8(found).c_str()));
                });
  }
}

}  // namespace maintenance
