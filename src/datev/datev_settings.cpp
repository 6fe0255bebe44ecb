#include "datev/datev_settings.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <type_traits>

#include "platform/file.h"
#include "platform/output_file.h"
#include "store/settings_lines.h"

namespace datev {

namespace {

constexpr ChartAccounts kSkr03 = {"8400", "8300", "8100", "1200", "1000"};
constexpr ChartAccounts kSkr04 = {"4400", "4300", "4100", "1800", "1600"};

bool Digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::optional<long> WholeNumber(std::string_view text) {
  if (!Digits(text) || text.size() > 9) return std::nullopt;
  return std::stol(std::string(text));
}

std::string Padded(const char* account, int length) {
  std::string text(account);
  if (static_cast<int>(text.size()) < length) text.append(static_cast<std::size_t>(length) - text.size(), '0');
  return text;
}

void CheckAccount(std::string& problems, const char* name, const std::string& account,
                  int length) {
  if (!Digits(account) || static_cast<int>(account.size()) != length)
    problems += std::string("Das Konto \"") + name + "\" muss " + std::to_string(length) +
                " Ziffern haben (ist \"" + account + "\").\n";
}

void CheckPersonalAccount(std::string& problems, const char* name, const std::string& account,
                          int length) {
  if (!Digits(account) || static_cast<int>(account.size()) != length + 1 || account[0] == '0' ||
      account[0] > '6')
    problems += std::string("Das Debitorenkonto \"") + name + "\" muss " +
                std::to_string(length + 1) + " Ziffern haben und mit 1 bis 6 beginnen (ist \"" +
                account + "\").\n";
}

}  // namespace

ChartAccounts StandardAccounts(Chart chart) { return chart == Chart::Skr04 ? kSkr04 : kSkr03; }

void ApplyChart(Settings& settings, Chart chart) {
  const ChartAccounts accounts = StandardAccounts(chart);
  const int length = settings.accountLength;
  settings.chart = chart;
  settings.revenueStandard = Padded(accounts.standard, length);
  settings.revenueReduced = Padded(accounts.reduced, length);
  settings.revenueTaxFree = Padded(accounts.taxFree, length);
  settings.bank = Padded(accounts.bank, length);
  settings.cash = Padded(accounts.cash, length);
}

std::string SettingsProblems(const Settings& s) {
  std::string problems;
  if (s.advisor < 1001 || s.advisor > 9999999)
    problems += "Die Beraternummer muss zwischen 1001 und 9999999 liegen.\n";
  if (s.client < 1 || s.client > 99999)
    problems += "Die Mandantennummer muss zwischen 1 und 99999 liegen.\n";
  if (s.accountLength < 4 || s.accountLength > 8) {
    problems += "Die Sachkontenlänge muss zwischen 4 und 8 liegen.\n";
    return problems;
  }
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (s.yearStartMonth < 1 || s.yearStartMonth > 12 || s.yearStartDay < 1 ||
      s.yearStartDay > kDays[s.yearStartMonth - 1] || (s.yearStartMonth == 2 && s.yearStartDay == 29))
    problems += "Der Beginn des Wirtschaftsjahrs ist kein Tag des Jahres.\n";
  CheckAccount(problems, "Erlöse 19 %", s.revenueStandard, s.accountLength);
  CheckAccount(problems, "Erlöse 7 %", s.revenueReduced, s.accountLength);
  CheckAccount(problems, "Erlöse steuerfrei", s.revenueTaxFree, s.accountLength);
  CheckAccount(problems, "Bank", s.bank, s.accountLength);
  CheckAccount(problems, "Kasse", s.cash, s.accountLength);
  if (s.debtors == Debtors::PerCustomer)
    CheckPersonalAccount(problems, "erster Debitor", s.debtorStart, s.accountLength);
  else
    CheckPersonalAccount(problems, "Sammeldebitor", s.collectiveDebtor, s.accountLength);
  return problems;
}

std::string SettingsText(const Settings& s) {
  char start[16];
  std::snprintf(start, sizeof start, "%02d.%02d.", s.yearStartDay % 100, s.yearStartMonth % 100);
  std::ostringstream out;
  out << "[DATEV]\n"
      << "Beraternummer=" << (s.advisor ? std::to_string(s.advisor) : "") << '\n'
      << "Mandantennummer=" << (s.client ? std::to_string(s.client) : "") << '\n'
      << "WJBeginn=" << start << '\n'
      << "Sachkontenlaenge=" << s.accountLength << '\n'
      << "Kontenrahmen=" << (s.chart == Chart::Skr04 ? "SKR04" : "SKR03") << '\n'
      << "Erloese19=" << s.revenueStandard << '\n'
      << "Erloese7=" << s.revenueReduced << '\n'
      << "ErloeseSteuerfrei=" << s.revenueTaxFree << '\n'
      << "Debitoren=" << (s.debtors == Debtors::Collective ? "Sammel" : "Einzeln") << '\n'
      << "ErsterDebitor=" << s.debtorStart << '\n'
      << "Sammeldebitor=" << s.collectiveDebtor << '\n'
      << "Bank=" << s.bank << '\n'
      << "Kasse=" << s.cash << '\n'
      << "Zahlungen=" << (s.payments ? 1 : 0) << '\n'
      << "Festschreibung=" << (s.fixed ? 1 : 0) << '\n';
  return out.str();
}

Settings ParseSettings(std::string_view text, std::string* problem) {
  Settings s;
  std::string refused;
  auto number = [&](const std::string& key, const std::string& value, auto& target) {
    if (value.empty()) return;
    if (const std::optional<long> n = WholeNumber(value))
      target = static_cast<std::remove_reference_t<decltype(target)>>(*n);
    else
      refused += std::string(kSettingsFileName) + ": \"" + key + "\" ist keine Zahl: " + value + "\n";
  };
  store::ForEachSetting(text, kSettingsFileName, refused,
                        [&](const std::string& key, const std::string& value) {
    if (key == "Beraternummer") {
      number(key, value, s.advisor);
    } else if (key == "Mandantennummer") {
      number(key, value, s.client);
    } else if (key == "WJBeginn") {
      int day = 0, month = 0;
      if (std::sscanf(value.c_str(), "%2d.%2d", &day, &month) == 2) {
        s.yearStartDay = day;
        s.yearStartMonth = month;
      } else {
        refused += std::string(kSettingsFileName) + ": \"WJBeginn\" ist kein Datum TT.MM.: " +
                   value + "\n";
      }
    } else if (key == "Sachkontenlaenge") {
      number(key, value, s.accountLength);
    } else if (key == "Kontenrahmen") {
      s.chart = value == "SKR04" ? Chart::Skr04 : Chart::Skr03;
    } else if (key == "Erloese19") {
      s.revenueStandard = value;
    } else if (key == "Erloese7") {
      s.revenueReduced = value;
    } else if (key == "ErloeseSteuerfrei") {
      s.revenueTaxFree = value;
    } else if (key == "Debitoren") {
      s.debtors = value == "Sammel" ? Debtors::Collective : Debtors::PerCustomer;
    } else if (key == "ErsterDebitor") {
      s.debtorStart = value;
    } else if (key == "Sammeldebitor") {
      s.collectiveDebtor = value;
    } else if (key == "Bank") {
      s.bank = value;
    } else if (key == "Kasse") {
      s.cash = value;
    } else if (key == "Zahlungen") {
      s.payments = value == "1";
    } else if (key == "Festschreibung") {
      s.fixed = value == "1";
    }
  });
  if (problem) *problem = refused;
  return s;
}

Settings LoadSettings(const std::string& dataDirectory, std::string* problem) {
  return store::LoadDirectorySettings<Settings>(
      dataDirectory, kSettingsFileName, kSettingsFileMax, problem,
      [](std::string_view text, std::string* why) { return ParseSettings(text, why); });
}

bool SaveSettings(const std::string& dataDirectory, const Settings& settings) {
  return store::SaveDirectorySettings(dataDirectory, kSettingsFileName, SettingsText(settings));
}

}  // namespace datev
