// belvon-cli backup [--output FILE], verify FILE and restore FILE
// --data-dir DIR (also spelt verify-backup FILE and restore FILE --to DIR):
// the backups of the data directory (backup/backup.h).
#ifndef BELVON_CLI_BACKUP_COMMANDS_H
#define BELVON_CLI_BACKUP_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace cli {

int BackupCommand(frame::AppState& app, const std::vector<std::string>& args);
// These two read only the archive and never the data directory.
int VerifyBackupCommand(frame::AppState& app, const std::vector<std::string>& args);
int RestoreCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_BACKUP_COMMANDS_H
