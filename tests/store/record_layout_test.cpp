// The record structs against their field tables and against the byte
// positions that other programs and older files rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "store/address_record.h"
#include "store/article_record.h"
#include "store/discount_entry.h"
#include "store/index_entry.h"
#include "store/order_record.h"
#include "store/parameter_record.h"
#include "store/text_field.h"

namespace store {
namespace {

template <class T>
std::vector<std::uint8_t> Bytes(const T& record) {
  std::vector<std::uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &record, sizeof(T));
  return bytes;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                                std::size_t n) {
  return {bytes.begin() + offset, bytes.begin() + offset + n};
}

using B = std::vector<std::uint8_t>;

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

bool IsSnakeCase(const std::string& name) {
  if (name.empty() || !std::islower(static_cast<unsigned char>(name.front()))) return false;
  if (name.back() == '_' || name.find("__") != std::string::npos) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::islower(static_cast<unsigned char>(c)) ||
           std::isdigit(static_cast<unsigned char>(c)) || c == '_';
  });
}

const FieldDescriptor* Find(FieldTable table, const std::string& name) {
  for (const FieldDescriptor& field : table)
    if (name == field.name) return &field;
  return nullptr;
}

// A forgotten, doubled or misplaced row shows up as a gap or an overlap.
TEST(FieldTables, CoverEachRecordExactlyOnceInOffsetOrder) {
  for (const NamedTable& t : AllTables()) {
    SCOPED_TRACE(t.record);
    ASSERT_FALSE(t.table.empty());
    std::size_t next = 0;
    for (const FieldDescriptor& field : t.table) {
      SCOPED_TRACE(field.name);
      EXPECT_EQ(field.offset, next);
      EXPECT_GT(field.width, 0u);
      next = field.offset + field.width;
    }
    EXPECT_EQ(next, t.size);
  }
}

TEST(FieldTables, NamesAreUniqueSnakeCaseAndKindsFitTheirWidths) {
  for (const NamedTable& t : AllTables()) {
    SCOPED_TRACE(t.record);
    std::set<std::string> seen;
    for (const FieldDescriptor& field : t.table) {
      SCOPED_TRACE(field.name);
      EXPECT_TRUE(IsSnakeCase(field.name));
      EXPECT_TRUE(seen.insert(field.name).second) << "duplicate name";
      std::size_t element = detail::ElementWidth(field.kind);
      if (element == 0) {
        EXPECT_EQ(field.count, 1u);
      } else {
        EXPECT_EQ(field.width, element * field.count)
            << "numeric width not a whole number of elements";
      }
    }
  }
}

// The dump names are a contract for scripts; pin the ones they use most.
TEST(FieldTables, DumpContractRows) {
  struct Row {
    FieldTable table;
    const char* name;
    std::size_t offset, width;
    FieldKind kind;
    std::size_t count;
  };
  const Row rows[] = {
      {ArticleRecordFields(), "number", 2, 22, FieldKind::Text, 1},
      {ArticleRecordFields(), "price_1", 406, 4, FieldKind::I32, 1},
      {ArticleRecordFields(), "quantity_price_4", 426, 4, FieldKind::I32, 1},
      {ArticleRecordFields(), "stock", 438, 48, FieldKind::F64, 6},
      {ArticleRecordFields(), "flags", 518, 1, FieldKind::U8, 1},
      {AddressRecordFields(), "name_2", 56, 42, FieldKind::Text, 1},
      {AddressRecordFields(), "turnover", 930, 4, FieldKind::I32, 1},
      {AddressRecordFields(), "delivery_line_6", 1148, 22, FieldKind::Text, 1},
      {OrderHeadFields(), "customer_ref", 2, 4, FieldKind::I32, 1},
      {OrderHeadFields(), "line_count", 24, 2, FieldKind::I16, 1},
      {OrderLineFields(), "tax_code", 390, 2, FieldKind::I16, 1},
      {OrderLineFields(), "article_ref", 392, 4, FieldKind::I32, 1},
      {OrderIndexEntryFields(), "order_number", 4, 4, FieldKind::I32, 1},
      {DiscountEntryFields(), "discount", 8, 2, FieldKind::I16, 1},
      {ParameterRecordFields(), "dunning_periods", 858, 6, FieldKind::I16, 3},
      {ParameterRecordFields(), "dunning_title_3", 1276, 81, FieldKind::Text, 1},
      {ParameterRecordFields(), "currency_symbol_4", 1440, 4, FieldKind::Text, 1},
      {ParameterRecordFields(), "tax_rates", 1444, 18, FieldKind::I16, 9},
      {ParameterRecordFields(), "exchange_rates", 1468, 16, FieldKind::F32, 4},
      {ParameterRecordFields(), "no_customer_number_print", 3528, 2, FieldKind::I16, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FieldDescriptor* field = Find(row.table, row.name);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->offset, row.offset);
    EXPECT_EQ(field->width, row.width);
    EXPECT_EQ(field->kind, row.kind);
    EXPECT_EQ(field->count, row.count);
  }
}

TEST(ArticleRecordBytes, NumbersAreLittleEndianAtTheirOffsets) {
  ArticleRecord article{};
  article.length = kArticleRecordSize;
  SetText(article.number, "A-100");
  article.price1 = 0x01020304;
  article.purchasePrice = -2;
  article.stock[5] = 1.5;
  article.quantityOnOrder = -3.0;
  article.flags = kNewArticleFlags;
  article.currency = 2;

  B bytes = Bytes(article);
  EXPECT_EQ(Slice(bytes, 0, 2), (B{0x08, 0x02}));
  EXPECT_EQ(Slice(bytes, 2, 6), (B{'A', '-', '1', '0', '0', 0}));
  EXPECT_EQ(Slice(bytes, 406, 4), (B{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(Slice(bytes, 434, 4), (B{0xFE, 0xFF, 0xFF, 0xFF}));
  // 1.5 = 0x3FF8000000000000 in the sixth storage place.
  EXPECT_EQ(Slice(bytes, 478, 8), (B{0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
  EXPECT_EQ(Slice(bytes, 510, 8), (B{0, 0, 0, 0, 0, 0, 0x08, 0xC0}));
  EXPECT_EQ(bytes[518], 8);
  EXPECT_EQ(bytes[519], 2);

  // And back: a record read from bytes sees the same values.
  ArticleRecord read;
  std::memcpy(&read, bytes.data(), bytes.size());
  EXPECT_EQ(GetText(read.number), "A-100");
  EXPECT_EQ(read.price1, 0x01020304);
  EXPECT_EQ(read.stock[5], 1.5);
}

TEST(AddressRecordBytes, OptionsTurnoverAndDeliveryLines) {
  AddressRecord address{};
  address.kind = kAddressSupplier;
  address.turnover = 123456;
  address.salutation = kSalutationMrs | kAddressNoDunning | kAddressPrintDiscountSum;
  address.copies = 3;
  SetText(address.deliveryLine7, "Tor 2");

  B bytes = Bytes(address);
  EXPECT_EQ(Slice(bytes, 2, 2), (B{2, 0}));
  EXPECT_EQ(Slice(bytes, 930, 4), (B{0x40, 0xE2, 0x01, 0x00}));
  EXPECT_EQ(bytes[934], 4 + 32 + 128);
  EXPECT_EQ(address.salutation & kSalutationMask, kSalutationMrs);
  EXPECT_EQ(Slice(bytes, 936, 2), (B{3, 0}));
  EXPECT_EQ(Slice(bytes, 1170, 6), (B{'T', 'o', 'r', ' ', '2', 0}));

  const std::size_t offsets[] = {938, 980, 1022, 1064, 1106, 1148, 1170};
  const std::size_t widths[] = {42, 42, 42, 42, 42, 22, 22};
  const auto* base = reinterpret_cast<const char*>(&address);
  for (int line = 1; line <= 7; ++line) {
    SCOPED_TRACE(line);
    std::span<char> field = DeliveryLine(address, line);
    EXPECT_EQ(field.data() - base, static_cast<std::ptrdiff_t>(offsets[line - 1]));
    EXPECT_EQ(field.size(), widths[line - 1]);
  }
  EXPECT_TRUE(DeliveryLine(address, 0).empty());
  EXPECT_TRUE(DeliveryLine(address, 8).empty());
  EXPECT_EQ(GetText(DeliveryLine(std::as_const(address), 7).data(), 22), "Tor 2");
}

TEST(OrderRecordBytes, HeadAndLine) {
  OrderHead head{};
  head.length = kOrderHeadSize;
  head.customerRef = kNoCustomer;
  head.orderNumber = 4711;
  SetText(head.orderDate, "24.12.2024");
  head.flags = kOrderGrossAsNet | kOrderBooked;
  head.lineCount = 369;
  head.dunningLevel = 2;
  head.currency = 3;

  B bytes = Bytes(head);
  EXPECT_EQ(Slice(bytes, 0, 2), (B{80, 0}));
  EXPECT_EQ(Slice(bytes, 2, 4), (B{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Slice(bytes, 6, 4), (B{0x67, 0x12, 0, 0}));
  EXPECT_EQ(bytes[kOrderDatePointOffset], '.');
  EXPECT_EQ(Slice(bytes, 22, 2), (B{0x08, 0x01}));
  EXPECT_EQ(Slice(bytes, 24, 2), (B{0x71, 0x01}));
  EXPECT_EQ(bytes[78], 2);
  EXPECT_EQ(bytes[79], 3);

  OrderLine line{};
  line.length = kOrderLineSize;
  line.quantity = 2.0;
  line.taxCode = kTaxCodeRate2;
  line.articleRef = 520;
  line.orderNumber = -1;
  line.flags = kLineNotInInvoiceRegister | kLineSpecialPrice;

  bytes = Bytes(line);
  EXPECT_EQ(Slice(bytes, 0, 2), (B{0x92, 0x01}));
  EXPECT_EQ(Slice(bytes, 2, 8), (B{0, 0, 0, 0, 0, 0, 0, 0x40}));
  EXPECT_EQ(Slice(bytes, 390, 2), (B{15, 0}));
  EXPECT_EQ(Slice(bytes, 392, 4), (B{0x08, 0x02, 0, 0}));
  EXPECT_EQ(Slice(bytes, 396, 4), (B{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Slice(bytes, 400, 2), (B{9, 0}));
}

TEST(IndexAndDiscountBytes, WholeEntries) {
  ArticleIndexEntry article{};
  SetText(article.key, "K");
  article.offset = 0x00000208;
  B bytes = Bytes(article);
  EXPECT_EQ(bytes[0], 'K');
  EXPECT_EQ(Slice(bytes, 22, 4), (B{0x08, 0x02, 0, 0}));

  AddressIndexEntry address{};
  address.offset = 1192;
  EXPECT_EQ(Slice(Bytes(address), 42, 4), (B{0xA8, 0x04, 0, 0}));

  OrderIndexEntry order{};
  order.customerRef = 0xFFFFFFFFu;  // the address was deleted
  order.orderNumber = 2;
  order.offset = 0x010000;
  EXPECT_EQ(Bytes(order), (B{0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0, 0, 1, 0}));

  DiscountEntry discount{1192, -1, 75};
  EXPECT_EQ(Bytes(discount), (B{0xA8, 0x04, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 75, 0}));
}

TEST(ParameterRecordBytes, CurrencyBlock) {
  ParameterRecord parameters{};
  SetText(parameters.currencySymbol4, "\x80");
  parameters.exchangeRates[0] = 1.0f;
  parameters.exchangeRates[3] = 2.0f;
  parameters.fourthCurrencyPrint = 1;
  parameters.grossPrices = 1;

  B bytes = Bytes(parameters);
  EXPECT_EQ(Slice(bytes, 1440, 4), (B{0x80, 0, 0, 0}));
  EXPECT_EQ(Slice(bytes, 1468, 4), (B{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(Slice(bytes, 1480, 4), (B{0, 0, 0, 0x40}));
  EXPECT_EQ(Slice(bytes, 1484, 2), (B{1, 0}));
}

TEST(ParameterRecordBytes, TaxRateAddressesTheTwelveSlotTable) {
  ParameterRecord parameters{};
  // Rate k of currency c lives at 1444 + 6c + 2(k - 1).
  auto* raw = reinterpret_cast<unsigned char*>(&parameters);
  raw[1444 + 6 + 2] = 0x40;  // 320 = 32.0 %
  raw[1444 + 6 + 2 + 1] = 0x01;
  EXPECT_EQ(TaxRate(parameters, 1, 2), 320);
  EXPECT_EQ(parameters.taxRates[4], 320);
  EXPECT_EQ(TaxRate(parameters, 1, 1), 0);
  EXPECT_EQ(TaxRate(parameters, 1, 3), 0);

  SetTaxRate(parameters, 2, 3, 190);
  EXPECT_EQ(Slice(Bytes(parameters), 1444 + 12 + 4, 2), (B{190, 0}));
  EXPECT_EQ(parameters.taxRates[8], 190);

  // The last three slots are the fourth-currency flag and the reserved bytes.
  parameters.fourthCurrencyPrint = 1;
  EXPECT_EQ(TaxRateSlot(parameters, 9), 1);
  SetTaxRateSlot(parameters, 11, -1);
  EXPECT_EQ(Slice(Bytes(parameters), 1464, 4), (B{0, 0, 0xFF, 0xFF}));
  EXPECT_EQ(parameters.exchangeRates[0], 0.0f);  // nothing spilled past slot 11
}

}  // namespace
}  // namespace store
