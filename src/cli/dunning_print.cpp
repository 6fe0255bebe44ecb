#include "cli/dunning_print.h"

#include <cstdio>

#include "letters/dunning_renderer.h"

namespace cli {

bool DunningFlag(const std::string& option, bool& reprint) {
  if (option != "--reprint") return false;
  reprint = true;
  return true;
}

void SetDunningInputs(const frame::AppState& app, bool namedCustomer, bool reprint,
                      printing::JobInputs& inputs) {
  inputs.dunningReprint = reprint;
  inputs.dunningCustomer =
      namedCustomer ? static_cast<std::int32_t>(app.addresses.entry.offset) : -1;
}

bool DunningLettersDue(frame::AppState& app, const printing::JobInputs& inputs) {
  if (letters::AnyLetter(letters::SelectDunning(app, letters::DunningOptionsOf(inputs), false)))
    return true;
  std::fprintf(stderr, "%s\n", letters::kNoDunningDue);
  return false;
}

bool StoreDunningRun(frame::AppState& app, const printing::JobInputs& inputs) {
  const auto items = letters::SelectDunning(app, letters::DunningOptionsOf(inputs), false);
  int written = 0;
  if (!letters::StoreDunningLevels(app, items, inputs.printDate, &written)) {
    std::fputs("Die Mahnstufen konnten nicht gespeichert werden.\n", stderr);
    return false;
  }
  std::fprintf(stderr, "Mahnstufe gespeichert: %d Rechnung(en)\n", written);
  return true;
}

}  // namespace cli
