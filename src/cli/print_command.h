// belvon-cli print JOB [--date DD.MM.YYYY] [--customer NAME2] [--text FILE]
//                      (--pdf FILE | --png DIR)
// belvon-cli print 1|2|3|20|23 --order NUMBER [--date DD.MM.YYYY] [--copies N]
//                      [--issue] (--pdf FILE | --png DIR)
// belvon-cli print 4 --customer NAME2 [--from N] [--to N] ... (collective
//                      invoice, see collective_print.h)
//
// Renders a print job through its renderer without a printer dialog, every
// page: an A4 PDF with selectable text, or PNG pages at 150 dpi.
//
// The order documents print the order with that number for its customer,
// both made current as the order pane holds them, with the print options
// the print dialog last saved. --issue first does what the document's
// button in the print dialog does (flags, invoice date, customer record,
// the order stored in place; the invoice-date question is answered by
// --yes) and puts every copy the print job is asked for into the output:
// --copies N of them, else the customer's number of copies. Without
// --issue the order is left untouched and N copies (default 1) printed.
#ifndef BELVON_CLI_PRINT_COMMAND_H
#define BELVON_CLI_PRINT_COMMAND_H

#include <QGuiApplication>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int PrintCommand(frame::AppState& app, const std::vector<std::string>& args);

// The GUI application that painting needs, started on the offscreen platform
// when there is no display; null when one is already running.
std::unique_ptr<QGuiApplication> StartPaintingApplication();

// Makes the order with this number current with its customer, as the order
// pane holds them; false after the message that says why not.
bool MakeOrderCurrent(frame::AppState& app, std::int32_t number);

// Makes the address whose name line 2 is `name2` (UTF-8) the selected one.
// The exact name is taken; a name that differs only in letter case is taken
// when it is the only one; where several do, none is, and they are listed.
// False after the message that says why.
bool SelectCustomerByName(frame::AppState& app, const std::string& name2);

}  // namespace cli

#endif  // BELVON_CLI_PRINT_COMMAND_H
