// belvon-cli pay, book and settle: payments, the booking run and settling
// open items, as the dialogs of the order menu do them.
#ifndef BELVON_CLI_PAYMENT_COMMANDS_H
#define BELVON_CLI_PAYMENT_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int PayCommand(frame::AppState& app, const std::vector<std::string>& args);
int BookCommand(frame::AppState& app, const std::vector<std::string>& args);
int SettleCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_PAYMENT_COMMANDS_H
