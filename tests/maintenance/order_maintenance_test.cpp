// Deleting old invoices, the currency changeover and the lock test at
// start-up, on real data directories.
#include <gtest/gtest.h>

#include <algorithm>

#include "maintenance/currency_changeover.h"
#include "maintenance/lock_test.h"
#include "maintenance/maintenance_test_support.h"
#include "maintenance/order_rebuild.h"
#include "orders/issue_statement.h"
#include "store/issue_file.h"
#include "support/case_table.h"
#include "support/order_book.h"

namespace maintenance {
namespace {

using namespace testsupport;

struct OrderMaintenance : OrderBook, ::testing::Test {
  // Overwrites 4 bytes of the head of the stored order `number`.
  void PatchHead(std::int32_t number, std::size_t at, std::int32_t value) {
    Bytes index = ReadBytes(dir.file("RECHNUNG.IDX")), data = ReadBytes(dir.file("RECHNUNG.DAT"));
    for (std::size_t e = 2; e + 12 <= index.size(); e += 12)
      if (At<std::int32_t>(index, e + 4) == number)
        std::memcpy(&data[At<std::uint32_t>(index, e + 8) + at], &value, 4);
    WriteBytes(dir.file("RECHNUNG.DAT"), data);
  }
};

TEST_F(OrderMaintenance, OrdersDatedInTheRangeAreDeletedBothEndsIncluded) {
  const std::int32_t kunde = customer("Kunde");
  const char* dates[] = {"31.12.2024", "01.01.2025", "15.06.2025", "31.12.2025", "01.01.2026"};
  std::vector<std::int32_t> numbers;
  for (const char* date : dates) numbers.push_back(+order(kunde, 0, {{2, 100}}, date).orderNumber);
  EXPECT_EQ(DeleteOldInvoices(app, "01.01.2025", "31.12.2025"), 1);
  EXPECT_EQ(app.orders.lastIndex, 1);
  std::vector<store::OrderLine> lines;
  EXPECT_EQ(stored(numbers[0]).orderNumber + stored(numbers[4], &lines).orderNumber,
            numbers[0] + numbers[4]);
  EXPECT_EQ(lines[1].salePrice + 0, 100) << "the lines come along";
  EXPECT_EQ(FileSize(dir.file("RECHNUNG.DAT")), 2 * (80 + 402));
  EXPECT_TRUE(ui.questions().empty());
  EXPECT_EQ(DeleteOldInvoices(app, "", "31.12.2025") + app.orders.lastIndex, 1) << "empty from";
}

// The deletion of old invoices refuses such a file (the structure test sees
// it); the conversion of the previous format still puts them to the user.
TEST_F(OrderMaintenance, InconsistentOrdersAreDeletedOnlyWhenTheUserSaysSo) {
  OrderRebuild rebuild;
  rebuild.byDate = true;
  rebuild.from = rebuild.to = "01.01.1990";
  struct Case {
    std::vector<bool> answers;
    std::size_t questions;
    bool kept;
  } cases[] = {{{false, false}, 2, true}, {{false, true}, 2, false}, {{true}, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers.size() + 10 * c.answers[0]);
    const std::int32_t number = order(customer("Kunde"), 0, {}, "01.02.2026").orderNumber;
    PatchHead(number, 6, 4711);  // the head calls itself 4711
    PatchHead(number, 2, -1);    // and its address is gone
    ui = ScriptedUi{};
    for (bool a : c.answers) ui.answer({a});
    ASSERT_EQ(RebuildOrderFile(app, rebuild), 1);
    ASSERT_EQ(ui.questions().size(), c.questions);
    EXPECT_NE(ui.questions()[0].find("Probleme mit Auftrag Nr: "), std::string::npos);
    EXPECT_EQ(app.orders.lastIndex, c.kept ? 0 : -1);
    OrderRebuild clear = rebuild;
    clear.from = "01.01.2026", clear.to = "01.02.2026";
    if (c.kept) RebuildOrderFile(app, clear);
  }
}

// An order kept by the deletion is kept whole: one whose lines are cut
// short stops the run, told by its number, and nothing changes.
TEST_F(OrderMaintenance, AnOrderWithLinesCutShortStopsTheDeletion) {
  const std::int32_t kunde = customer("Kunde");
  order(kunde, 0, {{1, 100}}, "01.02.2025");
  const std::int32_t cut = order(kunde, 0, {{1, 100}, {2, 200}}, "01.02.2026").orderNumber;
  Bytes data = ReadBytes(dir.file("RECHNUNG.DAT"));
  data.resize(data.size() - 100);
  WriteBytes(dir.file("RECHNUNG.DAT"), data);
  const auto before = Files(dir.path());
  EXPECT_EQ(DeleteOldInvoices(app, "01.01.2025", "31.12.2025"), 0);
  EXPECT_EQ(Files(dir.path()), before);
  // Told by the structure test or by the deletion itself, the order is named.
  EXPECT_TRUE(std::any_of(ui.shown.begin(), ui.shown.end(), [cut](const auto& shown) {
    return shown.text.find(std::to_string(cut)) != std::string::npos;
  }));
}

TEST_F(OrderMaintenance, ChangeoverConvertsEveryFileOnlyFromDm) {
  const std::int32_t kunde = customer("Kunde"), artikel = article("A1", 1);
  const std::int32_t thousand = 1000;
  for (auto [file, at] : {std::pair{"KUNDEN.DAT", kunde + 930},
                          {"ARTIKEL.DAT", artikel + 406},
                          {"ARTIKEL.DAT", artikel + 434}}) {
    Bytes bytes = ReadBytes(dir.file(file));
    std::memcpy(&bytes[at], &thousand, 4);
    WriteBytes(dir.file(file), bytes);
  }
  const std::int32_t number = order(kunde, 0, {{1, 1000, artikel}}).orderNumber;
  const std::uint32_t next = OtherCopy(dir.path()).nextOrderNumber;
  app.nextOrderNumber = 1;  // stale: other copies drew numbers since
  for (const char* first : {"EUR", "DMK"}) {
    SCOPED_TRACE(first);
    store::SetText(app.parameters.currencySymbol1, first);
    ui = ScriptedUi{};
    ui.defaultAnswer = true;
    EXPECT_EQ(CurrencyChangeover(app), first[0] == 'D');
  }
  EXPECT_EQ(ui.texts().size(), 1u) << "no message after the question";
  std::vector<store::OrderLine> lines;
  EXPECT_EQ(stored(number, &lines).total + 0, 511);
  EXPECT_EQ(lines[1].salePrice + 0, 511);
  EXPECT_EQ(this->address(kunde).turnover + 0, 511);
  const Bytes articles = ReadBytes(dir.file("ARTIKEL.DAT"));
  EXPECT_EQ(At<std::int32_t>(articles, artikel + 406) + At<std::int32_t>(articles, artikel + 434),
            1022);
  EXPECT_EQ(store::GetText(OtherCopy(dir.path()).parameters.currencySymbol4), "DMK");
  EXPECT_EQ(OtherCopy(dir.path()).nextOrderNumber, next) << "the counter the file held";
  ExpectEach<std::int32_t, std::int32_t>(MarkToEuro, {{1000, 511}, {-1000, -511}, {0, 0}});
  store::ParameterRecord p{};
  store::SetText(p.currencySymbol1, "DM"), store::SetText(p.currencySymbol4, "EUR");
  p.exchangeRates[1] = 0.9f, p.exchangeRates[3] = 0.5f;
  ChangeCurrencySettings(p);
  EXPECT_EQ(std::pair(store::GetText(p.currencySymbol1), store::GetText(p.currencySymbol4)),
            std::pair(std::string_view("EUR"), std::string_view("DM")));
  EXPECT_FLOAT_EQ(p.exchangeRates[1], 1.760247f);
  EXPECT_EQ(p.exchangeRates[3] + 0.0f, 2.0f);
}

struct IgnoringLocks : platform::FileSystem {
  bool injectFault(platform::IoOp op, const std::string&) override {
    return op == platform::IoOp::Lock;
  }
};

TEST_F(OrderMaintenance, LockTestWarnsOnlyWhereLocksAreIgnored) {
  EXPECT_TRUE(CheckLocks(app));
  IgnoringLocks ignoring;
  app.fileSystem = &ignoring;
  EXPECT_FALSE(CheckLocks(app));
  ASSERT_EQ(ui.texts().size(), 1u);
  for (const char* option : {"nobrl", "nolock"})
    EXPECT_NE(ui.texts()[0].find(option), std::string::npos) << option;
  EXPECT_EQ(FileSize(dir.file(kLockProbeName)), -1);
}

}  // namespace
}  // namespace maintenance

namespace maintenance {
namespace {

// An issued invoice is kept for eight years from the end of the year it was
// issued in: the deletion leaves it and says until when; an invoice whose
// time has run out goes together with its record of issue.
TEST_F(OrderMaintenance, IssuedInvoicesAreKeptUntilTheirRetentionEnds) {
  for (const auto& [date, until] : std::vector<std::pair<const char*, const char*>>{
           {"15.03.2017", "31.12.2025"}, {"31.12.2018", "31.12.2026"}, {"", ""}, {"3.2018", ""}})
    EXPECT_EQ(RetainedUntil(date), until) << date;

  const std::int32_t kunde = customer("Kunde");
  const std::int32_t expired = order(kunde, store::kOrderInvoicePrinted, {{1, 100}}, "15.03.2017").orderNumber;
  const std::int32_t kept = order(kunde, store::kOrderInvoicePrinted, {{1, 100}}, "15.03.2018").orderNumber;
  order(kunde, 0, {{1, 100}}, "16.03.2018");  // a quotation of the range
  ASSERT_TRUE(orders::CompleteIssueBook(app));
  ui.shown.clear();
  EXPECT_EQ(DeleteOldInvoices(app, "01.01.2017", "31.12.2018"), 1);
  EXPECT_EQ(app.orders.lastIndex, 0);
  EXPECT_EQ(stored(kept).orderNumber, kept);
  store::IssueBook book;
  ASSERT_TRUE(store::ReadIssueBook(app, book));
  ASSERT_EQ(book.records().size(), 1u);
  EXPECT_EQ(book.records()[0].invoiceNumber, kept);
  EXPECT_EQ(book.find(expired), nullptr);
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("bis zum 31.12.2026: " + std::to_string(kept)), std::string::npos)
      << ui.texts()[0];
}

}  // namespace
}  // namespace maintenance
