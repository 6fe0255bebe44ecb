// IndexedFile against real files: insertion and lookup against a sorted
// reference, the first record, the full address index and damaged files.
#include "store/indexed_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "store/bytes.h"
#include "store/collation.h"
#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::MakeArticle;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

struct IndexedFileTest : testsupport::StoreTest {
  std::string idx = dir.file("ARTIKEL.IDX");
  std::string dat = dir.file("ARTIKEL.DAT");

  int insert(const std::string& number, const std::string& designation = "") {
    ArticleRecord article = MakeArticle(number, designation);
    std::int32_t position = -1;
    EXPECT_EQ(ArticleFile(app).WriteRecord(AsBytes(article), position, true), 1);
    return position;
  }
  // The keys as the header counts them, and the record offset of entry i.
  std::vector<std::string> keys() {
    std::vector<std::string> out;
    for (const auto& e : testsupport::IndexEntries<ArticleIndexEntry>(idx, 4))
      out.emplace_back(GetText(e.key, sizeof e.key));
    return out;
  }
  std::uint32_t offset(int i) { return Load<std::uint32_t>(ReadBytes(idx).data() + 4 + 26 * i + 22); }
};

TEST_F(IndexedFileTest, InsertionPositionsMatchASortedReference) {
  // Short keys over a small alphabet give many duplicates and case twins;
  // '_' lies between 'Z' and 'a', and 0xE4 (ä) is above every folded letter.
  const std::string alphabet = "aAbB_1\xE4";
  std::mt19937 random(20190814);
  std::vector<std::string> index;
  for (int i = 0; i < 200; ++i) {
    std::string key;
    for (int n = 1 + random() % 3; n > 0; --n) key += alphabet[random() % alphabet.size()];
    const int at = insert(key);
    ASSERT_TRUE(at >= 0 && at <= static_cast<int>(index.size())) << at;
    if (at > 0) { ASSERT_LE(CompareKeys(index[at - 1], key), 0) << key << " at " << at; }
    if (at < static_cast<int>(index.size())) { ASSERT_GE(CompareKeys(index[at], key), 0) << key; }
    index.insert(index.begin() + at, key);
    // Records are appended in the order they came, whatever their position.
    ASSERT_EQ(offset(at), 520u * i) << "the entry lands where the position says";
  }
  EXPECT_EQ(keys(), index);
  EXPECT_EQ(app.articles.lastIndex, 199);
}

TEST_F(IndexedFileTest, LookupFindsEveryKeyByBisection) {
  for (int n : {1, 2, 3, 10, 257}) {
    SCOPED_TRACE(n);
    Bytes bytes(4 + 26 * n, 0);
    Store<std::int32_t>(bytes.data(), n - 1);
    for (int i = 0; i < n; ++i) {
      const std::string key = "K" + std::to_string(1000 + 2 * i);  // K1000, K1002, ...
      std::memcpy(bytes.data() + 4 + 26 * i, key.data(), key.size());
    }
    WriteBytes(idx, bytes);
    for (int i = 0; i < n; ++i) {
      std::int32_t position = -1;  // found under the collation
      ASSERT_EQ(ArticleFile(app).LookupKey(AsBytes(MakeArticle("k" + std::to_string(1000 + 2 * i))), position), 1);
      EXPECT_EQ(position, i);
    }
    for (const std::string& absent : {std::string("A"), std::string("K0999"), std::string("K1001"),
                                      "K" + std::to_string(1000 + 2 * n - 1), std::string("Z")}) {
      std::int32_t position = 77;
      EXPECT_EQ(ArticleFile(app).LookupKey(AsBytes(MakeArticle(absent)), position), 0) << absent;
      EXPECT_EQ(position, 77);
    }
  }
}

TEST_F(IndexedFileTest, FirstRecordGoesToOffsetZeroWhateverTheRecordFileHolds) {
  WriteBytes(dat, Bytes(1000, 0xAA));
  EXPECT_EQ(insert("X1"), 0);
  EXPECT_EQ(insert("X2"), 1);
  EXPECT_EQ(offset(0), 0u);
  EXPECT_EQ(offset(1), 1000u) << "the second goes to the end of the file";
  const Bytes bytes = ReadBytes(dat);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 2), "X1");
  EXPECT_EQ(bytes[520], 0xAA);

  // A position beyond the last entry never reaches the record file.
  ASSERT_EQ(std::remove(dat.c_str()), 0);
  app.retry.bound = std::chrono::milliseconds(1);  // any wait would ask at once
  ArticleRecord read{};
  EXPECT_EQ(ArticleFile(app).ReadRecordAt(AsBytes(read), 2), 0);
  EXPECT_TRUE(ui.shown.empty()) << "no wait for the missing record file";
}

TEST_F(IndexedFileTest, FullAddressIndexRefusesAndChangesNothing) {
  // 32767 entries with empty keys; the next one fits, the one after does not.
  const std::string kidx = dir.file("KUNDEN.IDX");
  Bytes bytes(2 + 46 * 32767, 0);
  Store<std::int16_t>(bytes.data(), 32766);
  WriteBytes(kidx, bytes);
  AddressRecord address = testsupport::MakeAddress("Zimmermann");
  std::int32_t position = -1;
  ASSERT_EQ(AddressFile(app).WriteRecord(AsBytes(address), position, true), 1);
  EXPECT_EQ(position, 32767);

  const Bytes full = ReadBytes(kidx);
  const Bytes data = ReadBytes(dir.file("KUNDEN.DAT"));
  EXPECT_EQ(AddressFile(app).WriteRecord(AsBytes(address), position, true), 0);
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("KUNDEN.IDX"), std::string::npos);
  EXPECT_EQ(ReadBytes(kidx), full);
  EXPECT_EQ(ReadBytes(dir.file("KUNDEN.DAT")), data);
}

// Damaged article files of a few bytes: the IDX header, then 26-byte entries
// (key, record offset); the DAT one 8-byte record start (length, number).
Bytes Damaged(std::int32_t header, std::uint32_t entryOffset) {
  Bytes b(4 + 26, 0);
  Store<std::int32_t>(b.data(), header);
  b[4] = 'A';
  Store<std::uint32_t>(b.data() + 4 + 22, entryOffset);
  return b;
}
Bytes Record(std::uint16_t length, std::size_t size = 8) {
  Bytes r(size, 0);
  Store<std::uint16_t>(r.data(), length);
  r[2] = 'A';
  return r;
}

TEST_F(IndexedFileTest, DamagedFilesNeitherCrashNorReadPastTheBuffer) {
  const struct {
    const char* how;
    Bytes idx, dat;
  } cases[] = {
      {"header 5 over one entry: the count was raised, entries never written", Damaged(5, 0), Record(8)},
      {"header -2 over one entry: a count decremented below empty", Damaged(-2, 0), Record(8)},
      {"entry offset 0x1000 but the record file holds 8 bytes", Damaged(0, 0x1000), Record(8)},
      {"record length field 0", Damaged(0, 0), Record(0)},
      {"record length field 1", Damaged(0, 0), Record(1)},
      {"record length 0xFFFF, file cut after 8 bytes", Damaged(0, 0), Record(0xFFFF)},
      {"record length 0xFFFF over 2000 bytes", Damaged(0, 0), Record(0xFFFF, 2000)},
      {"index cut after its first byte", {0xFF}, {}},
  };
  for (const auto& d : cases) {
    SCOPED_TRACE(d.how);
    WriteBytes(idx, d.idx);
    WriteBytes(dat, d.dat);
    IndexedFile file = ArticleFile(app);
    std::vector<ArticleRecord> buffer(3);  // a guard record on either side
    std::memset(buffer.data(), 0x5A, sizeof(ArticleRecord) * 3);
    if (file.ReadRecordAt(AsBytes(buffer[1]), 0)) {
      EXPECT_EQ(buffer[1].designation[41], 0) << "tail cleared";
    }
    EXPECT_EQ(+buffer[0].length, 0x5A5A);
    EXPECT_EQ(+buffer[2].length, 0x5A5A);
    EXPECT_EQ(file.ReadRecordAt(AsBytes(buffer[1]), 1), 0);

    ArticleRecord criteria{};
    std::int32_t position = -1;
    file.ScanRecords(AsBytes(criteria), nullptr, position, true);
    EXPECT_LE(position, 0);
    ArticleRecord probe = MakeArticle("A");
    file.LookupKey(AsBytes(probe), position);
    file.KeyInUse(AsBytes(probe), true);

    const int count = app.articles.lastIndex + 1;
    EXPECT_LE(count, 1);
    EXPECT_EQ(insert("B"), count);
    EXPECT_EQ(keys().size(), count + 1u);
    EXPECT_EQ(keys().back(), "B");
    EXPECT_TRUE(ui.shown.empty());
  }
}

}  // namespace
}  // namespace store
