// The article file: number changes and the references that follow them,
// selection criteria, case-distinct numbers and the product-group table.
#include "store/article_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "store/address_file.h"
#include "store/collation.h"
#include "store/data_file.h"
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
  std::int32_t Add(const ArticleRecord& article) {
    std::int32_t position = -1;
    EXPECT_EQ(WriteArticle(app, article, position, true), 1);
    return position;
  }
  std::string NumberAt(std::int32_t position) {
    ArticleRecord article{};
    EXPECT_EQ(ReadArticle(app, article, position), 1);
    return std::string(GetText(article.number));
  }
};

TEST_F(ArticleFileTest, NumberChangeMovesRecordAndEveryReferenceFollows) {
  Add(MakeArticle("A-100", "Leim"));   // offset 0
  Add(MakeArticle("B-200", "Nagel"));  // offset 520
  std::int32_t customer = -1;
  ASSERT_EQ(WriteAddress(app, MakeAddress("Meier"), customer, true), 1);  // offset 0

  // Order 1 at 0 (lines at 80 and 482), order 2 at 884 (line at 964).
  AddOrder(app, 0, {{"eins", 0, "A-100", 50}, {"zwei", 520, "B-200", 30}});
  for (int i = 1; i <= 2; ++i) AppendDiscount(app, app.orderLines[i]);
  AddOrder(app, 0, {{"drei", 0, "A-100"}});
  const std::vector<std::uint8_t> articlesBefore = ReadBytes(dir.file("ARTIKEL.DAT"));
  const std::vector<std::uint8_t> ordersBefore = ReadBytes(dir.file("RECHNUNG.DAT"));
  ASSERT_EQ(ordersBefore.size(), 2u * 80 + 3u * 402);

  std::int32_t position = -1;
  ASSERT_EQ(FindArticleByNumber(app, MakeArticle("A-100"), position), 1);
  ArticleRecord article{};
  ASSERT_EQ(ReadArticle(app, article, position), 1);
  SetText(article.number, "Z-100");
  ASSERT_EQ(WriteArticle(app, article, position, false), 1);

  // Appended at the end under its new number; the old bytes stay behind.
  std::vector<std::uint8_t> articles = ReadBytes(dir.file("ARTIKEL.DAT"));
  ASSERT_EQ(articles.size(), 3u * 520);
  EXPECT_TRUE(std::equal(articlesBefore.begin(), articlesBefore.end(), articles.begin()));
  EXPECT_EQ(position, 1);
  EXPECT_EQ(app.articles.position, 1);
  EXPECT_EQ(app.articles.entry.offset, 1040u);
  EXPECT_EQ(NumberAt(1), "Z-100");
  EXPECT_EQ(NumberAt(0), "B-200");

  EXPECT_EQ(LookupDiscount(app, 0, 1040), 50);
  EXPECT_EQ(LookupDiscount(app, 0, 0), 0);
  EXPECT_EQ(LookupDiscount(app, 0, 520), 30);

  // The two lines of article A take the new reference and the 22 key bytes;
  // everything else, the heads included, is byte for byte as before.
  std::vector<std::uint8_t> expected = ordersBefore;
  char key[22] = "Z-100";
  for (std::size_t line : {80u, 964u}) {
    std::memcpy(expected.data() + line + 10, key, sizeof key);
    testsupport::WriteAt<std::int32_t>(expected, line + 392, 1040);
  }
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), expected);
}

TEST_F(ArticleFileTest, NumberChangeHeldUpByTheOrderFileIsTakenBack) {
  Add(MakeArticle("A-100", "Leim"));  // offset 0
  std::int32_t customer = -1;
  ASSERT_EQ(WriteAddress(app, MakeAddress("Meier"), customer, true), 1);
  AddOrder(app, 0, {{"eins", 0, "A-100", 50}});
  ASSERT_EQ(AppendDiscount(app, app.orderLines[1]), 1);
  const std::vector<std::string> files = {"ARTIKEL.IDX", "RABATT.DAT", "RECHNUNG.IDX", "RECHNUNG.DAT"};
  std::vector<std::vector<std::uint8_t>> before;
  for (const std::string& file : files) before.push_back(ReadBytes(dir.file(file)));
  ArticleRecord article{};
  ASSERT_EQ(ReadArticle(app, article, 0), 1);
  SetText(article.number, "Z-100");
  app.retry = {std::chrono::milliseconds(1), std::chrono::milliseconds(20), std::chrono::milliseconds(1)};
  {
    // Another copy holds the order index; the user gives up waiting. The
    // discount already followed the article and goes back with it.
    platform::File held = platform::SystemFileSystem().open(
        dir.file("RECHNUNG.IDX"), platform::Access::Read, platform::Share::Exclusive);
    ASSERT_TRUE(held);
    std::int32_t position = 0;
    EXPECT_EQ(WriteArticle(app, article, position, false), 0);
    EXPECT_EQ(position, 0);
  }
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadBytes(dir.file(files[i])), before[i]) << files[i];
  ASSERT_FALSE(ui.texts().empty());
  EXPECT_EQ(ui.texts().back(),
            "Die Änderung der Artikelnummer von \"A-100\" in \"Z-100\" wurde nicht gespeichert, "
            "weil die Auftragspositionen (RECHNUNG.IDX, RECHNUNG.DAT) nicht angepasst werden "
            "konnten.\nEs bleibt alles wie vorher; bitte später noch einmal versuchen.");

  // Once the file is free, the same change goes through, references and all.
  std::int32_t position = 0;
  ASSERT_EQ(WriteArticle(app, article, position, false), 1);
  EXPECT_EQ(LookupDiscount(app, 0, 1040), 50);
  OrderHead head{};
  ASSERT_EQ(ReadOrder(app, head, 0), 1);
  EXPECT_EQ(app.orderLines[1].articleRef, 1040);
  EXPECT_EQ(GetText(app.orderLines[1].articleNumber), "Z-100");
}

TEST_F(ArticleFileTest, EveryTextCriterionIsTestedAndHashNegates) {
  ArticleRecord article = MakeArticle("LX-9", "Holzleim weiss", "Zarvento GmbH");
  SetText(article.productGroup, "Kleber");
  SetText(article.remark1, "Eimer");
  SetText(article.remark2, "leim.bmp, 5 kg");
  struct Field {
    std::size_t offset, width;
    const char* present;
  };
  const Field fields[] = {{offsetof(ArticleRecord, designation), 42, "LEIM"},
                          {offsetof(ArticleRecord, productGroup), 22, "kleb"},
                          {offsetof(ArticleRecord, remark1), 42, "eim"},
                          {offsetof(ArticleRecord, remark2), 256, "5 KG"},
                          {offsetof(ArticleRecord, supplier), 12, "zarv"},
                          {offsetof(ArticleRecord, number), 22, "x-9"}};
  for (const Field& field : fields) {
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

  // Through the scan: the next article whose supplier lacks the name in any case.
  Add(MakeArticle("A1", "", "ZARVENTO"));
  Add(MakeArticle("A2", "", "zarVento AG"));
  Add(MakeArticle("A3", "", "Holz Kunz"));
  Add(MakeArticle("A4", "", "Zarvento"));
  ArticleRecord criteria{};
  SetText(criteria.supplier, "#Zarvento");
  std::int32_t position = -1;
  ASSERT_EQ(ScanArticles(app, criteria, position, true), 1);
  EXPECT_EQ(NumberAt(position), "A3");
  EXPECT_EQ(ScanArticles(app, criteria, position, true), 0);
  EXPECT_EQ(position, 2);
}

TEST_F(ArticleFileTest, NegatedNumberCriterionSkipsEveryLetterCase) {
  Add(MakeArticle("A-ZARVENTO"));
  Add(MakeArticle("B-zarvento"));
  Add(MakeArticle("C-ZarVento-7"));
  Add(MakeArticle("D-frei"));
  Add(MakeArticle("E-zarVENTO"));
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

TEST_F(ArticleFileTest, NumbersDifferingOnlyInCaseCoexist) {
  Add(MakeArticle("ab-1"));
  EXPECT_EQ(ArticleNumberExists(app, MakeArticle("AB-1"), true), 0);
  EXPECT_EQ(ArticleNumberExists(app, MakeArticle("ab-1"), true), 1);
  Add(MakeArticle("AB-1"));
  Add(MakeArticle("ab-0"));
  EXPECT_EQ(app.articles.lastIndex, 2);

  std::int32_t position = -1;
  ASSERT_EQ(FindArticleByNumber(app, MakeArticle("Ab-1"), position), 1);
  EXPECT_EQ(CompareKeys(NumberAt(position), "AB-1"), 0);
  EXPECT_EQ(FindArticleByNumber(app, MakeArticle("ab-2"), position), 0);
}

class ProductGroupTest : public testsupport::StoreTest {
 protected:
  void WriteGroups(const std::vector<std::string>& names) {
    std::vector<std::uint8_t> bytes(names.size() * kProductGroupNameSize, 0);
    for (std::size_t i = 0; i < names.size(); ++i)
      std::memcpy(bytes.data() + i * kProductGroupNameSize, names[i].data(), names[i].size());
    testsupport::WriteBytes(dir.file("WARENGR.DAT"), bytes);
  }
};

TEST_F(ProductGroupTest, OffersEveryNameButTheFirst) {
  WriteGroups({"", "Farben", "Holz"});
  LoadProductGroups(app);
  EXPECT_EQ(app.productGroups.lastIndex, 2);
  EXPECT_EQ(app.productGroups.offered(), (std::vector<std::string_view>{"Farben", "Holz"}));
}

TEST_F(ProductGroupTest, TableNeverPointsPastWhatWasLoaded) {
  std::vector<std::string> names;
  for (int i = 0; i < 3005; ++i) names.push_back("G" + std::to_string(10000 + i));
  WriteGroups(names);
  LoadProductGroups(app);
  EXPECT_EQ(app.productGroups.lastIndex, 2999);
  EXPECT_EQ(app.productGroups.name(2999), "G12999");
  EXPECT_EQ(app.productGroups.offered().size(), 2999u);

  // The empty file of a first start offers nothing, and so does a missing one.
  WriteGroups({});
  LoadProductGroups(app);
  EXPECT_TRUE(app.productGroups.offered().empty());
  std::remove(dir.file("WARENGR.DAT").c_str());
  LoadProductGroups(app);
  EXPECT_EQ(app.productGroups.lastIndex, 0);
  EXPECT_TRUE(app.productGroups.offered().empty());
  EXPECT_EQ(app.productGroups.name(0), "");
}

}  // namespace
}  // namespace store
