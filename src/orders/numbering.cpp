#include "orders/numbering.h"

#include <cstdio>
#include <string>

#include "frame/parameter_file.h"
#include "frame/user_interface.h"

namespace orders {

std::uint32_t MonthPrefix(int year, int month) {
  return static_cast<std::uint32_t>((year - 1900) * 100 + month);
}

std::uint32_t ApplyMonthRule(frame::AppState& app, std::uint32_t counter) {
  if (app.parameters.plusOneNumbering) return counter;
  platform::LocalTime today = app.clock->now();
  const std::uint32_t prefix = MonthPrefix(today.year, today.month);
  char digits[24];
  std::snprintf(digits, sizeof digits, "%-ld", static_cast<long>(counter));
  bool ask = std::string(digits).size() <= 4 || counter / 10000 < prefix;
  if (!ask) return counter;
  char text[96];
  std::snprintf(text, sizeof text, "Soll die Rechnungsnummer auf Monat %d umgeschaltet werden ?",
                today.month);
  if (app.ui && app.ui->question(text, frame::Icon::Question, true))
    return frame::FirstOrderNumberOfMonth(today.year, today.month);
  return counter;
}

}  // namespace orders
