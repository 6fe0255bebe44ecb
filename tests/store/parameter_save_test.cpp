// Two copies of the program save their settings into one parameter file:
// each writes only what it changed, over what the other saved meanwhile.
#include <functional>
#include <string>

#include "store/parameter_file.h"
#include "store/records_test_support.h"

namespace {

using testsupport::StoreTest;

class ParameterSaveTest : public StoreTest {};

TEST_F(ParameterSaveTest, EachCopyWritesOnlyTheFieldsItChanged) {
  using P = store::ParameterRecord;
  struct Case {
    std::string name;
    std::function<void(P&)> first;   // saved by the copy that started first, last
    std::function<void(P&)> second;  // saved meanwhile by the other copy
    std::function<void(const P&)> expect;
  };
  const Case cases[] = {
      {"two texts",
       [](P& p) { store::SetText(p.companyName1, "Holzwurm GmbH"); },
       [](P& p) { store::SetText(p.street, "Eichenweg 12"); },
       [](const P& p) {
         EXPECT_EQ(store::GetText(p.companyName1), "Holzwurm GmbH");
         EXPECT_EQ(store::GetText(p.street), "Eichenweg 12");
       }},
      {"a print option beside the currencies",
       [](P& p) { p.printSignature = 1; },
       [](P& p) {
         store::SetText(p.currencySymbol1, "EUR");
         p.exchangeRates[1] = 1.95583f;
       },
       [](const P& p) {
         EXPECT_EQ(+p.printSignature, 1);
         EXPECT_EQ(store::GetText(p.currencySymbol1), "EUR");
         EXPECT_EQ(p.exchangeRates[1], 1.95583f);
       }},
      {"one field changed by both: the later save's value",
       [](P& p) { p.dunningFees[0] = 5; },
       [](P& p) { p.dunningFees[0] = 3; },
       [](const P& p) { EXPECT_EQ(+p.dunningFees[0], 5); }},
      {"a field typed and taken back is not this copy's change",
       [](P& p) {
         const P shown = p;
         store::SetText(p.town, "34117 Kassel");
         std::memcpy(p.town, shown.town, sizeof p.town);
       },
       [](P& p) { store::SetText(p.town, "Ulm"); },
       [](const P& p) { EXPECT_EQ(store::GetText(p.town), "Ulm"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frame::AppState first = OtherCopy(dir.path());
    frame::AppState second = OtherCopy(dir.path());
    c.second(second.parameters);
    ASSERT_EQ(frame::SaveParameters(second), 1);
    c.first(first.parameters);
    ASSERT_EQ(frame::SaveParameters(first), 1);
    c.expect(OtherCopy(dir.path()).parameters);
    c.expect(first.parameters);  // memory holds what the file holds
  }
}

// The counter is the file's: numbers another copy drew meanwhile are never
// handed out again; a number the user typed is taken as typed.
TEST_F(ParameterSaveTest, TheCounterIsTheFilesUnlessTyped) {
  frame::AppState settings = OtherCopy(dir.path());
  const std::uint32_t before = settings.nextOrderNumber;
  testsupport::AddOrder(app, 0, {{"eins"}});
  testsupport::AddOrder(app, 0, {{"zwei"}});
  settings.parameters.printPreview = 1;
  ASSERT_EQ(frame::SaveParameters(settings), 1);
  EXPECT_EQ(OtherCopy(dir.path()).nextOrderNumber, before + 2);
  settings.nextOrderNumber = 2612000001u;
  ASSERT_EQ(frame::SaveParameters(settings, frame::OrderCounter::FromMemory), 1);
  EXPECT_EQ(OtherCopy(dir.path()).nextOrderNumber, 2612000001u);
}

}  // namespace
