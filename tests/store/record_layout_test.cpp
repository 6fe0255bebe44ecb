// The field tables that name the bytes of every record, and the two places
// where a record is addressed by number rather than by member.
#include <gtest/gtest.h>

#include <set>
#include <cstddef>
#include <string>
#include <utility>
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

const FieldDescriptor* Find(FieldTable table, const std::string& name) {
  for (const FieldDescriptor& field : table)
    if (name == field.name) return &field;
  return nullptr;
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

// The dump names are a contract for scripts: each names its member.
TEST(FieldTables, DumpNamesNameTheirMembers) {
  const struct {
    FieldTable table;
    const char* name;
    std::size_t offset;
  } rows[] = {{ArticleRecordFields(), "price_1", offsetof(ArticleRecord, price1)},
              {ArticleRecordFields(), "stock", offsetof(ArticleRecord, stock)},
              {AddressRecordFields(), "name_2", offsetof(AddressRecord, name2)},
              {OrderHeadFields(), "customer_ref", offsetof(OrderHead, customerRef)},
              {OrderLineFields(), "article_ref", offsetof(OrderLine, articleRef)},
              {OrderIndexEntryFields(), "order_number", offsetof(OrderIndexEntry, orderNumber)},
              {DiscountEntryFields(), "discount", offsetof(DiscountEntry, discount)},
              {ParameterRecordFields(), "exchange_rates", offsetof(ParameterRecord, exchangeRates)}};
  for (const auto& row : rows) {
    const FieldDescriptor* field = Find(row.table, row.name);
    ASSERT_NE(field, nullptr) << row.name;
    EXPECT_EQ(field->offset, row.offset) << row.name;
  }
}

// The bits and codes the stored files carry: a constant moved to another bit
// still compiles and runs, and misreads every record already stored.
TEST(RecordCodes, BitsAndCodesOfTheStoredFiles) {
  const std::pair<long, long> codes[] = {
      {kOrderQuotationPrinted, 1}, {kOrderDeliveryNotePrinted, 2}, {kOrderInvoicePrinted, 4},
      {kOrderBooked, 8}, {kOrderHasBackOrder, 16}, {kOrderConfirmationPrinted, 32},
      {kOrderCostEstimatePrinted, 64}, {kOrderPricesIncludeTax, 128}, {kOrderGrossAsNet, 256},
      {kLineSpecialPrice, 1}, {kLineBackOrder, 2}, {kLineBooked, 4}, {kLineNotInInvoiceRegister, 8},
      {kTaxCodeNone, 1}, {kTaxCodeRate1, 7}, {kTaxCodeRate2, 15}, {kNoCustomer, -1},
      {kAddressCustomer, 1}, {kAddressSupplier, 2}, {kAddressAdvertising, 4}, {kAddressOther, 8},
      {kSalutationCompany, 1}, {kSalutationMr, 2}, {kSalutationMrs, 4}, {kSalutationAn, 8},
      {kAddressNoDunning, 32}, {kAddressPrintDiscountSum, 128},
      {kArticleNoTax, 2}, {kArticleTaxRate1, 4}, {kArticleTaxRate2, 8}, {kNewArticleFlags, 8}};
  for (std::size_t row = 0; row < std::size(codes); ++row)
    EXPECT_EQ(codes[row].first, codes[row].second) << "row " << row;
}

// Delivery line n is reached by number; lines 6 and 7 are the short ones.
TEST(AddressRecord, DeliveryLinesByNumber) {
  AddressRecord address{};
  const char* lines[] = {address.deliveryLine1, address.deliveryLine2, address.deliveryLine3,
                         address.deliveryLine4, address.deliveryLine5, address.deliveryLine6,
                         address.deliveryLine7};
  for (int line = 1; line <= 7; ++line) {
    EXPECT_EQ(DeliveryLine(address, line).data(), lines[line - 1]) << line;
    EXPECT_EQ(DeliveryLine(address, line).size(), line < 6 ? 42u : 22u) << line;
  }
  EXPECT_TRUE(DeliveryLine(address, 0).empty());
  EXPECT_TRUE(DeliveryLine(address, 8).empty());
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
