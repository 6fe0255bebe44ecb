// belvon-cli mail 1|2|3|20|23 --order NUMBER [--to ADDRESS] [--date DD.MM.YYYY] [--issue]
// belvon-cli mail 16 [--date DD.MM.YYYY] [--reprint] [--issue]
//
// Mails a document of the order to its customer's e-mail address (or the
// address given) as the settings of MAIL.INI say: by SMTP, or handed to the
// desktop's mail program. The PDF is written as `print --pdf` writes it.
// --issue (SMTP only) records the issue as printing it would, once the
// server accepted the message; a refusal leaves the order as it was. The
// SMTP password comes from BELVON_SMTP_PASSWORD, else it is asked on the
// terminal; it is never read from a file nor written to one.
//
// mail 16 sends the dunning letters of the run on that date, one mail per
// customer with his letters as one PDF, to the address of his record; a
// customer without a valid address is named and skipped (status 1). With
// --issue a customer's levels are stored once his mail was accepted.
#ifndef BELVON_CLI_MAIL_COMMAND_H
#define BELVON_CLI_MAIL_COMMAND_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int MailCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_MAIL_COMMAND_H
