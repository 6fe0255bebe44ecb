// A write that fails half way through an operation leaves the files wholly
// as they were or wholly as they should become: for N = 1, 2, ... the Nth
// write fails, and afterwards the index is checked against both states.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "store/address_file.h"
#include "store/article_file.h"
#include "store/bytes.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"

namespace {

// Fails the Nth write (counted over all files) and nothing else.
class FailingWrites : public platform::FileSystem {
 public:
  int failAt = 0;
  int writes = 0;
  bool injectFault(platform::IoOp op, const std::string&) override {
    if (op != platform::IoOp::Write) return false;
    return ++writes == failAt;
  }
};

class FaultInjectionTest : public testsupport::StoreTest {
 protected:
  // The article numbers the index lists, in index order, every record read.
  std::vector<std::string> ArticleKeys() {
    std::vector<std::string> keys;
    store::ArticleRecord article{};
    for (std::int32_t i = 0; store::ReadArticle(app, article, i); ++i) {
      EXPECT_EQ(store::GetText(article.number), store::GetText(app.articles.entry.key));
      keys.emplace_back(store::GetText(article.number));
    }
    return keys;
  }

  void AddArticles(std::initializer_list<const char*> numbers) {
    for (const char* number : numbers) {
      std::int32_t position = -1;
      ASSERT_EQ(store::WriteArticle(app, testsupport::MakeArticle(number, number), position, true), 1);
    }
  }

  FailingWrites faults;
};

TEST_F(FaultInjectionTest, InsertingAnArticleIsAllOrNothing) {
  AddArticles({"10", "30", "50", "70"});
  const std::vector<std::string> before = ArticleKeys();
  const std::vector<std::string> after = {"10", "30", "40", "50", "70"};
  for (int n = 1; n <= 4; ++n) {
    faults.failAt = n;
    faults.writes = 0;
    app.fileSystem = &faults;
    std::int32_t position = -1;
    int result = store::WriteArticle(app, testsupport::MakeArticle("40", "vierzig"), position, true);
    app.fileSystem = &platform::SystemFileSystem();
    std::vector<std::string> keys = ArticleKeys();
    if (result == 1) {
      EXPECT_EQ(keys, after) << "write " << n;
      break;  // the fault came after the last write
    }
    EXPECT_EQ(keys, before) << "write " << n;
  }
}

TEST_F(FaultInjectionTest, DeletingAnArticleIsAllOrNothing) {
  AddArticles({"10", "30", "50", "70"});
  const std::vector<std::string> before = ArticleKeys();
  for (int n = 1; n <= 3; ++n) {
    faults.failAt = n;
    faults.writes = 0;
    app.fileSystem = &faults;
    std::int32_t position = 1;
    int result = store::DeleteArticle(app, position);
    app.fileSystem = &platform::SystemFileSystem();
    std::vector<std::string> keys = ArticleKeys();
    if (result == 1) {
      EXPECT_EQ(keys, (std::vector<std::string>{"10", "50", "70"})) << "write " << n;
      break;
    }
    EXPECT_EQ(keys, before) << "write " << n;
  }
}

TEST_F(FaultInjectionTest, StoringANewOrderIsAllOrNothing) {
  std::int32_t customer = -1;
  ASSERT_EQ(store::WriteAddress(app, testsupport::MakeAddress("Meier"), customer, true), 1);
  store::OrderHead first = testsupport::AddOrder(app, 0, {{"eins"}});
  for (int n = 1; n <= 6; ++n) {
    faults.failAt = n;
    faults.writes = 0;
    app.fileSystem = &faults;
    int stored = 0;
    testsupport::AddOrder(app, 0, {{"zwei"}, {"drei"}}, &stored);
    app.fileSystem = &platform::SystemFileSystem();
    // Every order the index lists reads back whole.
    std::set<std::string> texts;
    store::OrderHead head{};
    std::int32_t count = 0;
    for (std::int32_t i = 0; store::ReadOrder(app, head, i); ++i, ++count)
      for (int l = 1; l <= head.lineCount; ++l)
        texts.insert(std::string(store::GetText(app.orderLines[l].description1)));
    if (stored == 1) {
      EXPECT_EQ(count, 2) << "write " << n;
      EXPECT_EQ(texts, (std::set<std::string>{"eins", "zwei", "drei"}));
      break;
    }
    EXPECT_EQ(count, 1) << "write " << n;
    EXPECT_EQ(texts, (std::set<std::string>{"eins"})) << "write " << n;
  }
  (void)first;
}

}  // namespace
