#include "cli/backup_commands.h"

#include <cstdio>

#include "backup/backup.h"

namespace cli {

namespace {

int Usage(const char* text) {
  std::fprintf(stderr, "Aufruf: belvon-cli %s\n", text);
  return 2;
}

// The findings of the structure test; 0 when it found no damage.
int ReportStructure(const backup::CheckOutcome& outcome) {
  for (const std::string& text : outcome.structureProblems)
    std::fprintf(stderr, "%s\n", text.c_str());
  if (outcome.structureDamaged) {
    std::fputs("Der Strukturtest der gesicherten Dateien meldet Schäden (siehe oben).\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace

int BackupCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string output;
  if (args.size() == 3 && args[1] == "--output")
    output = args[2];
  else if (args.size() != 1)
    return Usage("backup [--output DATEI]");
  if (output.empty()) output = backup::DefaultBackupPath(app);
  const backup::BackupOutcome outcome = backup::CreateBackup(app, output);
  for (const std::string& skipped : outcome.skipped)
    std::fprintf(stderr, "Nicht gesichert: %s\n", skipped.c_str());
  if (!outcome.written) {
    std::fprintf(stderr, "%s\n", outcome.problem.c_str());
    return 1;
  }
  std::printf("%s\n%zu Dateien gesichert\n", output.c_str(), outcome.files.size());
  return 0;
}

int VerifyBackupCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("verify DATEI");
  const backup::CheckOutcome outcome = backup::VerifyBackup(*app.fileSystem, args[1]);
  if (!outcome.intact) {
    std::fprintf(stderr, "%s\n", outcome.problem.c_str());
    return 1;
  }
  std::printf("%zu Dateien geprüft: unversehrt\n", outcome.files.size());
  return ReportStructure(outcome);
}

int RestoreCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 4 || (args[2] != "--data-dir" && args[2] != "--to"))
    return Usage("restore DATEI --data-dir VERZEICHNIS");
  const backup::CheckOutcome outcome = backup::RestoreBackup(*app.fileSystem, args[1], args[3]);
  if (!outcome.intact) {
    std::fprintf(stderr, "%s\n", outcome.problem.c_str());
    return 1;
  }
  std::printf("%zu Dateien nach %s zurückgespielt\n", outcome.files.size(), args[3].c_str());
  std::fprintf(stderr,
               "Um mit diesen Daten zu arbeiten, DATEIPFAD in belvon.ini auf %s setzen.\n",
               args[3].c_str());
  return ReportStructure(outcome);
}

}  // namespace cli
