// belvon-cli export-datev --from TT.MM.JJJJ --to TT.MM.JJJJ [--output FILE]
//   [--payments] [--debtors FILE] [--advisor NR --client NR]
// writes the DATEV booking batch of the period (EXTF_Buchungsstapel_<from>_<to>.csv
// in the current folder without --output), with --debtors the debtors'
// master data beside it. --advisor and --client override DATEV.INI for this
// run; --payments adds the payments whatever the settings say.
#ifndef BELVON_CLI_DATEV_COMMAND_H
#define BELVON_CLI_DATEV_COMMAND_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int ExportDatevCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_DATEV_COMMAND_H
