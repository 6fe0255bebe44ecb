// The field tables that name the bytes of every record, and the two places
// where a record is addressed by number rather than by member.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "store/address_record.h"
#include "store/article_record.h"
#include "store/discount_entry.h"
#include "store/index_entry.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace store {
namespace {

struct NamedTable {
  const char* record;
  FieldTable table;
  std::size_t size;
};

std::vector<NamedTable> AllTables() {
  return {
      {"ArticleRecord", ArticleRecordFields(), sizeof(ArticleRecord)},
      {"AddressRecord", AddressRecordFields(), sizeof(AddressRecord)},
      {"OrderHead", OrderHeadFields(), sizeof(OrderHead)},
      {"OrderLine", OrderLineFields(), sizeof(OrderLine)},
      {"ArticleIndexEntry", ArticleIndexEntryFields(), sizeof(ArticleIndexEntry)},
      {"AddressIndexEntry", AddressIndexEntryFields(), sizeof(AddressIndexEntry)},
      {"OrderIndexEntry", OrderIndexEntryFields(), sizeof(OrderIndexEntry)},
      {"DiscountEntry", DiscountEntryFields(), sizeof(DiscountEntry)},
      {"ParameterRecord", ParameterRecordFields(), sizeof(ParameterRecord)},
  };
}

// A forgotten, doubled or misplaced row shows up as a gap or an overlap; the
// names are the dump's keys and unique.
TEST(FieldTables, CoverEachRecordExactlyOnceInOffsetOrder) {
  for (const NamedTable& t : AllTables()) {
    SCOPED_TRACE(t.record);
    ASSERT_FALSE(t.table.empty());
    std::size_t next = 0;
    std::set<std::string> seen;
    for (const FieldDescriptor& field : t.table) {
      SCOPED_TRACE(field.name);
      EXPECT_EQ(field.offset, next);
      EXPECT_GT(field.width, 0u);
      next = field.offset + field.width;
      EXPECT_TRUE(seen.insert(field.name).second) << "duplicate name";
      // A numeric field is a whole number of its elements.
      std::size_t element = detail::ElementWidth(field.kind);
      EXPECT_EQ(field.width, element ? element * field.count : field.width);
      EXPECT_TRUE(element || field.count == 1);
    }
    EXPECT_EQ(next, t.size);
  }
}

// Delivery line n is reached by number; lines 6 and 7 are the short ones.
TEST(AddressRecord, DeliveryLinesByNumber) {
  AddressRecord address{};
  EXPECT_EQ(DeliveryLine(address, 1).data(), address.deliveryLine1);
  EXPECT_EQ(DeliveryLine(address, 5).data(), address.deliveryLine5);
  EXPECT_EQ(DeliveryLine(address, 7).data(), address.deliveryLine7);
  EXPECT_EQ(DeliveryLine(address, 6).size() + DeliveryLine(address, 0).size() +
                DeliveryLine(address, 8).size(),
            22u);
}

// Rate k of currency c is slot 3c + k - 1 of the table at 1444; slot 9 is the
// fourth-currency flag and slots 10 and 11 the reserved bytes behind it.
TEST(ParameterRecord, TaxRateAddressesTheTwelveSlotTable) {
  ParameterRecord parameters{};
  auto* raw = reinterpret_cast<unsigned char*>(&parameters);
  raw[1444 + 6 + 2] = 0x40;  // 320 = 32.0 %
  raw[1444 + 6 + 2 + 1] = 0x01;
  EXPECT_EQ((std::vector{TaxRate(parameters, 1, 1), TaxRate(parameters, 1, 2), TaxRate(parameters, 1, 3)}),
            (std::vector<std::int16_t>{0, 320, 0}));
  SetTaxRate(parameters, 2, 3, 190);
  EXPECT_EQ(+parameters.taxRates[8], 190);
  parameters.fourthCurrencyPrint = 1;
  EXPECT_EQ(TaxRateSlot(parameters, 9), 1);
  SetTaxRateSlot(parameters, 11, -1);
  EXPECT_EQ(raw[1466], 0xFF);
  EXPECT_EQ(+parameters.exchangeRates[0], 0.0f);  // nothing spilled past slot 11
}

}  // namespace
}  // namespace store
