// The two status lines under the panes of the main window.
#ifndef BELVON_STORE_STATUS_TEXT_H
#define BELVON_STORE_STATUS_TEXT_H

#include <string>

#include "store/app_state.h"

namespace frame {

// "Datum: 06.12.2026, Uhrzeit: 18:05"
std::string StatusDateLine(const platform::LocalTime& now);
// "Adr.: 3  Art.: 120  Rec.: 0": the counts are the last indexes plus one.
std::string StatusCountLine(const AppState& app);

}  // namespace frame

#endif  // BELVON_STORE_STATUS_TEXT_H
