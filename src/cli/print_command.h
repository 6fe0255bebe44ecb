// belvon-cli print JOB [--date DD.MM.YYYY] [--customer NAME2] [--text FILE]
//                      (--pdf FILE | --png DIR)
//
// Renders a print job through its renderer without a printer dialog, every
// page: an A4 PDF with selectable text, or PNG pages at 150 dpi.
#ifndef BELVON_CLI_PRINT_COMMAND_H
#define BELVON_CLI_PRINT_COMMAND_H

#include <string>
#include <vector>

#include "frame/app_state.h"

namespace cli {

int PrintCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_PRINT_COMMAND_H
