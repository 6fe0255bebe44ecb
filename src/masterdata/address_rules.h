// What the address dialogs do with an address besides showing its fields:
// the presets of a new address, the blanks that make a second "Meier"
// unique, and the turnover text.
#ifndef BELVON_MASTERDATA_ADDRESS_RULES_H
#define BELVON_MASTERDATA_ADDRESS_RULES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/app_state.h"
#include "store/address_record.h"

namespace masterdata {

inline constexpr const char* kNoNumberCriterion = "#ZARVENTO";
inline constexpr int kNameLimit = 41;

// A new address: cleared, payment terms from the parameters, one copy and
// customer number "1".
store::AddressRecord NewAddress(const store::ParameterRecord& parameters);

// While name line 2 is shorter than 41 characters and another address has
// it, a blank is appended ("Meier", "Meier ", "Meier  ").
void AppendBlanksWhileTaken(frame::AppState& app, store::AddressRecord& address);

// What "Übernehmen" checks before the editor may close. Returns the message
// that keeps the editor open (empty when it may close); `notices` receives
// the message that is only reported (a customer number that could not be
// made unique).
std::string CheckAddressBeforeStore(frame::AppState& app, store::AddressRecord& address,
                                    bool isNew, std::string* notice);

// Turnover: shown as (cents + 0.005) / 100 with two decimals in `style`;
// read by frame::ReadCents (nothing when the text is no number).
std::string TurnoverText(std::int32_t cents, frame::FigureStyle style = frame::FigureStyle::Point);
std::optional<std::int32_t> ParseTurnover(std::string_view text);

// The first address that meets the address criteria becomes current
// (position and record); false leaves both as they were.
bool FindFirstAddress(frame::AppState& app);

// Criteria: an empty name line 2 is kept as "#ZARVENTO" and shown empty.
void StoreNameCriterion(store::AddressRecord& criteria, std::string_view name2);
std::string_view ShownNameCriterion(const store::AddressRecord& criteria);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_ADDRESS_RULES_H
