// The Leitweg-ID of each public-sector customer, in "LEITWEG.INI" beside the
// record files: the address record has no room for it, and address files of
// older versions read as before. Keyed by customer number; a customer the
// file does not name has none, and his XRechnung takes the buyer reference
// of the e-invoice settings.
//
// Layout: doc/formats/leitweg-ini.md
#ifndef BELVON_STORE_LEITWEG_IDS_H
#define BELVON_STORE_LEITWEG_IDS_H

#include <string>
#include <string_view>

#include "store/app_state.h"

namespace store {

inline constexpr const char* kLeitwegIdsFileName = "LEITWEG.INI";

// The Leitweg-ID of the customer with this number (Windows-1252, as the
// record holds it); empty for none, and for a customer without number.
std::string LeitwegIdOf(const frame::AppState& app, std::string_view customerNumber);

// Keeps `id` (UTF-8; empty: none) for the customer now numbered `number`,
// whose number was `oldNumber` before (the same for an unchanged one): the
// ID follows a renumbered customer. Writes the file only when something
// changed; false when it could not be written.
bool StoreLeitwegId(frame::AppState& app, std::string_view oldNumber, std::string_view number,
                    const std::string& id);

}  // namespace store

#endif  // BELVON_STORE_LEITWEG_IDS_H
