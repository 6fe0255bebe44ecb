#include "cli/commands.h"

#include <cstdio>
#include <functional>
#include <map>

#include "cli/dump.h"
#include "cli/payment_commands.h"
#include "cli/print_command.h"
#include "frame/load_parameters.h"

namespace cli {

namespace {

int Init(frame::AppState& app, const std::vector<std::string>&) {
  frame::LoadParameters(app);
  std::printf("addresses %d\narticles %d\norders %d\n", app.addresses.lastIndex + 1,
              app.articles.lastIndex + 1, app.orders.lastIndex + 1);
  return 0;
}

int Dump(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fputs("Aufruf: belvon-cli dump parameters|articles|addresses|orders|discounts|groups\n",
               stderr);
    return 2;
  }
  return DumpKind(app, args[1], stdout);
}

}  // namespace

int RunCommand(frame::AppState& app, const std::vector<std::string>& args) {
  static const std::map<std::string, std::function<int(frame::AppState&,
                                                       const std::vector<std::string>&)>>
      kCommands = {{"init", Init}, {"dump", Dump}, {"print", PrintCommand},
                   {"pay", PayCommand}, {"book", BookCommand}, {"settle", SettleCommand}};
  auto found = kCommands.find(args[0]);
  if (found == kCommands.end()) {
    std::fprintf(stderr, "Unbekannter Befehl: %s\n", args[0].c_str());
    return 2;
  }
  return found->second(app, args);
}

}  // namespace cli
