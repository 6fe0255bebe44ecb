// The article word search: which articles a text finds, where the 500 stop
// lies, the progress box, and that reading the file in large blocks finds
// exactly what one read per record finds.
#include "masterdata/article_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/article_file.h"
#include "store/article_text.h"
#include "store/records_test_support.h"

namespace masterdata {
namespace {

using testsupport::MakeArticle;

class ArticleSearchTest : public testsupport::StoreTest {
 protected:
  static store::ArticleRecord Article(const std::string& number, const std::string& designation,
                                      const std::string& group = "", const std::string& remark1 = "",
                                      const std::string& remark2 = "",
                                      const std::string& supplier = "") {
    store::ArticleRecord article = MakeArticle(number, designation, supplier);
    store::SetText(article.productGroup, group);
    store::SetText(article.remark1, remark1);
    store::SetText(article.remark2, remark2);
    return article;
  }
  static std::vector<std::string> Numbers(const ArticleSearchResult& result) {
    std::vector<std::string> numbers;
    for (const ArticleHit& hit : result.hits) numbers.push_back(hit.number);
    return numbers;
  }
};

TEST_F(ArticleSearchTest, EveryWordMustOccurSomewhereInTheSixFields) {
  Add(Article("10-A", "Lack rot"));                         // number and designation
  Add(Article("20", "Rotbuche", "", "Brett 10 mm"));         // designation and remark 1
  Add(Article("30", "Farbe", "10er Pack", "", "", "ROTH"));  // group and supplier
  Add(Article("40", "Lack", "", "", "rot\r\n10 Liter"));     // both in remark 2
  Add(Article("10", "Lack blau"));                           // 10 only
  Add(Article("50", "rot"));                                 // ROT only
  Add(Article("60", "R\xd6T 10"));                           // an umlaut is no O

  ArticleSearchResult all = SearchArticles(app, "10 ROT", true);
  EXPECT_EQ(Numbers(all), (std::vector<std::string>{"10-A", "20", "30", "40"}));
  // Commas separate words as blanks do, and repeated separators are one.
  EXPECT_EQ(Numbers(SearchArticles(app, " 10,,rot ", true)), Numbers(all));

  // Without all fields every word has to be in the number.
  ArticleSearchResult numbers = SearchArticles(app, "10", false);
  EXPECT_EQ(Numbers(numbers), (std::vector<std::string>{"10", "10-A"}));
  EXPECT_EQ(numbers.hits[1].designation, "Lack rot");  // read from the record
  EXPECT_EQ(numbers.hits[1].position, 1);  // its place in the index
  EXPECT_TRUE(SearchArticles(app, "10 ROT", false).hits.empty());
  EXPECT_EQ(Numbers(SearchArticles(app, "10-a", false)), (std::vector<std::string>{"10-A"}));

  // No words, or words only after the first 20 characters: nothing searched.
  ui.progressValues.clear();
  for (const char* text : {"", "  ", ", ,", "                    10"})
    EXPECT_TRUE(SearchArticles(app, text, true).hits.empty()) << '"' << text << '"';
  EXPECT_TRUE(ui.progressValues.empty());
}

TEST_F(ArticleSearchTest, KeepsFiveHundredAndSaysMoreOnlyWhenThereAreMore) {
  char number[22];
  for (int i = 0; i < 500; ++i) {
    std::snprintf(number, sizeof number, "T%04d", i);
    Add(Article(number, "Teil"));
  }
  for (bool allFields : {false, true}) {
    ArticleSearchResult exactly = SearchArticles(app, "T", allFields);
    EXPECT_EQ(exactly.hits.size(), 500u);
    EXPECT_FALSE(exactly.moreThanLimit) << "500 hits are not more than 500";
  }
  Add(Article("T0000A", "Teil"));  // sorts second
  for (bool allFields : {false, true}) {
    ArticleSearchResult more = SearchArticles(app, "t", allFields);
    ASSERT_EQ(more.hits.size(), 500u);
    EXPECT_TRUE(more.moreThanLimit);
    // The first 500 in index order; the last article is the one left out.
    EXPECT_EQ(more.hits[1].number, "T0000A");
    EXPECT_EQ(more.hits.back().number, "T0498");
  }
}

TEST_F(ArticleSearchTest, TheFieldsAreReadWithProgressOnlyWhenTheFilesChanged) {
  char number[22];
  for (int i = 0; i < 250; ++i) {
    std::snprintf(number, sizeof number, "P%03d", i);
    Add(Article(number, "x"));
  }
  store::ArticleText& kept = store::KeptArticleText(app);
  kept.tuning.settleTime = {};  // files count as settled at once
  ui.progressValues.clear();
  EXPECT_EQ(SearchArticles(app, "P", false).hits.size(), 250u);
  EXPECT_TRUE(ui.progressValues.empty()) << "the numbers come from the index alone";
  EXPECT_EQ(SearchArticles(app, "P", true).hits.size(), 250u);
  ASSERT_EQ(ui.progressValues.size(), 101u);  // 250 records, each percent 0..100 once
  ui.progressValues.clear();
  EXPECT_EQ(SearchArticles(app, "P", true).hits.size(), 250u);
  EXPECT_TRUE(ui.progressValues.empty()) << "unchanged files are not read again";

  // Esc while the changed file is read: the hits among the records read
  // until then, as the plain scan gives them; the next search reads anew.
  Add(Article("P250", "x"));
  ui.escapeAtProgress(11);
  ui.progressValues.clear();
  const ArticleSearchResult stopped = SearchArticles(app, "P", true);
  ui.progressValues.clear();
  const ArticleSearchResult plain = SearchArticlesPlain(app, "P", true);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_TRUE(plain.cancelled);
  EXPECT_EQ(Numbers(stopped), Numbers(plain));
  EXPECT_EQ(stopped.hits.size(), 25u);  // update 11 (10 %) comes before record 25
  ui.escapeAtProgress(0);
  ui.progressValues.clear();
  EXPECT_EQ(SearchArticles(app, "P", true).hits.size(), 251u);
  EXPECT_EQ(ui.progressValues.size(), 101u);
}

TEST_F(ArticleSearchTest, FieldsReadSoonAfterAChangeServeOnlyTheirOwnSearch) {
  // A second write within the file system's clock tick would leave the file
  // looking as it was when it was read.
  Add(Article("A1", "x"));
  store::ArticleText& kept = store::KeptArticleText(app);
  for (int search = 0; search < 2; ++search) {
    ui.progressValues.clear();
    SearchArticles(app, "A", true);
    EXPECT_FALSE(ui.progressValues.empty()) << "search " << search << " reads the file again";
  }
  kept.tuning.settleTime = {};
  SearchArticles(app, "A", true);  // still read under the longer time
  ui.progressValues.clear();
  SearchArticles(app, "A", true);
  EXPECT_TRUE(ui.progressValues.empty());
}

TEST_F(ArticleSearchTest, EveryBlockSizeFindsTheSameAsOneRecordPerRead) {
  // Numbers inserted out of order, one renumbered (its record moves to the
  // end of the file), one deleted, one shortened by an older record length,
  // and the last record in the file cut short by the end of the file.
  const char* numbers[] = {"K7", "B2", "Z9", "A1", "M5", "C3", "Y8", "D4"};
  for (const char* n : numbers)
    Add(Article(n, std::string("Ware ") + n, "Gruppe", "rot", "lang rot blau", "Lief"));
  std::int32_t position = -1;
  ASSERT_EQ(store::FindArticleByNumber(app, MakeArticle("M5"), position), 1);
  store::ArticleRecord moved{};
  ASSERT_EQ(store::ReadArticle(app, moved, position), 1);
  store::SetText(moved.number, "E5");
  ASSERT_EQ(store::WriteArticle(app, moved, position, false), 1);
  ASSERT_EQ(store::FindArticleByNumber(app, MakeArticle("Y8"), position), 1);
  ASSERT_EQ(store::DeleteArticle(app, position), 1);

  std::vector<std::uint8_t> data = testsupport::ReadBytes(dir.file("ARTIKEL.DAT"));
  // B2 is the second record: an older length that ends before remark 2.
  data[520] = 140;
  data[521] = 0;
  // The moved E5 is last: cut it five bytes into remark 2.
  data.resize(data.size() - 520 + 135);
  testsupport::WriteBytes(dir.file("ARTIKEL.DAT"), data);

  // In index order; the shortened and the cut record lost their remark 2
  // and their supplier.
  using Found = std::vector<std::string>;
  const std::pair<const char*, Found> expected[] = {
      {"BLAU", {"A1", "C3", "D4", "K7", "Z9"}},
      {"rot", {"A1", "B2", "C3", "D4", "E5", "K7", "Z9"}},
      {"E5", {"E5"}},
      {"gruppe lief ware", {"A1", "C3", "D4", "K7", "Z9"}}};
  for (const auto& [text, found] : expected)
    for (std::size_t block : {std::size_t{1} << 20, std::size_t{600}, std::size_t{1}})
      EXPECT_EQ(Numbers(SearchArticlesPlain(app, text, true, {block})), found) << text << ", block " << block;
  for (const auto& [text, found] : expected)
    EXPECT_EQ(Numbers(SearchArticles(app, text, true)), found) << text;
}

}  // namespace
}  // namespace masterdata
