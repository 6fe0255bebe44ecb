// The reminder at start: due once the last backup noted in SICHERUNG.INI is
// older than the days set there; a backup notes itself.
#include <gtest/gtest.h>

#include "backup/backup.h"
#include "backup/backup_reminder.h"
#include "support/order_book.h"
#include "support/temp_dir.h"

namespace {

TEST(BackupReminder, IsDueOnceTheLastBackupIsOlderThanTheDaysSet) {
  const platform::LocalTime now{2026, 12, 8, 9, 30, 0};
  struct Case {
    store::KeyedValues values;
    const char* said;  // null: no reminder
  };
  const Case cases[] = {
      {{}, "Es ist noch keine Datensicherung vermerkt."},
      {{{"Letzte", "01.12.2026 18:00"}}, nullptr},  // 7 days: not older than the default
      {{{"Letzte", "30.11.2026 18:00"}}, "Die letzte Datensicherung (30.11.2026) ist 8 Tage alt."},
      // Across the turn of a year and a leap day.
      {{{"Letzte", "29.02.2024 10:00"}, {"Erinnerung", "1000"}},
       "Die letzte Datensicherung (29.02.2024) ist 1013 Tage alt."},
      {{{"Letzte", "07.12.2026 23:59"}, {"Erinnerung", "1"}}, nullptr},
      {{{"Letzte", "06.12.2026 23:59"}, {"Erinnerung", "1"}}, "ist 2 Tage alt."},
      {{{"Letzte", "01.01.2020 10:00"}, {"Erinnerung", "0"}}, nullptr},  // 0: never
      {{{"Erinnerung", "0"}}, nullptr},
      // A value that is no number of days gives the default.
      {{{"Letzte", "30.11.2026 18:00"}, {"Erinnerung", "sieben"}}, "ist 8 Tage alt."},
      {{{"Letzte", "30.11.2026 18:00"}, {"Erinnerung", "-3"}}, "ist 8 Tage alt."},
      // A date that is none counts as no backup; one ahead of the clock is no reminder.
      {{{"Letzte", "31.11.2026 18:00"}}, "Es ist noch keine Datensicherung vermerkt."},
      {{{"Letzte", "gestern"}}, "Es ist noch keine Datensicherung vermerkt."},
      {{{"Letzte", "24.12.2026 10:00"}}, nullptr},
  };
  for (const Case& c : cases) {
    const std::string text = backup::ReminderText(c.values, now);
    SCOPED_TRACE(text);
    if (!c.said) {
      EXPECT_EQ(text, "");
      continue;
    }
    EXPECT_NE(text.find(c.said), std::string::npos);
  }
}

class BackupNote : public ::testing::Test, public testsupport::OrderBook {
 protected:
  testsupport::TempDir outside;
};

// A backup written notes itself and keeps the days set; one that failed
// notes nothing.
TEST_F(BackupNote, AWrittenBackupEndsTheReminderAndKeepsTheDaysSet) {
  customer("Meier");
  store::KeyedValues set{{"Erinnerung", "3"}};
  ASSERT_TRUE(store::SaveKeyedValues(app, backup::kReminderFileName, backup::kReminderSection, set));
  EXPECT_NE(backup::ReminderText(app), "");
  EXPECT_FALSE(backup::CreateBackup(app, outside.file("fehlt/s.tar.gz")).written);
  EXPECT_NE(backup::ReminderText(app), "");
  ASSERT_TRUE(backup::CreateBackup(app, outside.file("s.tar.gz")).written);
  EXPECT_EQ(backup::ReminderText(app), "");
  const store::KeyedValues noted = store::LoadKeyedValues(app, backup::kReminderFileName, 65536);
  EXPECT_EQ(noted.at("Erinnerung"), "3");
  EXPECT_EQ(noted.at("Datei"), outside.file("s.tar.gz"));
  EXPECT_EQ(noted.at("Letzte").substr(0, 10), "06.12.2026");
}

}  // namespace
