#include "store/article_file.h"

#include <cstring>

#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/discount_file.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/text_field.h"

namespace store {

namespace {

using platform::Access;
using platform::Share;

IndexedFile ArticleFileWithReferences(frame::AppState& app) {
  IndexedFile file = ArticleFile(app);
  file.referencePasses = {
      {"die Rabatte (RABATT.DAT)",
       [&app](std::uint32_t from, std::uint32_t to, const std::uint8_t*, bool& changed) {
         return RewriteArticleReference(app, static_cast<std::int32_t>(from),
                                        static_cast<std::int32_t>(to), &changed);
       }},
      {"die Auftragspositionen (RECHNUNG.IDX, RECHNUNG.DAT)",
       [&app](std::uint32_t from, std::uint32_t to, const std::uint8_t* toEntry, bool& changed) {
         return RewriteOrderLineArticles(app, from, to, reinterpret_cast<const char*>(toEntry),
                                         &changed);
       }},
  };
  return file;
}

}  // namespace

int FinishInterruptedArticleMove(frame::AppState& app) {
  return ArticleFileWithReferences(app).FinishInterruptedMove();
}

int DeleteArticle(frame::AppState& app, std::int32_t& position) {
  return ArticleFile(app).DeleteIndexEntry(position);
}

int WriteArticle(frame::AppState& app, ArticleRecord article, std::int32_t& position,
                 bool isNew) {
  return ArticleFileWithReferences(app).WriteRecord(AsBytes(article), position, isNew);
}

int ReadArticle(frame::AppState& app, ArticleRecord& article, std::int32_t position) {
  return ArticleFile(app).ReadRecordAt(AsBytes(article), position);
}

bool MatchArticle(const ArticleRecord& criteria, const ArticleRecord& article) {
  return MatchCriterion(GetText(criteria.designation), GetText(article.designation)) &&
         MatchCriterion(GetText(criteria.productGroup), GetText(article.productGroup)) &&
         MatchCriterion(GetText(criteria.remark1), GetText(article.remark1)) &&
         MatchCriterion(GetText(criteria.remark2), GetText(article.remark2)) &&
         MatchCriterion(GetText(criteria.supplier), GetText(article.supplier)) &&
         MatchCriterion(GetText(criteria.number), GetText(article.number));
}

int ScanArticles(frame::AppState& app, const ArticleRecord& criteria, std::int32_t& position,
                 bool forward) {
  return ArticleFile(app).ScanRecords(
      AsBytes(criteria),
      [&criteria](std::span<const std::uint8_t> record) {
        ArticleRecord article;
        std::memcpy(&article, record.data(), sizeof article);
        return MatchArticle(criteria, article);
      },
      position, forward);
}

int ArticleNumberExists(frame::AppState& app, const ArticleRecord& article, bool isNew) {
  return ArticleFile(app).KeyInUse(AsBytes(article), isNew);
}

int FindArticleByNumber(frame::AppState& app, const ArticleRecord& article,
                        std::int32_t& position) {
  return ArticleFile(app).LookupKey(AsBytes(article), position);
}

int RewriteOrderLineArticles(frame::AppState& app, std::uint32_t oldOffset,
                             std::uint32_t newOffset, const char* newKey, bool* changed) {
  if (!DataFileExists(app, kOrderIndexName)) return 1;
  platform::File index = OpenData(app, kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  platform::File data = OpenData(app, kOrderDataName, Access::ReadWrite, Share::Exclusive);
  if (!data) return 0;
  std::int32_t last = -1;
  if (!ReadLastIndex(kOrderLayout, index, last)) return 0;
  const auto oldRef = static_cast<std::int32_t>(oldOffset);
  const auto newRef = static_cast<std::int32_t>(newOffset);
  OrderIndexEntry entry;
  for (std::int32_t i = 0; i <= last; ++i) {
    if (!index.seek(kOrderLayout.headerSize + static_cast<std::uint64_t>(i) * sizeof entry) ||
        !index.readExact(&entry, sizeof entry))
      return 0;
    OrderHead head{};
    bool failed = false;
    if (!ReadOrderHead(data, entry.offset, head, &failed)) {
      if (failed) return 0;
      continue;
    }
    bool written = RewriteOrderLines(data, entry.offset, head, [&](OrderLine& line) {
      if (line.articleRef != oldRef) return false;
      line.articleRef = newRef;
      std::memcpy(line.articleNumber, newKey, sizeof line.articleNumber);
      if (changed) *changed = true;
      return true;
    });
    if (!written) return 0;
  }
  return 1;
}

}  // namespace store
