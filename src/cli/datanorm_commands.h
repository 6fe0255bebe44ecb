// belvon-cli datanorm-import, datanorm-export and export-addresses.
#ifndef BELVON_CLI_DATANORM_COMMANDS_H
#define BELVON_CLI_DATANORM_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int DatanormImportCommand(frame::AppState& app, const std::vector<std::string>& args);
int DatanormExportCommand(frame::AppState& app, const std::vector<std::string>& args);
int ExportAddressesCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_DATANORM_COMMANDS_H
