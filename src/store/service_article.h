// An article that is a service ("Dienstleistung": the hourly rate, a travel
// flat rate) has no stock: booking leaves its stock alone and the order
// proposals leave it out. The mark is the two letters "DL" in the first two
// of the reserved bytes at offset 502, which every older file holds as
// zero, so an article of an older file reads as goods, as it always did.
//
// Layout: doc/formats/article-file.md
#ifndef BELVON_STORE_SERVICE_ARTICLE_H
#define BELVON_STORE_SERVICE_ARTICLE_H

#include "store/article_record.h"

namespace store {

inline bool IsServiceArticle(const ArticleRecord& article) {
  return article.reserved[0] == 'D' && article.reserved[1] == 'L';
}

// Sets or clears the mark; the other reserved bytes stay as they are.
inline void MarkServiceArticle(ArticleRecord& article, bool service) {
  article.reserved[0] = service ? 'D' : 0;
  article.reserved[1] = service ? 'L' : 0;
}

}  // namespace store

#endif  // BELVON_STORE_SERVICE_ARTICLE_H
