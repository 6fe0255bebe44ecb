// The word search of the article dialogs: every word of the search text must
// occur (a-z compared without case) in the article number, or with
// `allFields` each word in at least one of number, designation, remark 1,
// remark 2, supplier and product group.
//
// The hits come in index order. The search keeps the first 500 and only
// learns whether a 501st exists, so that "more than 500" is said exactly when
// it is true.
#ifndef BELVON_MASTERDATA_ARTICLE_SEARCH_H
#define BELVON_MASTERDATA_ARTICLE_SEARCH_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"

namespace masterdata {

inline constexpr int kArticleSearchLimit = 500;
// Characters of the search text that count.
inline constexpr int kSearchTextChars = 20;
// Bit of the criteria's flags byte while "allen Felder" is checked.
inline constexpr std::uint8_t kAllFieldsCriterion = 128;

// The words of a search text: split at commas and blanks, upper-cased (a-z).
std::vector<std::string> SearchWords(std::string_view text);

struct ArticleHit {
  std::int32_t position = -1;
  std::string number;       // Windows-1252, as stored
  std::string designation;  // Windows-1252, as stored
};

struct ArticleSearchResult {
  std::vector<ArticleHit> hits;  // index order, at most kArticleSearchLimit
  bool moreThanLimit = false;    // a further article matched as well
  bool cancelled = false;        // Esc in the progress box
  bool unreadable = false;       // the article files could not be opened
};

// Looks through the text kept between searches (store/article_text.h),
// checked against the files first. The first search, and the first after
// another copy changed the catalogue, reads ARTIKEL.DAT whole ("allen
// Felder") with the progress box of app.ui: Esc stops the reading, and the
// hits among the records read until then are given. A text without words
// searches nothing.
ArticleSearchResult SearchArticles(frame::AppState& app, std::string_view text, bool allFields);

struct ArticleSearchOptions {
  // Records are read in offset order through a window of this size instead
  // of one seek and read per record.
  std::size_t blockSize = std::size_t{1} << 20;
};

// The plain scan that SearchArticles is held to in the tests and the
// benchmark: it reads the index, and with `allFields` every record, at each
// search, with the progress box of app.ui (Esc stops it; the hits found until
// then are kept). Its results are the rule: SearchArticles gives exactly
// these, apart from Esc.
ArticleSearchResult SearchArticlesPlain(frame::AppState& app, std::string_view text, bool allFields,
                                        const ArticleSearchOptions& options = {});

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_ARTICLE_SEARCH_H
