// `belvon-cli dump KIND`: one JSON object per line, in index order, every
// field by its stable snake_case name, plus `position` and `offset`.
#ifndef BELVON_CLI_DUMP_H
#define BELVON_CLI_DUMP_H

#include <cstdio>
#include <string>

#include "store/app_state.h"

namespace cli {

// Returns the exit code: 0 done, 1 a file missing or unreadable, 2 unknown kind.
int DumpKind(frame::AppState& app, const std::string& kind, std::FILE* out);

}  // namespace cli

#endif  // BELVON_CLI_DUMP_H
