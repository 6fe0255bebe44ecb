#include "store/status_text.h"

#include <cstdio>

namespace frame {

std::string StatusDateLine(const platform::LocalTime& now) {
  char text[64];
  std::snprintf(text, sizeof text, "Datum: %02d.%02d.%4d, Uhrzeit: %02d:%02d", now.day, now.month,
                now.year, now.hour, now.minute);
  return text;
}

std::string StatusCountLine(const AppState& app) {
  char text[80];
  std::snprintf(text, sizeof text, "Adr.: %d  Art.: %ld  Rec.: %d", app.addresses.lastIndex + 1,
                static_cast<long>(app.articles.lastIndex) + 1, app.orders.lastIndex + 1);
  return text;
}

}  // namespace frame
