#include "masterdata/active_search.h"

#include <algorithm>

#include "masterdata/address_rules.h"
#include "masterdata/article_search.h"
#include "platform/cp1252.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

// Only the number criterion holds text: what the word search leaves.
bool OnlyNumberCriterion(const store::ArticleRecord& c) {
  return store::GetText(c.designation).empty() && store::GetText(c.productGroup).empty() &&
         store::GetText(c.remark1).empty() && store::GetText(c.remark2).empty() &&
         store::GetText(c.supplier).empty();
}

ArticleSearchResult WordSearchHits(frame::AppState& app) {
  const store::ArticleRecord& c = app.articleCriteria;
  return SearchArticles(app, store::GetText(c.number), (c.flags & kAllFieldsCriterion) != 0);
}

}  // namespace

bool BrowsingFollowsWordSearch(const frame::AppState& app) {
  return ArticleBrowsingFiltered(app) && OnlyNumberCriterion(app.articleCriteria);
}

bool StepThroughWordSearch(frame::AppState& app, bool forward, std::int32_t& position) {
  const ArticleSearchResult found = WordSearchHits(app);
  const std::int32_t from = app.articles.position;
  if (forward) {
    for (const ArticleHit& hit : found.hits)
      if (hit.position > from) {
        position = hit.position;
        return true;
      }
    return false;
  }
  for (auto hit = found.hits.rbegin(); hit != found.hits.rend(); ++hit)
    if (hit->position < from) {
      position = hit->position;
      return true;
    }
  return false;
}

bool ArticleBrowsingFiltered(const frame::AppState& app) {
  const store::ArticleRecord& c = app.articleCriteria;
  const std::string_view number = store::GetText(c.number);
  return !(OnlyNumberCriterion(c) && (number.empty() || number == kNoNumberCriterion));
}

std::string ActiveArticleSearchLine(frame::AppState& app) {
  if (!ArticleBrowsingFiltered(app)) return {};
  const store::ArticleRecord& c = app.articleCriteria;
  if (!OnlyNumberCriterion(c)) return "Auswahl aktiv";
  const std::string text(store::GetText(c.number));
  const ArticleSearchResult found = WordSearchHits(app);
  const std::string head = "Suche: " + platform::Cp1252ToUtf8(text) + " \u2014 ";
  const std::string count =
      found.moreThanLimit ? "über " + std::to_string(kArticleSearchLimit)
                          : std::to_string(found.hits.size());
  const auto current =
      std::find_if(found.hits.begin(), found.hits.end(),
                   [&](const ArticleHit& hit) { return hit.position == app.articles.position; });
  if (current == found.hits.end()) return head + count + " Treffer";
  return head + std::to_string(current - found.hits.begin() + 1) + " von " + count;
}

void EndArticleSearch(frame::AppState& app) {
  app.articleCriteria = store::ArticleRecord{};
  store::SetText(app.articleCriteria.number, kNoNumberCriterion);
}

}  // namespace masterdata
