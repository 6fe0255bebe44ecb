#include "cli/commands.h"

#include <cstdio>
#include <functional>
#include <map>

#include "cli/backup_commands.h"
#include "cli/bank_command.h"
#include "cli/cancel_command.h"
#include "cli/datanorm_commands.h"
#include "cli/datev_command.h"
#include "cli/dump.h"
#include "cli/einvoice_commands.h"
#include "cli/incoming_commands.h"
#include "cli/maintenance_commands.h"
#include "cli/payment_commands.h"
#include "cli/mail_command.h"
#include "cli/print_command.h"
#include "cli/report_commands.h"
#include "letters/dunning_texts.h"
#include "store/einvoice_settings.h"
#include "store/first_start_defaults.h"
#include "store/figure_style_file.h"
#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "store/file_replacement.h"

namespace cli {

namespace {

// Loads (or creates) the data directory; a directory that cannot be worked
// with as it is ends with 1, after the message that says why.
int Init(frame::AppState& app, const std::vector<std::string>& args) {
  // --defaults: a parameter file that was never saved gets the first-start
  // defaults; one the user has set up is left alone.
  const bool defaults = args.size() > 1 && args[1] == "--defaults";
  if (!frame::LoadParameters(app)) return 1;
  const bool fresh = defaults && frame::ParametersUnset(app.parameters);
  if (defaults && !fresh)
    std::fputs("BELVON.PAR ist schon eingerichtet; die Vorgaben werden nicht geschrieben.\n",
               stderr);
  if (fresh) {
    frame::FillFirstStartDefaults(app.parameters);
    if (!frame::SaveParameters(app)) {
      std::fputs("BELVON.PAR konnte nicht geschrieben werden.\n", stderr);
      return 1;
    }
    // A new directory writes figures the German way.
    app.figures = frame::FigureStyle::German;
    if (!store::SaveFigureStyle(app, app.figures)) {
      std::fputs("FORMAT.INI konnte nicht geschrieben werden.\n", stderr);
      return 1;
    }
    // PDF invoices carry their e-invoice from the start (once it can be made).
    if (!einvoice::StartNewDirectorySettings(app.dataDirectory)) {
      std::fputs("ERECHNUNG.INI konnte nicht geschrieben werden.\n", stderr);
      return 1;
    }
    std::string failed;
    if (!letters::WriteDefaultDunningTexts(app, &failed)) {
      std::fprintf(stderr, "%s konnte nicht geschrieben werden.\n", failed.c_str());
      return 1;
    }
  }
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
                   {"pay", PayCommand}, {"book", BookCommand}, {"settle", SettleCommand},
                   {"einvoice", EInvoiceCommand}, {"mail", MailCommand},
                   {"cancel", CancelCommand},
                   {"export-journal", ExportJournalCommand},
                   {"export-datev", ExportDatevCommand},
                   {"datanorm-import", DatanormImportCommand},
                   {"datanorm-export", DatanormExportCommand},
                   {"export-addresses", ExportAddressesCommand},
                   {"check", CheckCommand}, {"reorganise", ReorganiseCommand},
                   {"delete-invoices", DeleteInvoicesCommand}, {"changeover", ChangeoverCommand},
                   {"backup", BackupCommand}, {"bank-import", BankImportCommand},
                   {"incoming", IncomingCommand}};
  // Checking and restoring a backup read only the archive: the data
  // directory is not looked at.
  static const std::map<std::string, std::function<int(frame::AppState&,
                                                       const std::vector<std::string>&)>>
      kArchiveCommands = {{"verify", VerifyBackupCommand},
                          {"verify-backup", VerifyBackupCommand},
                          {"restore", RestoreCommand}};
  if (auto archive = kArchiveCommands.find(args[0]); archive != kArchiveCommands.end())
    return archive->second(app, args);
  auto found = kCommands.find(args[0]);
  if (found == kCommands.end()) {
    std::fprintf(stderr, "Unbekannter Befehl: %s\n", args[0].c_str());
    return 2;
  }
  // Every command works on the data directory, and none may see it half
  // replaced: the swaps of a run that was interrupted are finished first,
  // also for the commands that only read (dump) and never load parameters.
  if (!store::FinishInterruptedReplacement(app)) return 1;
  return found->second(app, args);
}

}  // namespace cli
