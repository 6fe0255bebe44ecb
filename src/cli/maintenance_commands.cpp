#include "cli/maintenance_commands.h"

#include <cstdio>

#include "store/load_parameters.h"
#include "maintenance/currency_changeover.h"
#include "maintenance/index_repair.h"
#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"
#include "maintenance/structure_test.h"
#include "core/dates.h"

namespace cli {

namespace {

int Usage(const char* text) {
  std::fprintf(stderr, "Aufruf: belvon-cli %s\n", text);
  return 2;
}

bool IsDate(const std::string& text) {
  return !text.empty() && orders::NormaliseDate(text) == text;
}

}  // namespace

int CheckCommand(frame::AppState& app, const std::vector<std::string>& args) {
  const bool repair = args.size() == 2 && args[1] == "--repair";
  if (args.size() != 1 && !repair) return Usage("check [--repair]");
  if (!frame::LoadParameters(app)) return 1;
  using maintenance::Finding;
  std::vector<maintenance::StructureProblem> problems = maintenance::ExamineDataStructures(app);
  for (const auto& problem : problems) std::printf("%s\n", problem.text.c_str());
  std::printf("Test beendet !\n");
  if (!repair) return problems.empty() ? 0 : 1;
  // The indexes are built again from their record files; what remains is
  // shown once more.
  if (!maintenance::AnyOf(problems, Finding::Damage) &&
      !maintenance::AnyOf(problems, Finding::Unindexed))
    return problems.empty() ? 0 : 1;
  if (!maintenance::RepairIndexes(app, problems)) return 1;
  problems = maintenance::ExamineDataStructures(app);
  for (const auto& problem : problems) std::printf("%s\n", problem.text.c_str());
  std::printf("Test beendet !\n");
  return problems.empty() ? 0 : 1;
}

int ReorganiseCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 2 || (args[1] != "articles" && args[1] != "addresses"))
    return Usage("[--yes] reorganise articles|addresses");
  if (!frame::LoadParameters(app)) return 1;
  const int done = args[1] == "articles" ? maintenance::ReorganiseArticles(app)
                                         : maintenance::ReorganiseAddresses(app);
  if (done)
    std::printf("%d\n",
                args[1] == "articles" ? app.articles.lastIndex + 1 : app.addresses.lastIndex + 1);
  return done ? 0 : 1;
}

int DeleteInvoicesCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string from, to;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--from") from = args[i + 1];
    if (args[i] == "--to") to = args[i + 1];
  }
  if (args.size() != 5 || !IsDate(from) || !IsDate(to))
    return Usage("[--yes] delete-invoices --from TT.MM.JJJJ --to TT.MM.JJJJ");
  if (!frame::LoadParameters(app)) return 1;
  if (!maintenance::ConfirmInvoiceDeletion(app) || !maintenance::DeleteOldInvoices(app, from, to))
    return 1;
  std::printf("%d\n", app.orders.lastIndex + 1);
  return 0;
}

int ChangeoverCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("[--yes] changeover");
  if (!frame::LoadParameters(app)) return 1;
  return maintenance::CurrencyChangeover(app) ? 0 : 1;
}

}  // namespace cli
