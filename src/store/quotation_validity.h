// How long a quotation or cost estimate binds us, in "ANGEBOT.INI" beside
// the record files: BELVON.PAR has no byte that older files are sure to
// hold as zero. A directory without the file offers for 30 days.
//
// Layout: doc/formats/angebot-ini.md
#ifndef BELVON_STORE_QUOTATION_VALIDITY_H
#define BELVON_STORE_QUOTATION_VALIDITY_H

#include <string>
#include <string_view>

#include "store/app_state.h"

namespace store {

inline constexpr const char* kQuotationValidityFileName = "ANGEBOT.INI";
inline constexpr int kDefaultQuotationDays = 30;
// A year and a half of days is the most a field of three digits offers.
inline constexpr int kLongestQuotationDays = 999;

// The days of the file's text: 0 prints no validity; a value that is no
// whole number from 0 to kLongestQuotationDays counts as the default.
int ParseQuotationDays(std::string_view text);

int LoadQuotationDays(const frame::AppState& app);
// Written beside and renamed over; false when that failed.
bool SaveQuotationDays(frame::AppState& app, int days);

// "Dieses Angebot gilt bis 06.01.2027." for a document dated `date`
// ("dd.mm.yyyy"); empty when `days` is 0 or the date is none.
std::string QuotationValidityLine(std::string_view date, int days);

}  // namespace store

#endif  // BELVON_STORE_QUOTATION_VALIDITY_H
