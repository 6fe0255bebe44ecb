#include "store/quotation_validity.h"

#include <charconv>

#include "core/dates.h"
#include "store/settings_lines.h"

namespace store {

namespace {

constexpr std::uint64_t kLargestFile = 64 * 1024;
constexpr std::string_view kSection = "Angebot";
constexpr const char* kKey = "GueltigTage";

int DaysOf(const KeyedValues& values) {
  const auto found = values.find(kKey);
  if (found == values.end()) return kDefaultQuotationDays;
  const std::string& value = found->second;
  int days = -1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), days);
  if (error != std::errc() || end != value.data() + value.size() || days < 0 ||
      days > kLongestQuotationDays)
    return kDefaultQuotationDays;
  return days;
}

}  // namespace

int ParseQuotationDays(std::string_view text) { return DaysOf(ParseKeyedValues(text)); }

int LoadQuotationDays(const frame::AppState& app) {
  return DaysOf(LoadKeyedValues(app, kQuotationValidityFileName, kLargestFile));
}

bool SaveQuotationDays(frame::AppState& app, int days) {
  return SaveKeyedValues(app, kQuotationValidityFileName, kSection,
                         {{kKey, std::to_string(days)}});
}

std::string QuotationValidityLine(std::string_view date, int days) {
  const orders::Date d = orders::ParseDate(date);
  if (days <= 0 || d.day < 1 || d.month < 1 || d.month > 12) return {};
  return "Dieses Angebot gilt bis " + orders::AddDaysToDate(d.day, d.month, d.year, days) + ".";
}

}  // namespace store
