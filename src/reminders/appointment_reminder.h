// The appointment reminder search: every address whose appointment
// ("Termin:") is today or up to seven days ago is shown, one by one.
#ifndef BELVON_REMINDERS_APPOINTMENT_REMINDER_H
#define BELVON_REMINDERS_APPOINTMENT_REMINDER_H

#include "store/app_state.h"

namespace reminders {

// The day key of a date: month * 31 + day (the year plays no part).
int AppointmentDayKey(int day, int month);

void SearchAppointments(frame::AppState& app);

}  // namespace reminders

#endif  // BELVON_REMINDERS_APPOINTMENT_REMINDER_H
