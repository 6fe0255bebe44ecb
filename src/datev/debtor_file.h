// The master data of the debtors ("Debitoren/Kreditoren", EXTF category
// 16, format version 5): one row per customer the booking batch books on
// its own debtor account, so that the adviser's software names the accounts.
//
// Columns: doc/formats/datev.md
#ifndef BELVON_DATEV_DEBTOR_FILE_H
#define BELVON_DATEV_DEBTOR_FILE_H

#include <map>
#include <string>
#include <vector>

#include "datev/booking_batch.h"
#include "datev/datev_settings.h"
#include "platform/clock.h"

namespace datev {

inline constexpr int kDebtorCategory = 16;
inline constexpr int kDebtorFormatVersion = 5;

// The whole file, Windows-1252 bytes; `from` dates the financial year.
std::string DebtorFileText(const Settings& settings, const platform::LocalTime& createdAt,
                           const std::string& from, const std::map<std::string, Debtor>& debtors);
const std::vector<std::string>& DebtorColumns();

}  // namespace datev

#endif  // BELVON_DATEV_DEBTOR_FILE_H
