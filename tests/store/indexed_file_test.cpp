// IndexedFile against real files: the order of the index, insertion and
// lookup by bisection, delete, rewrite in place and by moving, scans, the
// full address index, damaged files and a second program copy.
#include "store/indexed_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "frame/load_parameters.h"
#include "platform/clock.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/text_field.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace store {
namespace {

using std::chrono::milliseconds;
using testsupport::FileSize;
using testsupport::ReadBytes;
using testsupport::ScriptedUi;
using testsupport::TempDir;
using testsupport::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

ArticleRecord Article(std::string_view number, std::string_view designation = "") {
  ArticleRecord a{};
  SetText(a.number, number);
  SetText(a.designation, designation);
  return a;
}

// A program copy on a data directory, started as the program starts.
struct Copy {
  explicit Copy(const TempDir& dir) {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
    app.retry = {milliseconds(10), milliseconds(150)};
    frame::LoadParameters(app);
  }
  int insert(std::string_view number, std::string_view designation = "") {
    ArticleRecord a = Article(number, designation);
    std::int32_t position = -1;
    EXPECT_EQ(ArticleFile(app).WriteRecord(AsBytes(a), position, true), 1) << number;
    return position;
  }
  ScriptedUi ui;
  platform::FixedClock clock{{2019, 8, 14, 10, 0, 0}};
  frame::AppState app;
};

struct IndexedFileTest : ::testing::Test {
  TempDir dir;
  Copy copy{dir};
  frame::AppState& app = copy.app;
  std::string idx = dir.file("ARTIKEL.IDX");
  std::string dat = dir.file("ARTIKEL.DAT");

  std::int32_t header() { return Load<std::int32_t>(ReadBytes(idx).data()); }
  // The keys and offsets of the first `count` entries as the file holds them.
  std::vector<std::string> keys(int count) {
    Bytes bytes = ReadBytes(idx);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
      out.emplace_back(GetText(reinterpret_cast<const char*>(bytes.data()) + 4 + 26 * i, 22));
    return out;
  }
  std::vector<std::string> keys() { return keys(header() + 1); }
  std::uint32_t offset(int i) { return Load<std::uint32_t>(ReadBytes(idx).data() + 4 + 26 * i + 22); }
};

TEST_F(IndexedFileTest, CaseFoldsInTheOrderButNotInTheDuplicateTest) {
  EXPECT_EQ(copy.insert("b"), 0);
  EXPECT_EQ(copy.insert("A"), 0);
  EXPECT_EQ(copy.insert("a1"), 1);
  EXPECT_EQ(keys(), (std::vector<std::string>{"A", "a1", "b"}));
  EXPECT_EQ(header(), 2);
  EXPECT_EQ(app.articles.lastIndex, 2);
  // Records are appended in the order they came, whatever their position.
  EXPECT_EQ(offset(0), 520u);
  EXPECT_EQ(offset(1), 1040u);
  EXPECT_EQ(offset(2), 0u);
  EXPECT_EQ(FileSize(dat), 3 * 520);

  IndexedFile file = ArticleFile(app);
  ArticleRecord lower = Article("a");
  ArticleRecord upper = Article("A");
  EXPECT_EQ(file.KeyInUse(AsBytes(lower), true), 0);
  EXPECT_EQ(file.KeyInUse(AsBytes(upper), true), 1);
  app.articles.position = 0;  // editing "A" itself: not a duplicate of itself
  EXPECT_EQ(file.KeyInUse(AsBytes(upper), false), 0);

  int at = copy.insert("a");
  EXPECT_LE(at, 1);
  std::vector<std::string> order = keys();
  EXPECT_EQ(UpperAscii(order[0]) + UpperAscii(order[1]), "AA");
  EXPECT_EQ(order[at], "a");
  EXPECT_EQ(order[2], "a1");
}

TEST_F(IndexedFileTest, InsertionPositionsMatchASortedReference) {
  // Short keys over a small alphabet give many duplicates and case twins;
  // '_' lies between 'Z' and 'a', and 0xE4 (ä) is above every folded letter.
  const std::string alphabet = "aAbB_1\xE4";
  std::mt19937 random(20190814);
  std::vector<std::string> inserted, index;
  for (int i = 0; i < 200; ++i) {
    std::string key;
    for (int n = 1 + random() % 3; n > 0; --n) key += alphabet[random() % alphabet.size()];
    int at = copy.insert(key);
    ASSERT_GE(at, 0);
    ASSERT_LE(at, static_cast<int>(index.size()));
    if (at > 0) {
      ASSERT_LE(CompareKeys(index[at - 1], key), 0) << key << " at " << at;
    }
    if (at < static_cast<int>(index.size())) {
      ASSERT_GE(CompareKeys(index[at], key), 0) << key;
    }
    index.insert(index.begin() + at, key);
    inserted.push_back(key);
    ASSERT_EQ(offset(at), 520u * i) << "the entry lands where the position says";
  }
  EXPECT_EQ(keys(), index);
  std::stable_sort(inserted.begin(), inserted.end(),
                   [](const std::string& a, const std::string& b) { return CompareKeys(a, b) < 0; });
  std::vector<std::string> folded = keys();
  for (auto& k : folded) k = UpperAscii(k);
  for (auto& k : inserted) k = UpperAscii(k);
  EXPECT_EQ(folded, inserted);
}

TEST_F(IndexedFileTest, LookupFindsEveryKeyByBisection) {
  for (int n : {1, 2, 3, 10, 257}) {
    SCOPED_TRACE(n);
    Bytes bytes(4 + 26 * n, 0);
    Store<std::int32_t>(bytes.data(), n - 1);
    std::vector<std::string> present;
    for (int i = 0; i < n; ++i) {
      present.push_back("K" + std::to_string(1000 + 2 * i));  // K1000, K1002, ...
      std::memcpy(bytes.data() + 4 + 26 * i, present.back().data(), present.back().size());
    }
    WriteBytes(idx, bytes);
    IndexedFile file = ArticleFile(app);
    for (int i = 0; i < n; ++i) {
      std::string asTyped = present[i];
      asTyped[0] = 'k';  // found under the collation
      ArticleRecord probe = Article(asTyped);
      std::int32_t position = -1;
      ASSERT_EQ(file.LookupKey(AsBytes(probe), position), 1) << asTyped;
      EXPECT_EQ(position, i);
    }
    for (const std::string& absent : std::vector<std::string>{
             "A", "K0999", "K1001", "K" + std::to_string(1000 + 2 * n - 1), "Z"}) {
      ArticleRecord probe = Article(absent);
      std::int32_t position = 77;
      EXPECT_EQ(file.LookupKey(AsBytes(probe), position), 0) << absent;
      EXPECT_EQ(position, 77);
    }
  }
  WriteBytes(idx, {0xFF, 0xFF, 0xFF, 0xFF});
  ArticleRecord probe = Article("K1000");
  std::int32_t position = 0;
  EXPECT_EQ(ArticleFile(app).LookupKey(AsBytes(probe), position), 0);
}

TEST_F(IndexedFileTest, DeleteShiftsTheTailAndKeepsTheFileSize) {
  copy.insert("only");
  std::int64_t size = FileSize(idx);
  std::int32_t position = 0;
  ASSERT_EQ(ArticleFile(app).DeleteIndexEntry(position), 1);
  EXPECT_EQ(header(), -1);
  EXPECT_EQ(app.articles.lastIndex, -1);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(FileSize(idx), size);

  for (const char* k : {"a", "b", "c", "d"}) copy.insert(k);
  size = FileSize(idx);
  position = 1;
  ASSERT_EQ(ArticleFile(app).DeleteIndexEntry(position), 1);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(header(), 2);
  EXPECT_EQ(keys(4), (std::vector<std::string>{"a", "c", "d", "d"})) << "stale copy behind the count";
  EXPECT_EQ(FileSize(idx), size);

  position = 3;  // beyond the last entry: nothing happens
  EXPECT_EQ(ArticleFile(app).DeleteIndexEntry(position), 0);
  EXPECT_EQ(header(), 2);
}

TEST_F(IndexedFileTest, FirstRecordGoesToOffsetZeroWhateverTheRecordFileHolds) {
  WriteBytes(dat, Bytes(1000, 0xAA));
  EXPECT_EQ(copy.insert("X1", "Schraube"), 0);
  EXPECT_EQ(offset(0), 0u);
  Bytes bytes = ReadBytes(dat);
  ASSERT_EQ(bytes.size(), 1000u);
  EXPECT_EQ(Load<std::uint16_t>(bytes.data()), 520);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.data()) + 2), "X1");
  EXPECT_EQ(bytes[520], 0xAA);
  // The second record goes to the end of the file.
  copy.insert("X2");
  EXPECT_EQ(offset(1), 1000u);
}

TEST_F(IndexedFileTest, ReadBeyondTheLastIndexNeverTouchesTheRecordFile) {
  copy.insert("A", "Erster");
  ArticleRecord read{};
  ASSERT_EQ(ArticleFile(app).ReadRecordAt(AsBytes(read), 0), 1);
  EXPECT_EQ(GetText(read.designation), "Erster");
  EXPECT_EQ(app.articles.entry.offset, 0u);

  ASSERT_EQ(std::remove(dat.c_str()), 0);
  EXPECT_EQ(ArticleFile(app).ReadRecordAt(AsBytes(read), 1), 0);
  EXPECT_EQ(ArticleFile(app).ReadRecordAt(AsBytes(read), -1), 0);
  EXPECT_TRUE(copy.ui.questions().empty()) << "no wait for the missing record file";
}

TEST_F(IndexedFileTest, ScanWalksFromTheEntryBesideThePosition) {
  for (const char* k : {"AB-1", "AB-2", "XY-3"}) copy.insert(k);
  IndexedFile file = ArticleFile(app);
  ArticleRecord criteria{};
  std::int32_t position = 0;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), nullptr, position, false), 0);
  EXPECT_EQ(position, 0);
  position = -1;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), nullptr, position, true), 1);
  EXPECT_EQ(position, 0);

  SetText(criteria.number, "#ab");
  position = -1;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), nullptr, position, true), 1);
  EXPECT_EQ(position, 2);
  position = 2;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), nullptr, position, true), 0);
  EXPECT_EQ(position, 2);

  SetText(criteria.number, "b-");
  position = 3;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), nullptr, position, false), 1);
  EXPECT_EQ(position, 1);
  // The record test sees the whole record and can reject it.
  auto notTwo = [](std::span<const std::uint8_t> r) {
    return std::string(reinterpret_cast<const char*>(r.data()) + 2) != "AB-2";
  };
  position = 3;
  EXPECT_EQ(file.ScanRecords(AsBytes(criteria), notTwo, position, false), 1);
  EXPECT_EQ(position, 0);
}

TEST_F(IndexedFileTest, RewriteStaysInPlaceUnlessTheKeyChanges) {
  copy.insert("abc", "alt");
  copy.insert("m");
  int moves = 0;
  std::uint32_t from = 1, to = 1;
  IndexedFile file = ArticleFile(app);
  file.referencePasses = {{"", [&](std::uint32_t oldOffset, std::uint32_t newOffset,
                                   const std::uint8_t* entry, bool&) {
                             ++moves;
                             from = oldOffset;
                             to = newOffset;
                             EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry)), "z");
                             return 1;
                           }}};

  // Only the case differs: the same key under the collation, so the record
  // and its entry stay where they are, but the entry takes the new case.
  ArticleRecord record{};
  ASSERT_EQ(file.ReadRecordAt(AsBytes(record), 0), 1);
  SetText(record.number, "ABC");
  SetText(record.designation, "neu");
  std::int32_t position = 0;
  ASSERT_EQ(file.WriteRecord(AsBytes(record), position, false), 1);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(FileSize(dat), 2 * 520);
  EXPECT_EQ(keys(), (std::vector<std::string>{"ABC", "m"}));
  EXPECT_EQ(file.KeyInUse(AsBytes(Article("ABC")), true), 1) << "a second ABC stays out";
  ASSERT_EQ(file.ReadRecordAt(AsBytes(record), 0), 1);
  EXPECT_EQ(GetText(record.designation), "neu");
  EXPECT_EQ(moves, 0);

  Bytes before = ReadBytes(dat);
  SetText(record.number, "z");
  position = 0;
  ASSERT_EQ(file.WriteRecord(AsBytes(record), position, false), 1);
  EXPECT_EQ(position, 1);
  EXPECT_EQ(keys(), (std::vector<std::string>{"m", "z"}));
  EXPECT_EQ(offset(1), 1040u);
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 1040u);
  Bytes after = ReadBytes(dat);
  ASSERT_EQ(after.size(), 3u * 520);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << "old bytes stay";
}

TEST_F(IndexedFileTest, FullAddressIndexRefusesAndChangesNothing) {
  // 32767 entries with empty keys; the next one fits, the one after does not.
  std::string kidx = dir.file("KUNDEN.IDX");
  Bytes bytes(2 + 46 * 32767, 0);
  Store<std::int16_t>(bytes.data(), 32766);
  WriteBytes(kidx, bytes);
  AddressRecord address{};
  SetText(address.name2, "Zimmermann");
  std::int32_t position = -1;
  ASSERT_EQ(AddressFile(app).WriteRecord(AsBytes(address), position, true), 1);
  EXPECT_EQ(position, 32767);
  EXPECT_EQ(app.addresses.lastIndex, 32767);
  EXPECT_TRUE(copy.ui.shown.empty());

  Bytes full = ReadBytes(kidx);
  Bytes data = ReadBytes(dir.file("KUNDEN.DAT"));
  EXPECT_EQ(AddressFile(app).WriteRecord(AsBytes(address), position, true), 0);
  ASSERT_EQ(copy.ui.texts().size(), 1u);
  EXPECT_NE(copy.ui.texts()[0].find("KUNDEN.IDX"), std::string::npos);
  EXPECT_EQ(ReadBytes(kidx), full);
  EXPECT_EQ(ReadBytes(dir.file("KUNDEN.DAT")), data);
  EXPECT_EQ(position, 32767);
}

// Damaged article files, each a few bytes: the IDX header as hex, then
// 26-byte entries (key, record offset); the DAT as one 8-byte record start
// (length field, article number).
struct Damage {
  const char* how;  // how the fixture was made
  Bytes idx;
  Bytes dat;
};

Bytes Entry(const char* key, std::uint32_t offset) {
  Bytes e(26, 0);
  std::memcpy(e.data(), key, std::strlen(key));
  Store<std::uint32_t>(e.data() + 22, offset);
  return e;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Record(std::uint16_t length, const char* number) {
  Bytes r(8, 0);
  Store<std::uint16_t>(r.data(), length);
  std::memcpy(r.data() + 2, number, std::strlen(number));
  return r;
}

TEST_F(IndexedFileTest, DamagedFilesNeitherCrashNorReadPastTheBuffer) {
  const Damage cases[] = {
      {"header 5 over one entry: the count was raised, entries never written",
       Cat({{0x05, 0x00, 0x00, 0x00}, Entry("A", 0)}), Record(8, "A")},
      {"header -2 over one entry: a count decremented below empty",
       Cat({{0xFE, 0xFF, 0xFF, 0xFF}, Entry("A", 0)}), Record(8, "A")},
      {"entry offset 0x1000 but the record file holds 8 bytes",
       Cat({{0x00, 0x00, 0x00, 0x00}, Entry("A", 0x1000)}), Record(8, "A")},
      {"record length field 0", Cat({{0x00, 0x00, 0x00, 0x00}, Entry("A", 0)}), Record(0, "A")},
      {"record length field 1", Cat({{0x00, 0x00, 0x00, 0x00}, Entry("A", 0)}), Record(1, "A")},
      {"record length 0xFFFF, file cut after 8 bytes",
       Cat({{0x00, 0x00, 0x00, 0x00}, Entry("A", 0)}), Record(0xFFFF, "A")},
      {"index cut after its first byte", {0xFF}, {}},
  };
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.how);
    WriteBytes(idx, d.idx);
    WriteBytes(dat, d.dat);
    IndexedFile file = ArticleFile(app);
    std::vector<ArticleRecord> buffer(3);  // a guard record on either side
    std::memset(buffer.data(), 0x5A, sizeof(ArticleRecord) * 3);
    int read = file.ReadRecordAt(AsBytes(buffer[1]), 0);
    EXPECT_EQ(buffer[0].length, 0x5A5A);
    EXPECT_EQ(buffer[2].length, 0x5A5A);
    if (read) {
      EXPECT_EQ(buffer[1].designation[41], 0) << "tail cleared";
    }
    EXPECT_EQ(file.ReadRecordAt(AsBytes(buffer[1]), 1), 0);

    ArticleRecord criteria{};
    std::int32_t position = -1;
    file.ScanRecords(AsBytes(criteria), nullptr, position, true);
    EXPECT_LE(position, 0);
    ArticleRecord probe = Article("A");
    file.LookupKey(AsBytes(probe), position);
    file.KeyInUse(AsBytes(probe), true);

    int count = app.articles.lastIndex + 1;
    EXPECT_LE(count, 1);
    EXPECT_EQ(copy.insert("B"), count);
    EXPECT_EQ(header(), count);
    EXPECT_EQ(keys().back(), "B");
    EXPECT_TRUE(copy.ui.shown.empty());
  }
}

TEST_F(IndexedFileTest, SecondCopyWaitsForTheIndexOrGivesUp) {
  Copy other(dir);
  other.app.retry = {milliseconds(10), milliseconds(2000)};
  platform::File held =
      platform::SystemFileSystem().open(idx, platform::Access::ReadWrite, platform::Share::Exclusive);
  ASSERT_TRUE(held);
  std::thread release([file = std::move(held)]() mutable {
    std::this_thread::sleep_for(milliseconds(300));
    file.close();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(other.insert("W"), 0);
  release.join();
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(250));
  EXPECT_TRUE(other.ui.shown.empty());
  EXPECT_EQ(keys(), std::vector<std::string>{"W"});

  held = platform::SystemFileSystem().open(idx, platform::Access::Read, platform::Share::DenyWrite);
  ASSERT_TRUE(held);
  other.app.retry = {milliseconds(10), milliseconds(100)};
  Bytes before = ReadBytes(idx);
  ArticleRecord a = Article("V");
  std::int32_t position = 5;
  EXPECT_EQ(ArticleFile(other.app).WriteRecord(AsBytes(a), position, true), 0);
  EXPECT_EQ(position, 5);
  ASSERT_EQ(other.ui.questions().size(), 1u);
  EXPECT_NE(other.ui.questions()[0].find(idx), std::string::npos);
  EXPECT_EQ(ReadBytes(idx), before);
  EXPECT_EQ(FileSize(dat), 520);
}

}  // namespace
}  // namespace store
