// The line the article pane shows while browsing follows a search: it names
// the search, and the place it gives the current article is the one the
// browse keys reach it at.
#include "masterdata/active_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "masterdata/address_rules.h"
#include "masterdata/article_search.h"
#include "store/article_file.h"
#include "store/records_test_support.h"

namespace masterdata {
namespace {

using testsupport::MakeArticle;

class ActiveSearchTest : public testsupport::StoreTest {
 protected:
  ActiveSearchTest() {
    for (auto [number, designation] :
         {std::pair{"K-1", "Kabel NYM 3x1,5"}, {"K-2", "Kabelbinder"}, {"L-1", "Lack"},
          {"S-1", "Stunde Elektriker"}, {"Z-9", "Kabeltrommel"}})
      Add(MakeArticle(number, designation));
    EndArticleSearch(app);
  }
  void Search(const std::string& text, bool allFields) {
    app.articleCriteria = store::ArticleRecord{};
    store::SetText(app.articleCriteria.number, text);
    if (allFields) app.articleCriteria.flags |= kAllFieldsCriterion;
  }
};

// The browse keys step through exactly the hits of the search ("allen
// Felder" too, not only numbers holding the text), each named with its
// place among them, forward with > [F8] and back with < [F7].
TEST_F(ActiveSearchTest, TheLineCountsTheHitsTheKeysStepThrough) {
  struct Case {
    const char* text;
    bool allFields;
    std::vector<std::string> lines;  // at each hit, from the first on
  };
  const Case cases[] = {
      {"kabel", true,
       {"Suche: kabel \u2014 1 von 3", "Suche: kabel \u2014 2 von 3", "Suche: kabel \u2014 3 von 3"}},
      {"K-", false, {"Suche: K- \u2014 1 von 2", "Suche: K- \u2014 2 von 2"}},
      {"Stunde", true, {"Suche: Stunde \u2014 1 von 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Search(c.text, c.allFields);
    EXPECT_TRUE(ArticleBrowsingFiltered(app));
    EXPECT_TRUE(BrowsingFollowsWordSearch(app));
    app.articles.position = -1;
    std::int32_t position = -1;
    std::vector<std::string> seen;
    while (StepThroughWordSearch(app, true, position) && seen.size() < 10) {
      app.articles.position = position;
      seen.push_back(ActiveArticleSearchLine(app));
    }
    EXPECT_EQ(seen, c.lines);
    std::vector<std::string> back;
    while (StepThroughWordSearch(app, false, position) && back.size() < 10) {
      app.articles.position = position;
      back.push_back(ActiveArticleSearchLine(app));
    }
    EXPECT_EQ(back, std::vector<std::string>(c.lines.rbegin() + 1, c.lines.rend()));
  }
}

// An article that is no hit (the one shown before the search) gets no
// place; a selection of the menu is only said to be on; the end of the
// search, and the plain run of all articles, show nothing.
TEST_F(ActiveSearchTest, NoPlaceForAnArticleOutsideTheSearchAndNothingOnceEnded) {
  Search("kabel", true);
  app.articles.position = 2;  // "L-1 Lack"
  EXPECT_EQ(ActiveArticleSearchLine(app), "Suche: kabel \u2014 3 Treffer");
  Search("nirgends", true);
  EXPECT_EQ(ActiveArticleSearchLine(app), "Suche: nirgends \u2014 0 Treffer");

  app.articleCriteria = store::ArticleRecord{};
  store::SetText(app.articleCriteria.number, kNoNumberCriterion);
  store::SetText(app.articleCriteria.supplier, "ROTH");
  EXPECT_EQ(ActiveArticleSearchLine(app), "Auswahl aktiv");

  EXPECT_FALSE(BrowsingFollowsWordSearch(app));
  EndArticleSearch(app);
  EXPECT_FALSE(ArticleBrowsingFiltered(app));
  EXPECT_EQ(ActiveArticleSearchLine(app), "");
  std::int32_t position = -1;
  int all = 0;
  while (store::ScanArticles(app, app.articleCriteria, position, true) == 1 && all < 10) ++all;
  EXPECT_EQ(all, 5);
}

}  // namespace
}  // namespace masterdata
