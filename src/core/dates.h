// Date texts "%02d.%02d.%4d" (day, month, four-digit year) and the day
// arithmetic of payment terms, lists and dunning.
//
// Days are counted on the calendar itself (days since 1 January 1970), not
// through the local clock, so that a change to or from summer time never
// moves a due date by a day.
#ifndef BELVON_CORE_DATES_H
#define BELVON_CORE_DATES_H

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace orders {

struct Date {
  int day = 0;
  int month = 0;
  int year = 0;
};

// Today as text, and its parts.
std::string FormatDate(const platform::Clock& clock, Date* parts = nullptr);
std::string DateText(int day, int month, int year);

// The numbers of a date text split at points; missing parts are 0. A year
// below 70 gets 2000 added, one from 70 to 1899 gets 1900 added.
Date ParseDate(std::string_view text);
int FullYear(int year);

// At most 13 characters split at points; with a year part and a month of at
// least 1 the text is rewritten as "%02d.%02d.%4d", otherwise it is empty.
std::string NormaliseDate(std::string_view text);

// A date as the user types it ("5.1.27", "05.01.2027"): day, month and a
// two- or four-digit year, digits only, separated by points, naming a real
// calendar day from 1900 to 9999. Returned as "%02d.%02d.%4d"; empty for
// anything else, so that no stored date is one the order reader refuses.
std::string EnteredDate(std::string_view text);

// The date `days` days after the given one, as text.
std::string AddDaysToDate(int day, int month, int year, int days);

// Days since 1 January 1970 of a date text.
long DayNumber(std::string_view text);
// (month - 1) + 12 x (year - 1900).
int MonthNumber(std::string_view text);
bool DateInRange(std::string_view from, std::string_view date, std::string_view to);

}  // namespace orders

#endif  // BELVON_CORE_DATES_H
