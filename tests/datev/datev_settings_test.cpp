// DATEV.INI: what is kept, what DATEV would refuse, the standard accounts
// of the two charts, and the periods the export proposes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "datev/booking_batch.h"
#include "datev/datev_export.h"
#include "datev/datev_settings.h"

namespace {

TEST(DatevSettings, KeptThroughTheFileAndCheckedByTheRangesOfTheFormat) {
  datev::Settings s;
  s.advisor = 1001;
  s.client = 99999;
  s.yearStartDay = 1;
  s.yearStartMonth = 4;
  s.accountLength = 6;
  datev::ApplyChart(s, datev::Chart::Skr04);
  s.debtors = datev::Debtors::Collective;
  s.collectiveDebtor = "1000000";
  s.payments = true;
  EXPECT_EQ(datev::SettingsProblems(s), "");
  std::string problem;
  const datev::Settings read = datev::ParseSettings(datev::SettingsText(s), &problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(datev::SettingsText(read), datev::SettingsText(s));
  EXPECT_EQ(read.revenueStandard, "440000");
  EXPECT_EQ(read.revenueReduced, "430000");
  EXPECT_EQ(read.revenueTaxFree, "410000");
  EXPECT_EQ(read.bank, "180000");
  EXPECT_EQ(read.cash, "160000");
  EXPECT_EQ(read.yearStartMonth, 4);

  const datev::ChartAccounts skr03 = datev::StandardAccounts(datev::Chart::Skr03);
  EXPECT_STREQ(skr03.standard, "8400");
  EXPECT_STREQ(skr03.reduced, "8300");
  EXPECT_STREQ(skr03.taxFree, "8100");

  // Each case breaks one value; the problem names it.
  struct Case {
    std::function<void(datev::Settings&)> change;
    const char* named;  // nullptr: accepted
  };
  const Case cases[] = {
      {[](datev::Settings& x) { x.advisor = 1000; }, "Beraternummer"},
      {[](datev::Settings& x) { x.advisor = 9999999; }, nullptr},
      {[](datev::Settings& x) { x.advisor = 10000000; }, "Beraternummer"},
      {[](datev::Settings& x) { x.client = 0; }, "Mandantennummer"},
      {[](datev::Settings& x) { x.client = 100000; }, "Mandantennummer"},
      {[](datev::Settings& x) { x.accountLength = 3; }, "Sachkontenlänge"},
      {[](datev::Settings& x) { x.accountLength = 9; }, "Sachkontenlänge"},
      {[](datev::Settings& x) { x.bank = "18000"; }, "Bank"},
      {[](datev::Settings& x) { x.revenueStandard = "44000A"; }, "Erlöse 19 %"},
      {[](datev::Settings& x) { x.collectiveDebtor = "7000000"; }, "Sammeldebitor"},
      {[](datev::Settings& x) { x.collectiveDebtor = "100000"; }, "Sammeldebitor"},
      {[](datev::Settings& x) { x.yearStartDay = 31; x.yearStartMonth = 4; }, "Wirtschaftsjahr"},
      {[](datev::Settings& x) { x.debtors = datev::Debtors::PerCustomer; x.debtorStart = "1000000"; },
       nullptr},
  };
  for (const Case& c : cases) {
    datev::Settings x = s;
    c.change(x);
    const std::string problems = datev::SettingsProblems(x);
    if (c.named)
      EXPECT_NE(problems.find(c.named), std::string::npos) << c.named << ": " << problems;
    else
      EXPECT_EQ(problems, "");
  }
  // A value that is no number is named, and the default stands.
  const datev::Settings damaged = datev::ParseSettings("[DATEV]\nBeraternummer=12a4\n", &problem);
  EXPECT_EQ(damaged.advisor, 0);
  EXPECT_NE(problem.find("Beraternummer"), std::string::npos);
}

TEST(DatevSettings, DebtorAccountsAndPeriods) {
  datev::Settings s;
  const std::pair<const char*, const char*> accounts[] = {
      {"4711", "14711"}, {" 20 ", "10020"}, {"0", "10000"}, {"59999", "69999"},
      {"60000", ""},  // 70000 is no debtor account
      {"A-12", ""},   {"", ""}, {"99999999", ""}};
  for (const auto& [number, account] : accounts)
    EXPECT_EQ(datev::DebtorAccount(s, number), account) << number;
  s.debtors = datev::Debtors::Collective;
  EXPECT_EQ(datev::DebtorAccount(s, "4711"), "");

  struct Period {
    const char* today;
    const char *month1, *month2, *quarter1, *quarter2;
  };
  const Period periods[] = {
      {"15.01.2026", "01.12.2025", "31.12.2025", "01.10.2025", "31.12.2025"},
      {"01.03.2024", "01.02.2024", "29.02.2024", "01.10.2023", "31.12.2023"},
      {"31.07.2026", "01.06.2026", "30.06.2026", "01.04.2026", "30.06.2026"},
      {"07.12.2026", "01.11.2026", "30.11.2026", "01.07.2026", "30.09.2026"},
  };
  for (const Period& p : periods) {
    std::string from, to;
    datev::PreviousMonth(p.today, from, to);
    EXPECT_EQ(from + "-" + to, std::string(p.month1) + "-" + p.month2) << p.today;
    datev::PreviousQuarter(p.today, from, to);
    EXPECT_EQ(from + "-" + to, std::string(p.quarter1) + "-" + p.quarter2) << p.today;
  }
  s.yearStartDay = 1;
  s.yearStartMonth = 7;
  EXPECT_EQ(datev::FinancialYearStart(s, "30.06.2026"), "01.07.2025");
  EXPECT_EQ(datev::FinancialYearStart(s, "01.07.2026"), "01.07.2026");
  EXPECT_EQ(datev::RangeProblem(s, "01.06.2026", "30.06.2026"), "");
  EXPECT_NE(datev::RangeProblem(s, "01.06.2026", "31.07.2026"), "");
}

}  // namespace
