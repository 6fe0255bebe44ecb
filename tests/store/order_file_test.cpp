// The order file: where orders go, changing and finding them, reading them
// back with their customer, the order numbers, and two copies of the
// program storing at the same time.
#include "store/order_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "store/parameter_file.h"
#include "store/records_test_support.h"

namespace store {
namespace {

using testsupport::AddOrder;
using testsupport::LineSpec;
using testsupport::MakeAddress;
using testsupport::ReadBytes;

class OrderFileTest : public testsupport::StoreTest {
 protected:
  std::uint32_t CounterInFile() {
    return testsupport::ReadAt<std::uint32_t>(ReadBytes(dir.file("BELVON.PAR")), 0);
  }
  void SaveCounter(std::uint32_t counter, bool plusOne = false) {
    app.nextOrderNumber = counter;
    app.parameters.plusOneNumbering = plusOne ? 1 : 0;
    ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  }
  std::string LineText(int slot) { return std::string(GetText(app.orderLines[slot].description1)); }
};

TEST_F(OrderFileTest, ChangedOrderIsAppendedAndKeepsItsNumberAndPlace) {
  AddOrder(app, 0, {{"a1"}});                                     // 0 .. 482
  OrderHead second = AddOrder(app, 0, {{"b1"}, {"b2"}, {"b3"}});  // 482 .. 1768
  AddOrder(app, 0, {{"c1"}});                                     // 1768 .. 2250
  const std::vector<std::uint8_t> before = ReadBytes(dir.file("RECHNUNG.DAT"));
  ASSERT_EQ(before.size(), 2250u);

  OrderHead head{};
  ASSERT_EQ(ReadOrder(app, head, 1), 1);
  app.orderLines[4] = testsupport::MakeLine({"b4"});
  app.orderLines[5] = testsupport::MakeLine({"b5"});
  head.lineCount = 5;
  std::int32_t position = 1;
  ASSERT_EQ(DeleteOrderEntry(app, position), 1);
  ASSERT_EQ(StoreOrder(app, head, position, StoreMode::SameNumber), 1);
  EXPECT_EQ(position, 1);
  EXPECT_EQ(+app.orders.entry.offset, 2250u);
  std::vector<std::uint8_t> after = ReadBytes(dir.file("RECHNUNG.DAT"));
  ASSERT_EQ(after.size(), 2250u + 80 + 5 * 402);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
  EXPECT_EQ(CounterInFile(), 126120004u);

  app.orderLines = std::vector<OrderLine>(kOrderLineSlots);
  ASSERT_EQ(ReadOrder(app, head, 1), 1);
  EXPECT_EQ(std::pair(+head.orderNumber, +app.orderLines[5].orderNumber),
            std::pair(+second.orderNumber, +second.orderNumber));
  EXPECT_EQ(LineText(1) + LineText(5), "b1b5");
}

TEST_F(OrderFileTest, RewriteStaysInPlaceAndLeavesTheNextOrderAlone) {
  AddOrder(app, 0, {{"a1"}, {"a2"}});
  AddOrder(app, 0, {{"b1"}});
  const std::vector<std::uint8_t> index = ReadBytes(dir.file("RECHNUNG.IDX"));
  const std::vector<std::uint8_t> before = ReadBytes(dir.file("RECHNUNG.DAT"));
  OrderHead head{};
  std::int32_t position = 0;
  ASSERT_EQ(ReadOrder(app, head, position), 1);
  head.paid = 1234;
  SetText(app.orderLines[2].description1, "bezahlt");
  ASSERT_EQ(StoreOrder(app, head, position, StoreMode::Rewrite), 1);

  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.IDX")), index);
  std::vector<std::uint8_t> after = ReadBytes(dir.file("RECHNUNG.DAT"));
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin() + 884, before.end(), after.begin() + 884));
  ASSERT_EQ(ReadOrder(app, head, 0), 1);
  EXPECT_EQ(+head.paid, 1234);
  EXPECT_EQ(LineText(1) + LineText(2), "a1bezahlt");
  // A line more would run into the next order: refused, nothing written.
  head.lineCount = 3;
  EXPECT_EQ(StoreOrder(app, head, position, StoreMode::Rewrite), 0);
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), after);
}

TEST_F(OrderFileTest, FindsByCustomerOrByNumber) {
  std::vector<std::int32_t> numbers;
  for (std::int32_t customer : {0, 1192, 0, 1192}) numbers.push_back(+AddOrder(app, customer, {}).orderNumber);
  const struct {
    std::int32_t customer, number, from;
    bool forward;
    int result;
    std::int32_t at;
  } cases[] = {
      {1192, 0, -1, true, 1, 1}, {1192, 0, 1, true, 1, 3}, {1192, 0, 3, true, 0, 3},
      {1192, 0, 3, false, 1, 1}, {1192, numbers[2], -1, true, 1, 2}, {1192, numbers[2], 2, true, 0, 2},
      {1192, numbers[2], 3, false, 1, 2},
      {1192, numbers[2], 9, true, 1, 0},  // a position beyond the end starts over
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.number) + " from " + std::to_string(c.from));
    OrderHead criteria{};
    criteria.customerRef = c.customer;
    criteria.orderNumber = c.number;
    std::int32_t position = c.from;
    EXPECT_EQ(FindOrder(app, criteria, position, c.forward), c.result);
    EXPECT_EQ(position, c.at);
  }
}

TEST_F(OrderFileTest, ReadingLoadsTheCustomerOnlyWhenItIsNotTheCurrentOne) {
  for (const char* name : {"Meier", "Schulz"}) Add(MakeAddress(name));
  AddOrder(app, 0, {{"m"}});
  AddOrder(app, 1192, {{"s"}});
  AddressRecord current{};
  ASSERT_EQ(ReadAddress(app, current, 0), 1);  // Meier is the current address
  SetText(app.orderAddress.name2, "unangetastet");
  OrderHead head{};
  for (auto [position, shown] : {std::pair{0, "unangetastet"}, {1, "Schulz"}, {0, "Schulz"}}) {
    ASSERT_EQ(ReadOrder(app, head, position), 1);
    EXPECT_EQ(GetText(app.orderAddress.name2), shown) << position;
  }
}

TEST_F(OrderFileTest, UnreadableHeadsAndDeletedCustomers) {
  AddOrder(app, 0, {{"a"}});
  AddOrder(app, -1, {{"b"}});
  const std::vector<std::uint8_t> sound = ReadBytes(dir.file("RECHNUNG.DAT"));
  // Each damage of the first head, made by writing one 16-bit field of it.
  const struct {
    const char* what;
    std::size_t at;
    std::int16_t value;
  } damages[] = {{"no point in the date", 11, '-' << 8 | '3'},
                 {"line count beyond the table", 24, 2000}, {"line count 370", 24, 370},
                 {"negative line count", 24, -1}, {"length 0", 0, 0}, {"length 1", 0, 1}};
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::vector<std::uint8_t> data = sound;
    testsupport::WriteAt(data, damage.at, damage.value);
    testsupport::WriteBytes(dir.file("RECHNUNG.DAT"), data);
    ui.shown.clear();
    // A head left from the order read before must not come back as this one.
    OrderHead head{};
    head.orderNumber = 4711;
    head.lineCount = 3;
    SetText(head.orderDate, "01.12.2026");
    EXPECT_EQ(ReadOrder(app, head, 0), 0);
    EXPECT_EQ(+head.orderNumber, 4711);
    EXPECT_EQ(+head.lineCount, 3);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Probleme mit Auftrag #126120001\nAuftrag kann nicht gelesen werden.");
    EXPECT_EQ(ui.shown[0].icon, frame::Icon::Exclamation);
  }
  OrderHead head{};
  EXPECT_EQ(ReadOrder(app, head, 1), 0);  // its customer was deleted: silently
  EXPECT_EQ(ReadOrder(app, head, 2), 0);  // beyond the last entry
  EXPECT_EQ(ui.shown.size(), 1u);
}

// An order whose lines are not all in the file is refused whole: never
// shown with lines another order left in the table, which its next save
// would store as its own.
TEST_F(OrderFileTest, AnOrderCutShortIsRefusedNotMixedWithAnother) {
  AddOrder(app, 0, {{"a1"}, {"a2"}, {"a3"}});  // 0 .. 1286
  AddOrder(app, 0, {{"b1"}, {"b2"}});          // 1286 .. 2170
  const std::vector<std::uint8_t> sound = ReadBytes(dir.file("RECHNUNG.DAT"));
  const struct {
    const char* what;
    std::size_t size;       // RECHNUNG.DAT cut to this size
    std::size_t at;         // then the 16-bit value written here
    std::uint16_t value;
  } damages[] = {{"cut inside the second line", 2170 - 100, 0, 402},
                 {"cut behind the first line", 2170 - 402, 0, 402},
                 {"cut behind the head", 1286 + 80, 0, 402},
                 {"cut inside the head", 1286 + 40, 0, 402},
                 {"second line framed by length 0", 2170, 1286 + 80 + 402, 0}};
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::vector<std::uint8_t> data(sound.begin(), sound.begin() + damage.size);
    if (damage.at) testsupport::WriteAt(data, damage.at, damage.value);
    testsupport::WriteBytes(dir.file("RECHNUNG.DAT"), data);
    OrderHead head{};
    ASSERT_EQ(ReadOrder(app, head, 0), 1);
    ui.shown.clear();
    EXPECT_EQ(ReadOrder(app, head, 1), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Probleme mit Auftrag #126120002\nAuftrag kann nicht gelesen werden.");
    EXPECT_EQ(+head.lineCount, 3) << "the order read before stays";
    EXPECT_EQ(LineText(1) + LineText(2) + LineText(3), "a1a2a3");
  }
}

TEST_F(OrderFileTest, MonthRuleOnTheThirdOfDecember) {
  const struct {
    std::uint32_t counter;
    bool plusOne;
    std::vector<bool> answers;  // one per order stored
    std::vector<std::int32_t> numbers;
    std::size_t questions;
  } cases[] = {
      {126110057, false, {true}, {126120001}, 1},   {126110057, false, {false}, {126110057}, 1},
      {126120057, false, {true}, {126120057}, 0},
      {57, false, {false, false}, {57, 58}, 2},  // short numbers ask every time
      {57, true, {true, true, true}, {57, 58, 59}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.counter) + (c.plusOne ? " +1" : ""));
    SaveCounter(c.counter, c.plusOne);
    ui = testsupport::ScriptedUi{};
    std::vector<std::int32_t> numbers;
    for (bool answer : c.answers) {
      ui.answer({answer});
      numbers.push_back(+AddOrder(app, 0, {{"x"}}).orderNumber);
    }
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(CounterInFile(), static_cast<std::uint32_t>(c.numbers.back()) + 1);
    ASSERT_EQ(ui.questions().size(), c.questions);
    for (const auto& shown : ui.shown) {
      EXPECT_EQ(shown.text, "Soll die Rechnungsnummer auf Monat 12 umgeschaltet werden ?");
      EXPECT_TRUE(shown.defaultNo);
    }
  }
}

// Another copy of the program may have drawn numbers since this one read
// the parameters: storing an order, even again under its own number, and
// saving settings take the counter from the file, so it never goes down.
TEST_F(OrderFileTest, CounterComesFromTheParameterFileAndNeverGoesDown) {
  SaveCounter(126120100);
  app.nextOrderNumber = 126120005;
  EXPECT_EQ(+AddOrder(app, 0, {}).orderNumber, 126120100);
  EXPECT_EQ(CounterInFile(), 126120101u);

  app.nextOrderNumber = 126120005;
  OrderHead head{};
  ASSERT_EQ(ReadOrder(app, head, 0), 1);
  std::int32_t position = 0;
  ASSERT_EQ(DeleteOrderEntry(app, position), 1);
  ASSERT_EQ(StoreOrder(app, head, position, StoreMode::SameNumber), 1);
  EXPECT_EQ(+head.orderNumber, 126120100);
  EXPECT_EQ(app.nextOrderNumber, 126120101u);

  frame::AppState other = OtherCopy(dir.path());  // read the parameters before the first drew
  AddOrder(app, 0, {{"a"}});
  other.parameters.noDecimalsPrint = 1;
  ASSERT_EQ(frame::SaveParameters(other), 1);
  EXPECT_EQ(CounterInFile(), 126120102u);
  EXPECT_EQ(other.nextOrderNumber, 126120102u);
  // A number typed into the master data is the user's and is written.
  other.nextOrderNumber = 500;
  ASSERT_EQ(frame::SaveParameters(other, frame::OrderCounter::FromMemory), 1);
  EXPECT_EQ(CounterInFile(), 500u);
}

// A copy of the program in a process of its own: it waits for any busy file
// and must not be told or asked anything else.
constexpr int kOrdersPerCopy = 200;

int RunCopy(const std::string& directory, int copy, int startSignal) {
  char go;
  if (read(startSignal, &go, 1) != 0) return 11;
  testsupport::ScriptedUi ui;
  ui.defaultAnswer = true;
  platform::FixedClock clock{testsupport::kThirdOfDecember2026};
  frame::AppState app;
  app.dataDirectory = directory;
  app.ui = &ui;
  app.clock = &clock;
  // A short pause between attempts, so that the copies take turns often.
  app.retry.pause = std::chrono::milliseconds(1);
  frame::LoadParameters(app);
  if (!app.parameters.plusOneNumbering) return 12;
  for (int i = 0; i < kOrdersPerCopy; ++i) {
    std::vector<LineSpec> lines(1 + i % 3, LineSpec{"weitere"});
    lines[0].text = std::to_string(copy) + "/" + std::to_string(i);
    int stored = 0;
    AddOrder(app, copy * 1192, lines, &stored);
    if (!stored) return 13;
    // Read it back as the order pane does, then give the other copy a
    // moment at the index, as a user between two orders would.
    store::OrderHead head{};
    if (ReadOrder(app, head, app.orders.position) != 1 ||
        GetText(app.orderLines[1].description1) != lines[0].text)
      return 15;
    usleep(300);
  }
  for (const std::string& text : ui.texts())
    if (text.find("von einem anderen Programm benutzt") == std::string::npos) return 14;
  return 0;
}

TEST_F(OrderFileTest, TwoCopiesStoringAtOnceNeverClash) {
  SaveCounter(1000, true);
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t copies[2];
  for (int copy = 0; copy < 2; ++copy) {
    copies[copy] = fork();
    ASSERT_GE(copies[copy], 0);
    if (copies[copy] == 0) {
      close(start[1]);
      _exit(RunCopy(dir.path(), copy, start[0]));
    }
  }
  close(start[0]);
  close(start[1]);  // both copies start now
  for (pid_t pid : copies) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  auto entries = testsupport::IndexEntries<OrderIndexEntry>(dir.file("RECHNUNG.IDX"), 2);
  ASSERT_EQ(entries.size(), 2u * kOrdersPerCopy);
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(+entries[i].orderNumber, 1000 + static_cast<std::int32_t>(i));
  EXPECT_EQ(CounterInFile(), 1000u + 2 * kOrdersPerCopy);

  std::set<std::string> seen;
  for (std::int32_t position = 0; position < 2 * kOrdersPerCopy; ++position) {
    OrderHead head{};
    ASSERT_EQ(ReadOrder(app, head, position), 1) << position;
    std::string marker = LineText(1);
    int copy = 0, i = 0;
    ASSERT_EQ(std::sscanf(marker.c_str(), "%d/%d", &copy, &i), 2) << marker;
    EXPECT_EQ(std::pair(+head.customerRef, +head.lineCount), std::pair(copy * 1192, 1 + i % 3));
    EXPECT_EQ(+app.orderLines[head.lineCount].orderNumber, +head.orderNumber);
    seen.insert(marker);
  }
  EXPECT_EQ(seen.size(), 2u * kOrdersPerCopy);
}

}  // namespace
}  // namespace store
