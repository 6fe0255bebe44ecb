#include <algorithm>
#include <fstream>
#include <numeric>
#include <random>
#include <set>

#include "datanorm/bulk_article_file.h"
#include "datanorm_fixture.h"
#include "maintenance/maintenance_test_support.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "support/file_size_limit.h"

namespace datanormtest {
namespace {

// `count` articles in random order, each an A and a B record with code
// `code`; `twins` adds for every fifth number one that differs only in
// letter case.
std::string Catalogue(int count, const char* code = "N", bool twins = false) {
  std::vector<int> ids(count);
  std::iota(ids.begin(), ids.end(), 0);
  std::shuffle(ids.begin(), ids.end(), std::mt19937(11));
  std::string text = Header();
  auto article = [&](const std::string& number, int id) {
    text += std::string("A;") + code + ";" + number + ";;Kabel " + std::to_string(id) + ";NYM;1;;m;" +
            std::to_string(100 + id) + ";;KAB;\n";
    text += std::string("B;") + code + ";" + number + ";MC" + std::to_string(id) + ";;;;;;;;X;\n";
  };
  for (int id : ids) {
    article("ab" + std::to_string(id * 37), id);
    if (twins && id % 5 == 0) article("AB" + std::to_string(id * 37), id);
  }
  return text;
}

// The index is sorted and every entry points at a record of its key.
void ExpectSound(frame::AppState& app, std::set<std::string>* keys = nullptr) {
  platform::File index = store::OpenData(app, "ARTIKEL.IDX", platform::Access::Read, platform::Share::DenyWrite);
  platform::File data = store::OpenData(app, "ARTIKEL.DAT", platform::Access::Read, platform::Share::DenyWrite);
  store::IndexBlock block;
  ASSERT_TRUE(store::ArticleFile(app).ReadIndex(index, block));
  store::ArticleRecord a{};
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (i > 0) {
      ASSERT_LE(store::CompareKeys(block.key(i - 1), block.key(i)), 0) << i;
    }
    ASSERT_GE(store::ReadFramedRecord(data, block.recordOffset(i), store::AsBytes(a), true), 0);
    ASSERT_EQ(store::CompareKeys(store::GetText(a.number), block.key(i)), 0) << block.key(i);
    if (keys) keys->insert(std::string(block.key(i)));
  }
}

// A new catalogue; one imported again as changes; numbers that differ only in
// letter case.
TEST(BulkArticleFile, GivesTheFilesOfTheSingleOperations) {
  const std::vector<std::vector<std::string>> runs = {
      {Catalogue(300)}, {Catalogue(200), Catalogue(200, "A")}, {Catalogue(200, "N", true), Catalogue(200, "N", true)}};
  for (const std::vector<std::string>& files : runs) {
    SCOPED_TRACE(files.size());
    DataDir bulk, single;
    for (const std::string& file : files) {
      ASSERT_EQ(bulk.import(file, true).end, datanorm::ImportEnd::Done);
      ASSERT_EQ(single.import(file, false).end, datanorm::ImportEnd::Done);
    }
    EXPECT_EQ(bulk.bytes("ARTIKEL.DAT"), single.bytes("ARTIKEL.DAT"));
    EXPECT_EQ(bulk.bytes("ARTIKEL.IDX"), single.bytes("ARTIKEL.IDX"));
    ExpectSound(bulk.app);
  }
}

TEST_F(DatanormTest, BulkRunHoldsTheIndexUntilItEnds) {
  datanorm::BulkOptions options;
  options.writeBackAfterChanges = 1;
  datanorm::BulkArticleFile bulk(app, options);
  ASSERT_TRUE(bulk.open());
  auto held = [this] { return !app.fileSystem->open(app.path("ARTIKEL.IDX"), platform::Access::Read,
                                                      platform::Share::DenyWrite); };
  EXPECT_TRUE(held());
  store::ArticleRecord a{};
  store::SetText(a.number, "4711");
  std::int32_t handle = -1;
  ASSERT_TRUE(bulk.insert(a, handle));
  ASSERT_TRUE(bulk.between());  // written back: a new file took the name
  EXPECT_TRUE(held());
  ASSERT_TRUE(bulk.finish());
  EXPECT_FALSE(held());
}

// A catalogue imported onto a full disk ends with an error, and the record
// file holds no half record: whatever the index does not know of is cut off,
// so that every byte of ARTIKEL.DAT belongs to an indexed article.
TEST(BulkArticleFile, AFullDiskLeavesNoHalfRecord) {
  for (const bool bulk : {true, false}) {
    SCOPED_TRACE(bulk ? "bulk" : "one by one");
    DataDir dir;
    ASSERT_EQ(dir.import(Catalogue(50), bulk).end, datanorm::ImportEnd::Done);
    const std::int64_t before = testsupport::FileSize(dir.dir.file("ARTIKEL.DAT"));
    datanorm::ImportResult result;
    {
      testsupport::FileSizeLimit full(before + 10 * 520 + 7);
      result = dir.import(Catalogue(200), bulk);
    }
    EXPECT_NE(result.end, datanorm::ImportEnd::Done);
    ExpectSound(dir.app);
    platform::File index = store::OpenData(dir.app, "ARTIKEL.IDX", platform::Access::Read,
                                           platform::Share::DenyWrite);
    store::IndexBlock block;
    ASSERT_TRUE(store::ArticleFile(dir.app).ReadIndex(index, block));
    std::int64_t end = 0;
    for (std::int32_t i = 0; i < block.count; ++i)
      end = std::max<std::int64_t>(end, block.recordOffset(i) + 520);
    EXPECT_EQ(testsupport::FileSize(dir.dir.file("ARTIKEL.DAT")), end);
  }
}

// A run killed at any call leaves an index that is sorted, points only at
// records of its keys and holds every article of its last write-back.
TEST(BulkArticleFile, SurvivesBeingKilledAnywhere) {
  const std::string catalogue = Catalogue(200);
  std::vector<std::string> numbers;  // in the order of the catalogue
  for (std::size_t at = 0; (at = catalogue.find("\nA;N;", at)) != std::string::npos; ++at)
    numbers.push_back(catalogue.substr(at + 5, catalogue.find(';', at + 5) - at - 5));
  int kills = 0;
  for (int n = 1; n < 400; n += 2) {
    SCOPED_TRACE(n);
    DataDir run;
    // Some articles are there before, so the run also rewrites.
    ASSERT_EQ(run.import(catalogue.substr(0, catalogue.rfind("\nA;", 2500) + 1)).end,
              datanorm::ImportEnd::Done);
    std::int32_t entries = run.app.articles.lastIndex + 1;
    const std::string file = run.put("in.001", catalogue), written = run.dir.file("written");
    const bool ended = testsupport::RunsToTheEnd(n, [&](platform::FileSystem& fs) {
      frame::AppState app = run.app;
      app.fileSystem = &fs;
      datanorm::ImportOptions options{file};
      options.bulkOptions.writeBackAfterChanges = 40;
      options.bulkOptions.appendBuffer = 4096;
      options.bulkOptions.sync = false;  // a killed process loses nothing the kernel has
      options.bulkOptions.afterWriteBack = [&](std::int32_t e) { std::ofstream(written) << e; };
      datanorm::ImportDatanorm(app, options);
    });
    std::ifstream(written) >> entries;
    std::set<std::string> keys;
    ExpectSound(run.app, &keys);
    // The articles that were there, then those inserted up to the write-back.
    for (std::int32_t i = 0; i < entries; ++i) ASSERT_TRUE(keys.count(numbers[i])) << numbers[i];
    if (ended) break;  // the run got to its end before the Nth change
    ++kills;
  }
  EXPECT_GT(kills, 15);
}

}  // namespace
}  // namespace datanormtest
