#include "reminders/appointment_reminder.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace reminders {

namespace {

// The number a text starts with, read as atoi would (blanks, a sign, digits;
// none reads as 0), but held at a bound instead of overflowing.
long LeadingNumber(std::string_view text) {
  constexpr long kBound = 1000000;
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = std::min(kBound, value * 10 + (text[i] - '0'));
  return negative ? -value : value;
}

// The first and second number of a date text split at points ("28.2." or
// "28.02.2026"); a missing part reads as 0. False when a number cannot be a
// day or a month: such a text is no date the key arithmetic could take.
bool DayAndMonth(std::string_view text, int& day, int& month) {
  std::size_t point = text.find('.');
  long d = LeadingNumber(text);
  long m = point == std::string_view::npos ? 0 : LeadingNumber(text.substr(point + 1));
  if (d < 0 || d > 31 || m < 0 || m > 12) return false;
  day = static_cast<int>(d);
  month = static_cast<int>(m);
  return true;
}

std::string FullName(const store::AddressRecord& address) {
  return platform::Cp1252ToUtf8(store::GetText(address.name1)) + " " +
         platform::Cp1252ToUtf8(store::GetText(address.name2));
}

}  // namespace

int AppointmentDayKey(int day, int month) { return month * 31 + day; }

void SearchAppointments(frame::AppState& app) {
  frame::WaitCursor wait(app.ui);
  platform::LocalTime today = app.clock->now();
  const int todayKey = AppointmentDayKey(today.day, today.month);

  platform::File index = store::OpenData(app, store::kAddressIndexName, platform::Access::Read,
                                         platform::Share::DenyWrite);
  if (!index) return;
  platform::File data = store::OpenData(app, store::kAddressDataName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  if (!data) return;
  std::int32_t last = store::ReadLastIndex(store::kAddressLayout, index);
  store::AddressIndexEntry entry;
  store::AddressRecord address;
  for (std::int32_t i = 0; i <= last; ++i) {
    if (!index.seek(2 + static_cast<std::uint64_t>(i) * sizeof entry) ||
        !index.readExact(&entry, sizeof entry))
      break;
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&address), sizeof address);
    if (store::ReadFramedRecord(data, entry.offset, bytes, true) < 0) continue;
    std::string_view appointment = store::GetText(address.appointment);
    if (appointment.empty()) continue;
    int day = 0, month = 0;
    if (!DayAndMonth(appointment, day, month)) {
      if (app.ui)
        app.ui->message("Der Termin \"" + platform::Cp1252ToUtf8(appointment) + "\" bei " +
                            FullName(address) + " ist kein gültiges Datum und wird übergangen.",
                        frame::Icon::Exclamation);
      continue;
    }
    int difference = AppointmentDayKey(day, month) - todayKey;
    if (difference < -7 || difference > 0) continue;
    std::string text = "Terminerinnerung für " + FullName(address) + "\n\nWeitersuchen ?";
    if (!app.ui || !app.ui->question(text, frame::Icon::Information, false)) return;
  }
}

}  // namespace reminders
