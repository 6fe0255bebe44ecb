// The address file: renaming name line 2 and the references that follow,
// unique customer numbers, the selection criteria and the duplicate test.
#include "store/address_file.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::AddOrder;
using testsupport::MakeAddress;
using testsupport::ReadBytes;

using AddressFileTest = testsupport::StoreTest;

TEST_F(AddressFileTest, RenamingMovesTheRecordAndEveryOrderFollows) {
  Add(MakeAddress("Meier"));     // offset 0
  Add(MakeAddress("Schulz"));    // offset 1192
  AddOrder(app, 0, {{"a"}});     // head at 0
  AddOrder(app, 1192, {{"b"}});  // head at 482
  AddOrder(app, 0, {{"c"}});     // head at 964
  // Deleting the last entry leaves it behind the count, still naming Meier.
  std::int32_t last = 2;
  ASSERT_EQ(DeleteOrderEntry(app, last), 1);
  testsupport::WriteBytes(dir.file("RABATT.DAT"),
                         testsupport::DiscountBytes({{0, 5, 40}, {1192, 5, 20}, {1192, 0, 15}, {0, 7, 10}}));
  const std::vector<std::uint8_t> ordersBefore = ReadBytes(dir.file("RECHNUNG.DAT"));

  std::int32_t position = 0;
  AddressRecord meier{};
  ASSERT_EQ(ReadAddress(app, meier, position), 1);
  ASSERT_EQ(GetText(meier.name2), "Meier");
  SetText(meier.name2, "Zander");
  ASSERT_EQ(WriteAddress(app, meier, position, false), 1);
  EXPECT_EQ(position, 1);
  EXPECT_EQ(ReadBytes(dir.file("KUNDEN.DAT")).size(), 3u * 1192);

  std::vector<std::uint32_t> refs;
  for (const auto& e : testsupport::IndexEntries<OrderIndexEntry>(dir.file("RECHNUNG.IDX"), 2, true))
    refs.push_back(+e.customerRef);
  EXPECT_EQ(refs, (std::vector<std::uint32_t>{2384, 1192, 2384}));

  std::vector<std::uint8_t> expected = ordersBefore;
  testsupport::WriteAt<std::int32_t>(expected, 0 + 2, 2384);
  testsupport::WriteAt<std::int32_t>(expected, 964 + 2, 2384);
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), expected);

  EXPECT_EQ(ReadBytes(dir.file("RABATT.DAT")),
            testsupport::DiscountBytes({{2384, 5, 40}, {1192, 5, 20}, {1192, 0, 15}, {2384, 7, 10}}));
}

TEST_F(AddressFileTest, CustomerNumberIsRaisedUntilFree) {
  Add(MakeAddress("Alpha", "1001"));
  Add(MakeAddress("Beta", "1000"));
  Add(MakeAddress("Gamma", "ABC"));
  struct Case {
    const char* name2;
    const char* number;
    int result;
    const char* after;
  };
  const Case cases[] = {
      {"Delta", "1000", 0, "1002"},  // 1000 taken, then 1001 too
      {"Delta", "1001", 0, "1002"}, {"Delta", "1005", 0, "1005"},
      {"Beta", "1000", 0, "1000"},  // the address itself
      {"Delta", "abc", 1, "abc"},   // letters cannot be raised
      {"Delta", "", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name2) + " " + c.number);
    AddressRecord address = MakeAddress(c.name2, c.number);
    EXPECT_EQ(MakeCustomerNumberUnique(app, address), c.result);
    EXPECT_EQ(GetText(address.customerNumber), c.after);
  }
}

TEST_F(AddressFileTest, CriteriaCoverEveryTextAndTheNumberReadsAsWholeNumber) {
  AddressRecord address = MakeAddress("Kunz & Sohn", "0007", "Holzhandel");
  SetText(address.street, "Lindenweg 4");
  SetText(address.town, "12345 Oberdorf");
  SetText(address.remark, "liefert\r\nfreitags");
  SetText(address.name3, "Abteilung Einkauf");
  const struct {
    std::size_t offset, width;
    const char* present;
  } fields[] = {{offsetof(AddressRecord, name1), 42, "HOLZ"},    {offsetof(AddressRecord, street), 42, "linden"},
                {offsetof(AddressRecord, town), 42, "oberd"},    {offsetof(AddressRecord, remark), 402, "FREITAG"},
                {offsetof(AddressRecord, name2), 42, "kunz"},    {offsetof(AddressRecord, name3), 42, "einkauf"}};
  for (const auto& field : fields) {
    SCOPED_TRACE(field.present);
    AddressRecord criteria{};
    char* text = reinterpret_cast<char*>(&criteria) + field.offset;
    SetText(text, field.width, field.present);
    EXPECT_TRUE(MatchAddress(criteria, address));
    SetText(text, field.width, std::string("#") + field.present);
    EXPECT_FALSE(MatchAddress(criteria, address));
  }
  AddressRecord criteria{};
  SetText(criteria.customerNumber, "7");
  for (auto [number, match] : {std::pair{"0007", true}, {"7", true}, {"70", false}, {"", false}}) {
    SetText(address.customerNumber, number);
    EXPECT_EQ(MatchAddress(criteria, address), match) << number;
  }
}

TEST_F(AddressFileTest, SecondNameMustMatchExactly) {
  std::int32_t first = Add(MakeAddress("Meier"));
  for (auto [name2, taken] : {std::pair{"Meier", 1}, {"MEIER", 0}, {"Meier ", 0}})
    EXPECT_EQ(SecondNameExists(app, MakeAddress(name2), true), taken) << name2;

  // Not new: the entry at the current position is the address itself.
  AddressRecord meier{};
  ASSERT_EQ(ReadAddress(app, meier, first), 1);
  EXPECT_EQ(SecondNameExists(app, meier, false), 0);
  Add(MakeAddress("Meier"));
  ASSERT_EQ(ReadAddress(app, meier, 0), 1);
  EXPECT_EQ(SecondNameExists(app, meier, false), 1);
}

}  // namespace
}  // namespace store
