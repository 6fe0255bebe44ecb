// The article file: number changes and the references that follow them,
// selection criteria, case-distinct numbers and the product-group table.
#include "store/article_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "store/discount_file.h"
#include "store/product_group_table.h"
#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::AddOrder;
using testsupport::MakeAddress;
using testsupport::MakeArticle;
using testsupport::ReadBytes;

class ArticleFileTest : public testsupport::StoreTest {
 protected:
  std::string NumberAt(std::int32_t position) {
    ArticleRecord article{};
    EXPECT_EQ(ReadArticle(app, article, position), 1);
    return std::string(GetText(article.number));
  }
};

TEST_F(ArticleFileTest, NumberChangeMovesRecordAndEveryReferenceFollowsByteForByte) {
  Add(MakeArticle("A-100", "Leim"));   // offset 0
  Add(MakeArticle("B-200", "Nagel"));  // offset 520
  Add(MakeAddress("Meier"));           // offset 0
  // Order 1 at 0 (lines at 80 and 482), order 2 at 884 (line at 964).
  AddOrder(app, 0, {{"eins", 0, "A-100", 50}, {"zwei", 520, "B-200", 30}});
  for (int i = 1; i <= 2; ++i) AppendDiscount(app, app.orderLines[i]);
  AddOrder(app, 0, {{"drei", 0, "A-100"}});
  const std::vector<std::uint8_t> articlesBefore = ReadBytes(dir.file("ARTIKEL.DAT"));
  std::vector<std::uint8_t> expected = ReadBytes(dir.file("RECHNUNG.DAT"));
  ASSERT_EQ(expected.size(), 2u * 80 + 3u * 402);

  ArticleRecord article{};
  ASSERT_EQ(ReadArticle(app, article, 0), 1);
  SetText(article.number, "Z-100");
  std::int32_t position = 0;
  ASSERT_EQ(WriteArticle(app, article, position, false), 1);

  // Appended at the end under its new number; the old bytes stay behind.
  std::vector<std::uint8_t> articles = ReadBytes(dir.file("ARTIKEL.DAT"));
  ASSERT_EQ(articles.size(), 3u * 520);
  EXPECT_TRUE(std::equal(articlesBefore.begin(), articlesBefore.end(), articles.begin()));
  EXPECT_EQ(position, 1);
  EXPECT_EQ(+app.articles.entry.offset, 1040u);
  EXPECT_EQ(NumberAt(1), "Z-100");
  EXPECT_EQ(LookupDiscount(app, 0, 1040), 50);
  EXPECT_EQ(LookupDiscount(app, 0, 520), 30);
  // The two lines of article A take the new reference and the 22 key bytes;
  // everything else, the heads included, is byte for byte as before.
  char key[22] = "Z-100";
  for (std::size_t line : {80u, 964u}) {
    std::memcpy(expected.data() + line + 10, key, sizeof key);
    testsupport::WriteAt<std::int32_t>(expected, line + 392, 1040);
  }
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), expected);
}

TEST_F(ArticleFileTest, NumberChangeHeldUpByTheOrderFileIsTakenBack) {
  Add(MakeArticle("A-100", "Leim"));  // offset 0
  Add(MakeAddress("Meier"));
  AddOrder(app, 0, {{"eins", 0, "A-100", 50}});
  ASSERT_EQ(AppendDiscount(app, app.orderLines[1]), 1);
  const std::vector<std::string> files = {"ARTIKEL.IDX", "RABATT.DAT", "RECHNUNG.IDX", "RECHNUNG.DAT"};
  std::vector<std::vector<std::uint8_t>> before;
  for (const std::string& file : files) before.push_back(ReadBytes(dir.file(file)));
  ArticleRecord article{};
  ASSERT_EQ(ReadArticle(app, article, 0), 1);
  SetText(article.number, "Z-100");
  app.retry = {std::chrono::milliseconds(1), std::chrono::milliseconds(20), std::chrono::milliseconds(1)};
  std::int32_t position = 0;
  {
    // Another copy holds the order index; the user gives up waiting. The
    // discount already followed the article and goes back with it.
    platform::File held = platform::SystemFileSystem().open(
        dir.file("RECHNUNG.IDX"), platform::Access::Read, platform::Share::Exclusive);
    ASSERT_TRUE(held);
    EXPECT_EQ(WriteArticle(app, article, position, false), 0);
    EXPECT_EQ(position, 0);
  }
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadBytes(dir.file(files[i])), before[i]) << files[i];
  ASSERT_FALSE(ui.texts().empty());
  EXPECT_NE(ui.texts().back().find("(RECHNUNG.IDX, RECHNUNG.DAT)"), std::string::npos);
  // Once the file is free, the same change goes through.
  ASSERT_EQ(WriteArticle(app, article, position, false), 1);
  EXPECT_EQ(LookupDiscount(app, 0, 1040), 50);
}

TEST_F(ArticleFileTest, EveryTextCriterionIsTestedAndHashNegatesInEveryCase) {
  ArticleRecord article = MakeArticle("LX-9", "Holzleim weiss", "Zarvento GmbH");
  SetText(article.productGroup, "Kleber");
  SetText(article.remark1, "Eimer");
  SetText(article.remark2, "leim.bmp, 5 kg");
  const struct {
    std::size_t offset, width;
    const char* present;
  } fields[] = {{offsetof(ArticleRecord, designation), 42, "LEIM"}, {offsetof(ArticleRecord, productGroup), 22, "kleb"},
                {offsetof(ArticleRecord, remark1), 42, "eim"},      {offsetof(ArticleRecord, remark2), 256, "5 KG"},
                {offsetof(ArticleRecord, supplier), 12, "zarv"},    {offsetof(ArticleRecord, number), 22, "x-9"}};
  for (const auto& field : fields) {
    SCOPED_TRACE(field.present);
    ArticleRecord criteria{};
    char* text = reinterpret_cast<char*>(&criteria) + field.offset;
    SetText(text, field.width, field.present);
    EXPECT_TRUE(MatchArticle(criteria, article));
    SetText(text, field.width, "fehlt");
    EXPECT_FALSE(MatchArticle(criteria, article));
    SetText(text, field.width, std::string("#") + field.present);
    EXPECT_FALSE(MatchArticle(criteria, article));
  }

  // Through the scan, both ways: the next article whose number lacks the
  // word in any letter case.
  for (const char* number : {"A-ZARVENTO", "B-zarvento", "C-ZarVento-7", "D-frei", "E-zarVENTO"})
    Add(MakeArticle(number));
  ArticleRecord criteria{};
  SetText(criteria.number, "#ZARVENTO");
  std::int32_t position = -1;
  ASSERT_EQ(ScanArticles(app, criteria, position, true), 1);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(ScanArticles(app, criteria, position, true), 0);
  EXPECT_EQ(position, 3);
  position = 5;
  ASSERT_EQ(ScanArticles(app, criteria, position, false), 1);
  EXPECT_EQ(position, 3);
}

TEST_F(ArticleFileTest, NumbersDifferingOnlyInCaseCoexistAndACaseChangeStaysInPlace) {
  Add(MakeArticle("ab-1"));
  EXPECT_EQ(ArticleNumberExists(app, MakeArticle("AB-1"), true), 0);
  EXPECT_EQ(ArticleNumberExists(app, MakeArticle("ab-1"), true), 1);
  Add(MakeArticle("AB-1"));
  Add(MakeArticle("ab-0"));
  std::int32_t position = -1;
  ASSERT_EQ(FindArticleByNumber(app, MakeArticle("Ab-1"), position), 1);
  EXPECT_EQ(FindArticleByNumber(app, MakeArticle("ab-2"), position), 0);

  // "ab-0" becomes "AB-0": the same key under the collation, so record and
  // entry stay where they are, but the entry takes the new case and a second
  // "AB-0" is then a duplicate.
  const auto size = ReadBytes(dir.file("ARTIKEL.DAT")).size();
  ArticleRecord article{};
  ASSERT_EQ(ReadArticle(app, article, 0), 1);
  SetText(article.number, "AB-0");
  position = 0;
  ASSERT_EQ(WriteArticle(app, article, position, false), 1);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.DAT")).size(), size);
  EXPECT_EQ(ArticleNumberExists(app, MakeArticle("AB-0"), true), 1);
  EXPECT_EQ(NumberAt(0), "AB-0");
}

class ProductGroupTest : public testsupport::StoreTest {};

TEST_F(ProductGroupTest, OffersEveryNameButTheFirstAndNeverPointsPastWhatWasLoaded) {
  const struct {
    int count;  // names G10000, G10001, ...; -1: no file
    std::int32_t lastIndex;
    std::size_t offered;
  } cases[] = {{3, 2, 2}, {3005, 2999, 2999}, {0, -1, 0}, {-1, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    std::vector<std::uint8_t> bytes(std::max(c.count, 0) * kProductGroupNameSize, 0);
    for (int i = 0; i < c.count; ++i)
      std::snprintf(reinterpret_cast<char*>(bytes.data()) + i * kProductGroupNameSize, kProductGroupNameSize, "G%d", 10000 + i);
    testsupport::WriteBytes(dir.file("WARENGR.DAT"), bytes);
    if (c.count < 0) std::remove(dir.file("WARENGR.DAT").c_str());
    LoadProductGroups(app);
    EXPECT_EQ(app.productGroups.lastIndex, c.lastIndex);
    EXPECT_EQ(app.productGroups.offered().size(), c.offered);
    if (c.offered) {
      EXPECT_EQ(app.productGroups.offered().front(), "G10001");
      EXPECT_EQ(app.productGroups.name(c.lastIndex), "G" + std::to_string(10000 + c.lastIndex));
    }
  }
}

}  // namespace
}  // namespace store
