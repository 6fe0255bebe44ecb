// The commands of belvon-cli.
#ifndef BELVON_CLI_COMMANDS_H
#define BELVON_CLI_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

// Runs args[0] with its arguments; returns the process exit code.
int RunCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_COMMANDS_H
