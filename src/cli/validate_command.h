// belvon-cli validate-einvoice [KIT OPTIONS] FILE.xml ...
//
// Checks e-invoice files against the official EN 16931 and XRechnung rules
// with the validation kit (validate-cii), wherever the program finds it
// (einvoice/validation_kit.h). The kit's report goes to stdout and its exit
// status is the command's: 0 all files pass, 1 a file fails, 2 wrong call,
// 3 internal error, 4 the kit or what it runs on (Java, Saxon-HE, xmllint)
// is missing. Needs no data directory.
#ifndef BELVON_CLI_VALIDATE_COMMAND_H
#define BELVON_CLI_VALIDATE_COMMAND_H

#include <string>
#include <vector>

namespace cli {

int ValidateEInvoiceCommand(const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_VALIDATE_COMMAND_H
