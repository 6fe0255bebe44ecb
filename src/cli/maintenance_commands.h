// belvon-cli check, reorganise, delete-invoices and changeover: the commands
// of the "Wartung" menu. Each destructive one asks its question, answered
// Yes only with --yes.
#ifndef BELVON_CLI_MAINTENANCE_COMMANDS_H
#define BELVON_CLI_MAINTENANCE_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int CheckCommand(frame::AppState& app, const std::vector<std::string>& args);
int ReorganiseCommand(frame::AppState& app, const std::vector<std::string>& args);
int DeleteInvoicesCommand(frame::AppState& app, const std::vector<std::string>& args);
int ChangeoverCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_MAINTENANCE_COMMANDS_H
