#include "store/dunning_dates.h"

#include <cstdlib>

#include "core/dates.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "store/settings_lines.h"

namespace store {

namespace {

constexpr std::uint64_t kLargestFile = 4 * 1024 * 1024;

}  // namespace

DunningDates ParseDunningDates(std::string_view text) {
  DunningDates dates;
  std::string refused;
  ForEachSetting(text, kDunningDatesFileName, refused,
                 [&dates](const std::string& key, const std::string& value) {
                   char* end = nullptr;
                   const long number = std::strtol(key.c_str(), &end, 10);
                   const std::string date = orders::EnteredDate(value);
                   // A line that names no order or no real day is none of ours.
                   if (!key.empty() && *end == '\0' && number > 0 && !date.empty())
                     dates[static_cast<std::int32_t>(number)] = date;
                 });
  return dates;
}

std::string DunningDatesText(const DunningDates& dates) {
  std::string text = "[Mahnungen]\n";
  for (const auto& [number, date] : dates) text += std::to_string(number) + "=" + date + "\n";
  return text;
}

DunningDates LoadDunningDates(frame::AppState& app) {
  std::string text;
  if (platform::ReadRegularFile(*app.fileSystem, app.path(kDunningDatesFileName), kLargestFile,
                                text, platform::Share::DenyNone) != platform::ReadRefusal::None)
    return {};
  return ParseDunningDates(text);
}

bool NoteDunningDates(frame::AppState& app, const std::vector<std::int32_t>& orders,
                      const std::string& date) {
  if (orders.empty() || date.empty()) return true;
  DunningDates dates = LoadDunningDates(app);
  for (const std::int32_t number : orders) dates[number] = date;
  return platform::WriteOutputFile(*app.fileSystem, app.path(kDunningDatesFileName),
                                   DunningDatesText(dates));
}

}  // namespace store
