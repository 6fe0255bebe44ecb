// belvon-cli cancel --order N [--date TT.MM.JJJJ]: the credit note that
// cancels an issued invoice in full; prints its number.
#ifndef BELVON_CLI_CANCEL_COMMAND_H
#define BELVON_CLI_CANCEL_COMMAND_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int CancelCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_CANCEL_COMMAND_H
