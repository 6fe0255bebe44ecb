// The user's profile: belvon.ini in the configuration folder, group BELVON,
// keys DATEIPFAD, LIGHT and KASSE.
#ifndef BELVON_WIDGETS_PROFILE_H
#define BELVON_WIDGETS_PROFILE_H

#include <string>

#include "store/app_state.h"
#include "core/user_interface.h"

namespace frame {

inline constexpr int kDataDirectoryProfileMax = 449;

// Reads the three values into `app`. Without DATEIPFAD the data directory is
// the user's data folder (~/.local/share/belvon/, created when missing); an
// explicitly empty value keeps the current directory.
void ReadProfile(AppState& app);

// The data-directory rule alone, for the command line.
std::string ProfileDataDirectory();

void WriteProfileDataDirectory(const std::string& dataDirectory);

// File names are appended to the data directory as they are, so a path
// that names an existing directory gets its "/" here. A path that names
// nothing is reported, and the user is offered to have the directory made.
// An old-style prefix whose BELVON.PAR exists is kept as it is. False when
// there is no data directory to work in.
bool SettleDataDirectory(std::string& path, UserInterface* ui);
void WriteProfileCashDesk(int cashDesk);

// A choice of the user's that outlives the program (e.g. "ALLEFELDER", the
// article search in all fields): "1" or "0" in the profile's group.
bool ReadProfileChoice(const char* key, bool fallback);
void WriteProfileChoice(const char* key, bool value);

}  // namespace frame

#endif  // BELVON_WIDGETS_PROFILE_H
