// The cash customer: the address that sales booked at the cash desk without
// an invoice ("&Buchen ohne Rechnung") go to. It is a setting of the data
// directory, in "KASSE.INI" beside the record files, so that every cash desk
// on the directory books onto the same address. The address is named by its
// name line 2, which is unique among the addresses and survives the moves of
// a reorganisation; a renamed or deleted address counts as none chosen.
//
// Layout: doc/formats/kasse-ini.md
#ifndef BELVON_ORDERS_CASH_CUSTOMER_H
#define BELVON_ORDERS_CASH_CUSTOMER_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"

namespace orders {

inline constexpr const char* kCashDeskSettingsName = "KASSE.INI";

// The name line 2 (Windows-1252) the settings text names; empty for none.
std::string ParseCashCustomer(std::string_view text);
std::string CashCustomerText(std::string_view name2);

// The chosen address's name line 2, empty while none is chosen.
std::string LoadCashCustomer(const frame::AppState& app);
// Stores the choice; false when the file cannot be written.
bool SaveCashCustomer(frame::AppState& app, std::string_view name2);

// The position of the cash customer in the address index, -1 while none is
// chosen or the address is gone. The address cursor stays where it was.
std::int32_t FindCashCustomer(frame::AppState& app);

// An address the cash customer can be chosen from.
struct CashCustomerCandidate {
  std::string name2;  // what the choice is kept by (Windows-1252)
  std::string label;  // "Name 1 Name 2, PLZ Ort", as the list shows it (Windows-1252)

  bool operator==(const CashCustomerCandidate&) const = default;
};

// Every address with a name line 2, in index order, to choose from: one
// without is never found again by its name line 2, so it cannot be the
// cash customer.
std::vector<CashCustomerCandidate> CashCustomerCandidates(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_CASH_CUSTOMER_H
