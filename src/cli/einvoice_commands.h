// belvon-cli einvoice --order NUMBER [--output FILE]
//
// Writes the XRechnung (CII) of an issued invoice, by default as
// R<number>.xml in the current directory. An invoice whose total today
// differs from the stored one is written only when the user says so
// (--yes). Nothing is written when the order is no issued invoice or a value
// the rules require is missing; the German message names every missing value
// and the exit status is 1.
#ifndef BELVON_CLI_EINVOICE_COMMANDS_H
#define BELVON_CLI_EINVOICE_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int EInvoiceCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_EINVOICE_COMMANDS_H
