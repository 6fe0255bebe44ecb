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

// The recipient of a cash-desk document, made an address on file before the
// sale is stored for it, so that the address printed is the one every
// reprint, list and the journal read. `fields` holds what the dialog shows.
// Fields naming an address on file (by name line 2) that differ from it in
// what the dialog shows are stored into it on "Ja"; "Nein" prints the
// address as stored, "Abbrechen" goes back to the dialog. Fields naming no address become a new customer, asked
// once, with a customer number of its own: one left standing from the
// address the fields were typed over is raised to a free one. True with the
// recipient in app.address (the copies as typed) and its position in
// app.addresses.position; false when the user cancelled or declined, or the
// address could not be written (told).
bool SettleDocumentRecipient(frame::AppState& app, const store::AddressRecord& fields);

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
