// belvon-cli incoming add|list|print|paid: the e-invoices suppliers sent.
#ifndef BELVON_CLI_INCOMING_COMMANDS_H
#define BELVON_CLI_INCOMING_COMMANDS_H

#include <string>
#include <string_view>
#include <vector>

#include "receive/inbox_list.h"
#include "store/app_state.h"

namespace cli {

int IncomingCommand(frame::AppState& app, const std::vector<std::string>& args);

// One kept invoice as its JSON line.
std::string IncomingJson(const receive::InboxEntry& entry);

// An amount as the file states it, as a JSON number ("1234.50" stays as it
// is; null when there is none).
std::string JsonAmount(std::string_view text);

}  // namespace cli

#endif  // BELVON_CLI_INCOMING_COMMANDS_H
