// The appointment reminder: which appointments are due, how they are
// announced and how the user stops the search.
#include "reminders/appointment_reminder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "store/address_file.h"
#include "store/records_test_support.h"

namespace reminders {
namespace {

class AppointmentReminderTest : public testsupport::StoreTest {
 protected:
  void Add(const std::string& name2, const std::string& appointment,
           const std::string& name1 = "") {
    store::AddressRecord address = testsupport::MakeAddress(name2, "", name1);
    store::SetText(address.appointment, appointment);
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteAddress(app, address, position, true), 1);
  }
  // The names of the addresses that were announced, in order.
  std::vector<std::string> Announced(int year, int month, int day) {
    clock.set({year, month, day, 9, 0, 0});
    ui = testsupport::ScriptedUi{};
    ui.defaultAnswer = true;
    SearchAppointments(app);
    std::vector<std::string> names;
    for (const std::string& text : ui.questions()) {
      std::string line = text.substr(0, text.find('\n'));
      names.push_back(line.substr(line.rfind(' ') + 1));
    }
    return names;
  }
};

// Due from seven days ago up to today, whatever the year; every month counts
// as 31 days, so the week back from 2 March reaches 28 February only.
TEST_F(AppointmentReminderTest, DueFromSevenDaysAgoUpToToday) {
  for (auto [name, date] : {std::pair{"heute", "15.06.2026"},
                            {"acht-Tage", "07.06.2026"},
                            {"morgen", "16.06.2026"},
                            {"sieben-Tage", "08.06.2026"},
                            {"vor-Jahren", "15.06.2019"},
                            {"ohne", ""},
                            {"ohne-Jahr", "10.6."},
                            {"Feb28", "28.02.2026"},
                            {"Feb25", "25.02.2026"},
                            {"Dez30", "30.12.2025"},
                            {"Jan01", "01.01.2026"}})
    Add(name, date);
  EXPECT_EQ(Announced(2026, 6, 15),
            (std::vector<std::string>{"heute", "ohne-Jahr", "sieben-Tage", "vor-Jahren"}));
  EXPECT_EQ(Announced(2026, 3, 2), (std::vector<std::string>{"Feb28"}));
  EXPECT_EQ(Announced(2026, 1, 3), (std::vector<std::string>{"Jan01"}));
}

TEST_F(AppointmentReminderTest, AnnouncesBothNamesAndStopsOnNo) {
  Add("M\xfcller", "03.12.2026", "J\xfcrgen");
  Add("Zimmer", "01.12.2026", "Anna");
  ui = testsupport::ScriptedUi{};
  SearchAppointments(app);  // answered No
  ASSERT_EQ(ui.questions(),
            std::vector<std::string>{"Terminerinnerung für Jürgen Müller\n\nWeitersuchen ?"});
  EXPECT_EQ(ui.shown[0].icon, frame::Icon::Information);

  ui = testsupport::ScriptedUi{};
  ui.answer({true});
  SearchAppointments(app);
  EXPECT_EQ(ui.questions().size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "Terminerinnerung für Anna Zimmer\n\nWeitersuchen ?");
}

TEST_F(AppointmentReminderTest, AnAppointmentNoDateCanHoldIsPassedOverWithAMessage) {
  // Schulz's appointment reads "1.99999999": a month no day key can be formed of.
  std::filesystem::copy(BELVON_DAMAGED_DATA "reminder-date-overflow", dir.path(),
                        std::filesystem::copy_options::recursive |
                            std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(Announced(2027, 2, 5), (std::vector<std::string>{"Meier"}));
  std::vector<std::string> messages;
  for (const auto& shown : ui.shown)
    if (!shown.wasQuestion) messages.push_back(shown.text);
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "Der Termin \"1.99999999\" bei Herrn Schulz ist kein gültiges Datum "
                          "und wird übergangen."}));
}

}  // namespace
}  // namespace reminders
