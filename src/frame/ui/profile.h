// The user's profile: belvon.ini in the configuration folder, group BELVON,
// keys DATEIPFAD, LIGHT and KASSE.
#ifndef BELVON_FRAME_UI_PROFILE_H
#define BELVON_FRAME_UI_PROFILE_H

#include <string>

#include "frame/app_state.h"

namespace frame {

inline constexpr int kDataDirectoryProfileMax = 449;

// Reads the three values into `app`. Without DATEIPFAD the data directory is
// the user's data folder (~/.local/share/belvon/, created when missing); an
// explicitly empty value keeps the current directory.
void ReadProfile(AppState& app);

// The data-directory rule alone, for the command line.
std::string ProfileDataDirectory();

void WriteProfileDataDirectory(const std::string& dataDirectory);
void WriteProfileCashDesk(int cashDesk);

}  // namespace frame

#endif  // BELVON_FRAME_UI_PROFILE_H
