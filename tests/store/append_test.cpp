// A record appended to a full disk leaves no half record behind: the file
// is cut back to the length it had, so that the next append and `check`
// find it as it was.
#include <functional>
#include <string>

#include "store/discount_file.h"
#include "store/records_test_support.h"
#include "support/file_size_limit.h"

namespace {

using testsupport::FileSize;
using testsupport::FileSizeLimit;
using testsupport::MakeAddress;
using testsupport::MakeArticle;

class AppendTest : public testsupport::StoreTest {};

TEST_F(AppendTest, AFailedAppendCutsTheFileBackToItsOldLength) {
  struct Case {
    std::string name;
    std::string file;
    std::function<int(AppendTest&)> append;
  };
  const Case cases[] = {
      {"a new article", "ARTIKEL.DAT",
       [](AppendTest& t) {
         std::int32_t position = -1;
         return store::WriteArticle(t.app, MakeArticle("C-3", "Dübel"), position, true);
       }},
      {"a new address", "KUNDEN.DAT",
       [](AppendTest& t) {
         std::int32_t position = -1;
         return store::WriteAddress(t.app, MakeAddress("Zimmer"), position, true);
       }},
      {"an article that moves under a new number", "ARTIKEL.DAT",
       [](AppendTest& t) {
         store::ArticleRecord article{};
         std::int32_t position = 0;
         if (!store::ReadArticle(t.app, article, position)) return -1;
         store::SetText(article.number, "Z-1");
         return store::WriteArticle(t.app, article, position, false);
       }},
      {"a new order", "RECHNUNG.DAT",
       [](AppendTest& t) {
         int stored = -1;
         testsupport::AddOrder(t.app, 0, {{"eins", 0, "A-1"}, {"zwei", 0, "A-1"}}, &stored);
         return stored;
       }},
      {"a discount", "RABATT.DAT",
       [](AppendTest& t) {
         store::OrderLine line{};
         line.articleRef = 520;
         line.discount = 70;
         return store::AppendDiscount(t.app, line);
       }},
  };
  Add(MakeArticle("A-1", "Leim"));
  Add(MakeArticle("B-2", "Nagel"));
  Add(MakeAddress("Meier"));
  testsupport::AddOrder(app, 0, {{"vorher", 0, "A-1"}});
  store::OrderLine line{};
  line.articleRef = 0;
  line.discount = 50;
  ASSERT_EQ(store::AppendDiscount(app, line), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::int64_t before = FileSize(dir.file(c.file));
    int result = -1;
    {
      // Room for a few bytes of the record, never for all of it.
      FileSizeLimit full(before + 3);
      result = c.append(*this);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FileSize(dir.file(c.file)), before);
  }
}

}  // namespace
