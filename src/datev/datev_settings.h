// The settings of the DATEV export, in "DATEV.INI" in the data directory,
// so that every workstation on the directory hands the tax adviser the same
// accounts. A missing file or key gives the default.
//
// Layout: doc/formats/datev.md
#ifndef BELVON_DATEV_DATEV_SETTINGS_H
#define BELVON_DATEV_DATEV_SETTINGS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace datev {

inline constexpr const char* kSettingsFileName = "DATEV.INI";
inline constexpr std::uint64_t kSettingsFileMax = 64 * 1024;

enum class Chart { Skr03, Skr04 };

// One debtor account per customer (start number + customer number), or
// every invoice on one collective debtor.
enum class Debtors { PerCustomer, Collective };

struct Settings {
  long advisor = 0;  // Beraternummer; 0 while unset
  long client = 0;   // Mandantennummer; 0 while unset
  int yearStartDay = 1;  // the financial year starts on this day and month
  int yearStartMonth = 1;
  int accountLength = 4;  // digits of a G/L account; personal accounts have one more
  Chart chart = Chart::Skr03;
  // Revenue accounts (automatic accounts: DATEV takes the tax out of them).
  std::string revenueStandard = "8400";  // 19 %
  std::string revenueReduced = "8300";   // 7 %
  std::string revenueTaxFree = "8100";   // no tax
  Debtors debtors = Debtors::PerCustomer;
  std::string debtorStart = "10000";       // per customer: this + the customer number
  std::string collectiveDebtor = "10000";  // the one account of every invoice
  std::string bank = "1200";
  std::string cash = "1000";
  bool payments = false;  // the payments of the period go into the batch
  bool fixed = false;     // "Festschreibung": the adviser cannot change the rows
};

// The standard accounts of a chart: revenue 19 %, 7 %, tax-free, bank, cash.
struct ChartAccounts {
  const char* standard;
  const char* reduced;
  const char* taxFree;
  const char* bank;
  const char* cash;
};
ChartAccounts StandardAccounts(Chart chart);
// `settings` with the chart's standard accounts filled in (at its account
// length, padded with zeros on the right as the charts do).
void ApplyChart(Settings& settings, Chart chart);

// German text naming every value that DATEV would refuse; empty when the
// settings can be exported with. Advisor 1001 .. 9999999, client 1 .. 99999,
// account length 4 .. 8, G/L accounts of that length, debtor accounts one
// digit longer and from 1 (10000 .. 69999 at length 4).
std::string SettingsProblems(const Settings& settings);

std::string SettingsText(const Settings& settings);
// `problem` (when given) names the keys whose values were not taken.
Settings ParseSettings(std::string_view text, std::string* problem = nullptr);
Settings LoadSettings(const std::string& dataDirectory, std::string* problem = nullptr);
// Written beside and renamed over; false when that failed.
bool SaveSettings(const std::string& dataDirectory, const Settings& settings);

}  // namespace datev

#endif  // BELVON_DATEV_DATEV_SETTINGS_H
