// The command line's UserInterface: texts go to stderr, questions are
// answered Yes only when --yes was given.
#ifndef BELVON_CLI_CLI_USER_INTERFACE_H
#define BELVON_CLI_CLI_USER_INTERFACE_H

#include <cstdio>
#include <set>
#include <string>

#include "core/user_interface.h"

namespace cli {

class CliUserInterface : public frame::UserInterface {
 public:
  explicit CliUserInterface(bool yes) : yes_(yes) {}

  // A text is told once per command: a run over many customers that meets
  // the same missing setting for each would otherwise repeat it as often.
  void message(const std::string& text, frame::Icon) override {
    if (told_.insert(text).second) std::fprintf(stderr, "%s\n", text.c_str());
  }
  bool question(const std::string& text, frame::Icon, bool) override {
    std::fprintf(stderr, "%s [%s]\n", text.c_str(), yes_ ? "Ja" : "Nein");
    return yes_;
  }
  // Nobody sits at a script to wait: a file held by another program ends
  // the command instead of retrying for ever, --yes or not.
  bool retryBusyFile(const std::string& path) override {
    std::fprintf(stderr, "Die Datei %s wird von einem anderen Programm benutzt; Abbruch.\n",
                 path.c_str());
    return false;
  }

 private:
  bool yes_;
  std::set<std::string> told_;
};

}  // namespace cli

#endif  // BELVON_CLI_CLI_USER_INTERFACE_H
