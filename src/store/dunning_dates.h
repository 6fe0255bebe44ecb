// The day each invoice's last dunning letter went out, in "MAHNUNG.INI"
// beside the record files: the order head has no byte left for it. The
// run needs it so that a second run soon after the first does not send the
// next level before the customer's pay-by date has passed. An invoice the
// file does not name (dunned before the file, or never) has no such date.
//
// Layout: doc/formats/mahnung-ini.md
#ifndef BELVON_STORE_DUNNING_DATES_H
#define BELVON_STORE_DUNNING_DATES_H

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"

namespace store {

inline constexpr const char* kDunningDatesFileName = "MAHNUNG.INI";

// Order number -> "dd.mm.yyyy".
using DunningDates = std::map<std::int32_t, std::string>;

DunningDates ParseDunningDates(std::string_view text);
std::string DunningDatesText(const DunningDates& dates);

// What the directory's file says; nothing when there is no file.
DunningDates LoadDunningDates(frame::AppState& app);
// Notes `date` for these orders, keeping the other lines; the file is
// written beside and renamed over. False when that failed.
bool NoteDunningDates(frame::AppState& app, const std::vector<std::int32_t>& orders,
                      const std::string& date);

}  // namespace store

#endif  // BELVON_STORE_DUNNING_DATES_H
