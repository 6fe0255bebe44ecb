// The discount memory: the newest entry wins, partial tails are ignored and
// references are rewritten in place, field by field, however long the file.
#include "store/discount_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::DiscountBytes;
using testsupport::ReadBytes;

class DiscountFileTest : public testsupport::StoreTest {
 protected:
  std::string path() const { return dir.file("RABATT.DAT"); }
  void Append(std::int32_t customer, std::int32_t article, std::int16_t discount) {
    app.addresses.entry.offset = static_cast<std::uint32_t>(customer);
    EXPECT_EQ(AppendDiscount(app, testsupport::MakeLine({"", article, "", discount})), 1);
  }
};

TEST_F(DiscountFileTest, NewestEntryOfThePairCountsAndATornTailIsNeverRead) {
  EXPECT_EQ(LookupDiscount(app, 0, 0), 0);  // the empty file of a first start
  // Five bytes of a third entry: customer 7 and the first byte of article 9.
  testsupport::WriteBytes(path(), DiscountBytes({{1192, 520, 50}, {1192, 1040, 20}}, {7, 0, 0, 0, 9}));
  EXPECT_EQ(LookupDiscount(app, 7, 9), 0);
  Append(1192, 520, 75);
  Append(0, -1, 30);      // a line without article has nothing to remember,
  Append(1192, 520, 0);  // a line without discount neither
  EXPECT_EQ(ReadBytes(path()), DiscountBytes({{1192, 520, 50}, {1192, 1040, 20}, {1192, 520, 75}}));
  const struct {
    std::int32_t customer, article;
    int discount;
  } cases[] = {{1192, 520, 75}, {1192, 1040, 20}, {1192, 0, 0}, {0, 520, 0}, {0, -1, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(LookupDiscount(app, c.customer, c.article), c.discount) << c.customer << "/" << c.article;
}

TEST_F(DiscountFileTest, RewritesTouchOnlyTheirOwnFieldThroughout) {
  const std::vector<std::uint8_t> tail = {1, 2, 3};
  testsupport::WriteBytes(path(), DiscountBytes({{1, 520, 10}, {520, 1, 20}, {2, 520, 30}, {520, 520, 40}}, tail));
  ASSERT_EQ(RewriteArticleReference(app, 520, 1040), 1);
  ASSERT_EQ(RewriteCustomerReference(app, 520, 7), 1);
  EXPECT_EQ(ReadBytes(path()), DiscountBytes({{1, 1040, 10}, {7, 1, 20}, {2, 1040, 30}, {7, 1040, 40}}, tail));

  // A file of many blocks: older and newer entries of a pair a block apart.
  std::vector<DiscountEntry> entries(9000, DiscountEntry{100000, 5, 1});
  entries[3] = {8, 8, 11};
  entries[10] = {9, 9, 12};
  entries[8500] = {9, 9, 13};
  entries[4100] = {4, 520, 14};
  testsupport::WriteBytes(path(), DiscountBytes(entries));
  EXPECT_EQ(LookupDiscount(app, 8, 8), 11);
  EXPECT_EQ(LookupDiscount(app, 9, 9), 13);
  ASSERT_EQ(RewriteArticleReference(app, 520, 1040), 1);
  EXPECT_EQ(LookupDiscount(app, 4, 1040), 14);
  EXPECT_EQ(LookupDiscount(app, 4, 520), 0);
}

}  // namespace
}  // namespace store
