// The article file: ARTIKEL.IDX / ARTIKEL.DAT, keyed by article number.
#ifndef BELVON_STORE_ARTICLE_FILE_H
#define BELVON_STORE_ARTICLE_FILE_H

#include <cstdint>

#include "store/app_state.h"
#include "store/article_record.h"

namespace store {

// Run at start: finishes a change of an article number that was cut short
// (IndexedFile::FinishInterruptedMove).
int FinishInterruptedArticleMove(frame::AppState& app);
int DeleteArticle(frame::AppState& app, std::int32_t& position);
// Inserts (isNew) or rewrites the article at `position`. A changed number
// moves the record to the end of ARTIKEL.DAT and rewrites every reference to
// its old offset: the discount file and each order line (with its copy of
// the article number). When that cannot be finished the number change is
// taken back and the user told which file held it up (result 0).
int WriteArticle(frame::AppState& app, ArticleRecord article, std::int32_t& position, bool isNew);
int ReadArticle(frame::AppState& app, ArticleRecord& article, std::int32_t position);
int ScanArticles(frame::AppState& app, const ArticleRecord& criteria, std::int32_t& position,
                 bool forward);
// Designation, product group, remark 1, remark 2, supplier, article number.
bool MatchArticle(const ArticleRecord& criteria, const ArticleRecord& article);
// 1 when another article holds the number, -1 when the index could not be read.
int ArticleNumberExists(frame::AppState& app, const ArticleRecord& article, bool isNew);
int FindArticleByNumber(frame::AppState& app, const ArticleRecord& article,
                        std::int32_t& position);

// Every order line that refers to the article at `oldOffset` is pointed at
// `newOffset` and takes the article number of `newKey` (22 bytes); `changed`,
// when given, is set once a line was written. 0 when a file could not be
// opened, read or written.
int RewriteOrderLineArticles(frame::AppState& app, std::uint32_t oldOffset,
                             std::uint32_t newOffset, const char* newKey,
                             bool* changed = nullptr);

}  // namespace store

#endif  // BELVON_STORE_ARTICLE_FILE_H
