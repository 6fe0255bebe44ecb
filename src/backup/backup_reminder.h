// When the last backup was taken, in "SICHERUNG.INI" of the data directory
// (doc/formats/backup.md), so that a backup any workstation or a timed
// `belvon-cli backup` takes counts for all; and the reminder the desktop
// shows at start when it is older than the days set there.
#ifndef BELVON_BACKUP_BACKUP_REMINDER_H
#define BELVON_BACKUP_BACKUP_REMINDER_H

#include <string>

#include "platform/clock.h"
#include "store/app_state.h"
#include "store/settings_lines.h"

namespace backup {

inline constexpr const char* kReminderFileName = "SICHERUNG.INI";
inline constexpr const char* kReminderSection = "Datensicherung";
inline constexpr const char* kLastKey = "Letzte";        // "TT.MM.JJJJ HH:MM"
inline constexpr const char* kArchiveKey = "Datei";      // where it went
inline constexpr const char* kRemindKey = "Erinnerung";  // days; 0: never
inline constexpr int kDefaultRemindDays = 7;

// Notes a backup written now to `archivePath`; the days set stay. False
// when the file could not be written.
bool NoteBackup(frame::AppState& app, const std::string& archivePath);

// The line of the status bar for the values of the file at `now`: empty
// while the last backup is at most the set number of days old (or the
// reminder is off), else what is due ("Die letzte Datensicherung ist 9
// Tage alt." / "Es ist noch keine Datensicherung vermerkt.").
std::string ReminderText(const store::KeyedValues& values, const platform::LocalTime& now);

// The same for the data directory of `app`, now.
std::string ReminderText(const frame::AppState& app);

}  // namespace backup

#endif  // BELVON_BACKUP_BACKUP_REMINDER_H
