// belvon-cli bank-import: a bank statement matched to the open invoices,
// one JSON line per transaction, and with --book the exact matches booked.
#ifndef BELVON_CLI_BANK_COMMAND_H
#define BELVON_CLI_BANK_COMMAND_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int BankImportCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_BANK_COMMAND_H
