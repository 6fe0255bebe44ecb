// The discount memory: the newest entry wins, partial tails are ignored and
// references are rewritten in place, field by field.
#include "store/discount_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "store/discount_entry.h"
#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::ReadBytes;

class DiscountFileTest : public testsupport::StoreTest {
 protected:
  std::string path() const { return dir.file("RABATT.DAT"); }
  void Write(const std::vector<DiscountEntry>& entries, std::vector<std::uint8_t> tail = {}) {
    std::vector<std::uint8_t> bytes(entries.size() * sizeof(DiscountEntry));
    std::memcpy(bytes.data(), entries.data(), bytes.size());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    testsupport::WriteBytes(path(), bytes);
  }
  std::vector<std::uint8_t> Bytes(const std::vector<DiscountEntry>& entries,
                                  std::vector<std::uint8_t> tail = {}) {
    std::vector<std::uint8_t> bytes(entries.size() * sizeof(DiscountEntry));
    std::memcpy(bytes.data(), entries.data(), bytes.size());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  }
  void Append(std::int32_t customer, std::int32_t article, std::int16_t discount) {
    app.addresses.entry.offset = static_cast<std::uint32_t>(customer);
    EXPECT_EQ(AppendDiscount(app, testsupport::MakeLine({"", article, "", discount})), 1);
  }
};

TEST_F(DiscountFileTest, NewestEntryOfThePairCounts) {
  EXPECT_EQ(LookupDiscount(app, 0, 0), 0);  // the empty file of a first start
  Append(1192, 520, 50);
  Append(1192, 1040, 20);
  Append(1192, 520, 75);
  Append(0, -1, 30);
  EXPECT_EQ(LookupDiscount(app, 1192, 520), 75);
  EXPECT_EQ(LookupDiscount(app, 1192, 1040), 20);
  EXPECT_EQ(LookupDiscount(app, 1192, 0), 0);  // the customer matches, the article does not
  EXPECT_EQ(LookupDiscount(app, 0, 520), 0);
  EXPECT_EQ(LookupDiscount(app, 0, -1), 30);

  // A line without discount leaves the file as it is.
  std::vector<std::uint8_t> before = ReadBytes(path());
  Append(1192, 520, 0);
  EXPECT_EQ(ReadBytes(path()), before);
  EXPECT_EQ(LookupDiscount(app, 1192, 520), 75);
}

TEST_F(DiscountFileTest, TornTailIsNeverReadAndAppendsGoBeforeIt) {
  // Five bytes of a third entry: customer 7 and the first byte of article 9.
  Write({{1, 2, 30}, {3, 4, 40}}, {7, 0, 0, 0, 9});
  EXPECT_EQ(LookupDiscount(app, 3, 4), 40);
  EXPECT_EQ(LookupDiscount(app, 1, 2), 30);
  EXPECT_EQ(LookupDiscount(app, 7, 9), 0);
  Append(5, 6, 60);
  EXPECT_EQ(ReadBytes(path()), Bytes({{1, 2, 30}, {3, 4, 40}, {5, 6, 60}}));
  EXPECT_EQ(LookupDiscount(app, 5, 6), 60);
}

TEST_F(DiscountFileTest, RewritesTouchOnlyTheirOwnField) {
  const std::vector<std::uint8_t> tail = {1, 2, 3};
  Write({{1, 520, 10}, {520, 1, 20}, {2, 520, 30}, {520, 520, 40}}, tail);
  ASSERT_EQ(RewriteArticleReference(app, 520, 1040), 1);
  EXPECT_EQ(ReadBytes(path()),
            Bytes({{1, 1040, 10}, {520, 1, 20}, {2, 1040, 30}, {520, 1040, 40}}, tail));
  ASSERT_EQ(RewriteCustomerReference(app, 520, 7), 1);
  EXPECT_EQ(ReadBytes(path()),
            Bytes({{1, 1040, 10}, {7, 1, 20}, {2, 1040, 30}, {7, 1040, 40}}, tail));
}

TEST_F(DiscountFileTest, LargeFilesAreSearchedAndRewrittenThroughout) {
  std::vector<DiscountEntry> entries;
  for (int i = 0; i < 9000; ++i) entries.push_back({100000 + i, 5, 1});
  entries[3] = {8, 8, 11};     // only near the start
  entries[10] = {9, 9, 12};    // older ...
  entries[8500] = {9, 9, 13};  // ... and newer, a block further on
  entries[4100] = {4, 520, 14};
  Write(entries);
  EXPECT_EQ(LookupDiscount(app, 8, 8), 11);
  EXPECT_EQ(LookupDiscount(app, 9, 9), 13);
  ASSERT_EQ(RewriteArticleReference(app, 520, 1040), 1);
  EXPECT_EQ(LookupDiscount(app, 4, 1040), 14);
  EXPECT_EQ(LookupDiscount(app, 4, 520), 0);
}

}  // namespace
}  // namespace store
