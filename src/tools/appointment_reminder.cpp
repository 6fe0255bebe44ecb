#include "tools/appointment_reminder.h"

#include <cstdlib>
#include <string>

#include "frame/user_interface.h"
#include "platform/cp1252.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace tools {

namespace {

// The first and second number of a date text split at points ("28.2." or
// "28.02.2026"); a missing part reads as 0.
void DayAndMonth(std::string_view text, int& day, int& month) {
  std::string copy(text);
  day = std::atoi(copy.c_str());
  std::size_t point = copy.find('.');
  month = point == std::string::npos ? 0 : std::atoi(copy.c_str() + point + 1);
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
    DayAndMonth(appointment, day, month);
    int difference = AppointmentDayKey(day, month) - todayKey;
    if (difference < -7 || difference > 0) continue;
    std::string text = "Terminerinnerung für " +
                       platform::Cp1252ToUtf8(store::GetText(address.name1)) + " " +
                       platform::Cp1252ToUtf8(store::GetText(address.name2)) +
                       "\n\nWeitersuchen ?";
    if (!app.ui || !app.ui->question(text, frame::Icon::Information, false)) return;
  }
}

}  // namespace tools
