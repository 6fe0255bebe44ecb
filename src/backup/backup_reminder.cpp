#include "backup/backup_reminder.h"

#include <cstdio>

#include "core/dates.h"

namespace backup {

namespace {

constexpr std::uint64_t kReminderFileMax = 64 * 1024;

std::string DateText(const platform::LocalTime& t) { return orders::DateText(t.day, t.month, t.year); }

// The days set, the default where the value is missing or no whole number
// from 0 to 3650.
int RemindDays(const store::KeyedValues& values) {
  const auto it = values.find(kRemindKey);
  if (it == values.end() || it->second.empty() || it->second.size() > 4 ||
      it->second.find_first_not_of("0123456789") != std::string::npos)
    return kDefaultRemindDays;
  const int days = std::stoi(it->second);
  return days <= 3650 ? days : kDefaultRemindDays;
}

}  // namespace

bool NoteBackup(frame::AppState& app, const std::string& archivePath) {
  store::KeyedValues values = store::LoadKeyedValues(app, kReminderFileName, kReminderFileMax);
  const platform::LocalTime now = app.clock->now();
  char time[8];
  std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
  values[kLastKey] = DateText(now) + " " + time;
  values[kArchiveKey] = archivePath;
  if (!values.count(kRemindKey)) values[kRemindKey] = std::to_string(kDefaultRemindDays);
  return store::SaveKeyedValues(app, kReminderFileName, kReminderSection, values);
}

std::string ReminderText(const store::KeyedValues& values, const platform::LocalTime& now) {
  const int days = RemindDays(values);
  if (days == 0) return {};
  const auto last = values.find(kLastKey);
  // The date is the first ten characters; a date that is none counts as no
  // backup at all.
  const std::string date = last == values.end() ? std::string() : last->second.substr(0, 10);
  if (date.size() != 10 || orders::EnteredDate(date) != date)
    return "Es ist noch keine Datensicherung vermerkt.";
  const long age = orders::DayNumber(DateText(now)) - orders::DayNumber(date);
  if (age <= days) return {};
  return "Die letzte Datensicherung (" + date + ") ist " + std::to_string(age) + " Tage alt.";
}

std::string ReminderText(const frame::AppState& app) {
  return ReminderText(store::LoadKeyedValues(app, kReminderFileName, kReminderFileMax),
                      app.clock->now());
}

}  // namespace backup
