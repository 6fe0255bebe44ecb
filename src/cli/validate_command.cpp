#include "cli/validate_command.h"

#include <sys/wait.h>
#include <spawn.h>

#include <cstdio>

#include "einvoice/validation_kit.h"

extern char** environ;

namespace cli {

int ValidateEInvoiceCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fputs("Aufruf: belvon-cli validate-einvoice [--no-xrechnung] [-q] DATEI.xml ...\n", stderr);
    return 2;
  }
  const std::string script = einvoice::ValidationKitScript();
  if (script.empty()) {
    std::fputs(
        "Die Prüfung der E-Rechnungen (validate-cii) ist nicht zu finden; "
        "BELVON_CII_KIT kann das Skript nennen.\n",
        stderr);
    return 4;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(script.c_str()));
  for (std::size_t i = 1; i < args.size(); ++i) argv.push_back(const_cast<char*>(args[i].c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  pid_t pid = 0;
  if (posix_spawn(&pid, script.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "%s konnte nicht gestartet werden.\n", script.c_str());
    return 3;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 3;
  return WEXITSTATUS(status);
}

}  // namespace cli
