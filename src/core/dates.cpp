#include "core/dates.h"

#include <cstdlib>
#include <string>

#include "core/decimal.h"

namespace orders {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date; months and days out
// of range roll over as the C library's mktime would.
long DaysFromCivil(int year, int month, int day) {
  // Normalise the month first so that month 13 is January of the next year.
  long y = year + (month - 1 >= 0 ? (month - 1) / 12 : (month - 12) / 12);
  int m = ((month - 1) % 12 + 12) % 12 + 1;
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153L * (m > 2 ? m - 3 : m + 9) + 2) / 5 + 1 - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + (day - 1);
}

Date CivilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const long year = yoe + era * 400 + (month <= 2);
  return {day, month, static_cast<int>(year)};
}

}  // namespace

std::string DateText(int day, int month, int year) {
  return frame::Format("%02d.%02d.%4d", day, month, year);
}

std::string FormatDate(const platform::Clock& clock, Date* parts) {
  platform::LocalTime now = clock.now();
  if (parts) *parts = {now.day, now.month, now.year};
  return DateText(now.day, now.month, now.year);
}

int FullYear(int year) {
  if (year < 70) return year + 2000;
  if (year < 1900) return year + 1900;
  return year;
}

namespace {

// Splits at points: the numbers and how many parts there were.
int SplitDate(std::string_view text, int numbers[3]) {
  numbers[0] = numbers[1] = numbers[2] = 0;
  int parts = 0;
  std::size_t start = 0;
  while (parts < 3 && start <= text.size()) {
    std::size_t point = text.find('.', start);
    std::string_view part = text.substr(start, point == std::string_view::npos ? text.npos : point - start);
    numbers[parts++] = static_cast<int>(frame::ParseWhole(part));
    if (point == std::string_view::npos) break;
    start = point + 1;
  }
  return parts;
}

}  // namespace

Date ParseDate(std::string_view text) {
  int n[3];
  SplitDate(text, n);
  return {n[0], n[1], FullYear(n[2])};
}

std::string NormaliseDate(std::string_view text) {
  int n[3];
  int parts = SplitDate(text.substr(0, 13), n);
  if (parts < 3 || n[1] < 1) return {};
  return DateText(n[0], n[1], FullYear(n[2]));
}

std::string EnteredDate(std::string_view text) {
  int n[3];
  std::size_t start = 0;
  for (int part = 0; part < 3; ++part) {
    std::size_t point = text.find('.', start);
    if ((part < 2) == (point == text.npos)) return {};
    std::string_view digits = text.substr(start, point == text.npos ? text.npos : point - start);
    const std::size_t most = part < 2 ? 2 : 4;
    if (digits.empty() || digits.size() > most || (part == 2 && digits.size() == 3)) return {};
    n[part] = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return {};
      n[part] = n[part] * 10 + (c - '0');
    }
    start = point + 1;
  }
  const int year = n[2] < 100 ? FullYear(n[2]) : n[2];
  if (year < 1900 || n[1] < 1 || n[1] > 12 || n[0] < 1) return {};
  // The last day of the month: the day before the first of the next.
  if (DaysFromCivil(year, n[1], n[0]) >= DaysFromCivil(year, n[1] + 1, 1)) return {};
  return DateText(n[0], n[1], year);
}

std::string AddDaysToDate(int day, int month, int year, int days) {
  Date date = CivilFromDays(DaysFromCivil(FullYear(year), month, day) + days);
  return DateText(date.day, date.month, date.year);
}

long DayNumber(std::string_view text) {
  Date date = ParseDate(text);
  return DaysFromCivil(date.year, date.month, date.day);
}

int MonthNumber(std::string_view text) {
  Date date = ParseDate(text);
  return (date.month - 1) + 12 * (date.year - 1900);
}

bool DateInRange(std::string_view from, std::string_view date, std::string_view to) {
  long day = DayNumber(date);
  return DayNumber(from) <= day && day <= DayNumber(to);
}

}  // namespace orders
