// What a journal of the data directory may name.
//
// A journal left behind (TAUSCH.JNL, the move journals) is carried out at
// the next start of any command, unasked. Whoever can put a file into the
// data directory could otherwise have files elsewhere renamed or removed:
// a journal may only name plain files of the data directory itself.
#ifndef BELVON_STORE_JOURNAL_NAMES_H
#define BELVON_STORE_JOURNAL_NAMES_H

#include <string>
#include <string_view>

#include "store/app_state.h"

namespace store {

// A name without any folder in it: not empty, no '/', no '\\', not "." or
// "..", no control character.
bool PlainFileName(std::string_view name);

// Whether `name` may stand in a journal: a plain name, and, where something
// stands under it, nothing that leads out of the data folder (a link).
bool JournalMayName(const frame::AppState& app, std::string_view name);

// The message of a journal that is not carried out: it names the journal
// (its path) and why; nothing was changed.
std::string RefusedJournalText(const std::string& journalPath, const std::string& why);

}  // namespace store

#endif  // BELVON_STORE_JOURNAL_NAMES_H
