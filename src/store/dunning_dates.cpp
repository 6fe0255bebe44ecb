#include "store/dunning_dates.h"

#include <cstdlib>

#include "core/dates.h"
#include "store/settings_lines.h"

namespace store {

namespace {

constexpr std::uint64_t kLargestFile = 4 * 1024 * 1024;
constexpr std::string_view kSection = "Mahnungen";

DunningDates FromKeyed(const KeyedValues& values) {
  DunningDates dates;
  for (const auto& [key, value] : values) {
    char* end = nullptr;
    const long number = std::strtol(key.c_str(), &end, 10);
    const std::string date = orders::EnteredDate(value);
    // A line that names no order or no real day is none of ours.
    if (*end == '\0' && number > 0 && !date.empty()) dates[static_cast<std::int32_t>(number)] = date;
  }
  return dates;
}

KeyedValues ToKeyed(const DunningDates& dates) {
  KeyedValues values;
  for (const auto& [number, date] : dates) values[std::to_string(number)] = date;
  return values;
}

}  // namespace

DunningDates ParseDunningDates(std::string_view text) { return FromKeyed(ParseKeyedValues(text)); }

std::string DunningDatesText(const DunningDates& dates) {
  return KeyedValuesText(kSection, ToKeyed(dates));
}

DunningDates LoadDunningDates(frame::AppState& app) {
  return FromKeyed(LoadKeyedValues(app, kDunningDatesFileName, kLargestFile));
}

bool NoteDunningDates(frame::AppState& app, const std::vector<std::int32_t>& orders,
                      const std::string& date) {
  if (orders.empty() || date.empty()) return true;
  DunningDates dates = LoadDunningDates(app);
  for (const std::int32_t number : orders) dates[number] = date;
  return SaveKeyedValues(app, kDunningDatesFileName, kSection, ToKeyed(dates));
}

}  // namespace store
