// BANK.INI in the data directory: the account text ("Konto") written with
// every payment booked from a bank statement, as "Zahlungseingang" writes
// the one the user types.
//
// Layout: doc/formats/bank.md
#ifndef BELVON_BANK_BANK_SETTINGS_H
#define BELVON_BANK_BANK_SETTINGS_H

#include <string>

#include "store/app_state.h"

namespace bank {

inline constexpr const char* kBankSettingsName = "BANK.INI";
inline constexpr const char* kDefaultBankAccount = "Bank";

// The account text; "Bank" when none is set.
std::string BankAccount(const frame::AppState& app);
// Kept for the next statement (at most 8 characters are used); false when
// the file could not be written.
bool SaveBankAccount(frame::AppState& app, const std::string& account);

}  // namespace bank

#endif  // BELVON_BANK_BANK_SETTINGS_H
