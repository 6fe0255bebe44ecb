// belvon-cli [--data-dir DIR] [--yes] COMMAND ...
//
// The command-line front end: the same core as the desktop program, questions
// answered No unless --yes is given, messages on stderr, results on stdout.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_user_interface.h"
#include "cli/commands.h"
#include "cli/halting_file_system.h"
#include "cli/validate_command.h"
#include "core/version.h"
#include "store/app_state.h"
#include "widgets/profile.h"
#include "orders/issue_statement.h"
#include "orders/ui/issue_documents.h"
#include "reminders/appointment_reminder.h"
#include "maintenance/previous_format.h"

namespace {

int Usage() {
  std::fputs(
      "Aufruf: belvon-cli [--data-dir VERZEICHNIS] [--yes] BEFEHL\n"
      "        belvon-cli --help | --version\n"
      "Befehle:\n"
      "  init [--defaults]    Dateien anlegen bzw. laden, Anzahl der Datensätze ausgeben;\n"
      "                       --defaults: neue BELVON.PAR mit deutschen Vorgaben (EUR, 7 %/19 %)\n"
      "  dump ART             Datensätze als JSON, eine Zeile je Datensatz;\n"
      "                       ART = parameters, articles, addresses, orders, discounts, groups\n"
      "  print JOB [--order NR] [--issue] [--copies N] [--date TT.MM.JJJJ]\n"
      "            [--customer NAME2] [--text DATEI] (--pdf DATEI | --png VERZEICHNIS)\n"
      "                       Beleg drucken: 10 Brief, 1 Angebot, 2 Lieferschein,\n"
      "                       3 Rechnung, 20 Auftragsbestätigung, 23 Kostenvoranschlag,\n"
      "                       4 Sammelrechnung (--customer NAME2 --from NR --to NR)\n"
      "                       16 Mahnungen (--date TT.MM.JJJJ [--reprint], Mahnstufen nur\n"
      "                       mit --issue), 21 C6-Umschlag, 24 Paketaufkleber\n"
      "                       Listen: 5, 9, 19, 13, 14, 15, 17, 18; mit Zeitraum\n"
      "                       (--from TT.MM.JJJJ --to TT.MM.JJJJ): 8 Rechnungsausgangsbuch,\n"
      "                       6 und 7 Hitlisten, 12 Umsatzgrafik, 22 Artikelumsatzliste\n"
      "                       (--article NUMMER)\n"
      "  mail JOB --order NR [--to ADRESSE] [--date TT.MM.JJJJ] [--issue]\n"
      "                       Beleg (1, 2, 3, 20, 23) als PDF per E-Mail senden, wie MAIL.INI\n"
      "                       es einstellt; --issue: per SMTP angenommen gilt er als gedruckt;\n"
      "                       Passwort aus BELVON_SMTP_PASSWORD oder abgefragt; eine Rechnung\n"
      "                       an eine Adresse mit \"XRechnung mitsenden\" trägt die XRechnung\n"
      "                       als zweiten Anhang\n"
      "  mail 16 [--date TT.MM.JJJJ] [--reprint] [--issue]\n"
      "                       Mahnungen per E-Mail, eine je Kunde\n"
      "  export-journal --from TT.MM.JJJJ --to TT.MM.JJJJ [--output DATEI]\n"
      "                       Rechnungsausgangsbuch als CSV (Semikolon, Dezimalkomma)\n"
      "  pay --order NR --amount BETRAG [--date TT.MM.JJJJ] [--cash-discount]\n"
      "                       Zahlungseingang buchen (Skonto nach der Skontofrist nur mit --yes)\n"
      "  book                 gelieferte Aufträge buchen (mit --yes)\n"
      "  bank-import DATEI [--book] [--account KONTO]\n"
      "                       Kontoauszug (CAMT.053, ZIP davon, MT940) den offenen\n"
      "                       Rechnungen zuordnen, eine JSON-Zeile je Umsatz; --book bucht\n"
      "                       die eindeutigen Zahlungen (Konto aus BANK.INI)\n"
      "  settle --from NR --to NR (--customer NAME2 | --all)\n"
      "                       offene Rechnungen egalisieren\n"
      "  einvoice --order NR [--output DATEI]\n"
      "                       E-Rechnung (XRechnung, CII) einer ausgestellten Rechnung\n"
      "                       schreiben; ohne --output als R<NR>.xml\n"
      "  validate-einvoice [--no-xrechnung] [-q] DATEI.xml ...\n"
      "                       E-Rechnungen nach den Regeln von EN 16931 und XRechnung\n"
      "                       prüfen (validate-cii; braucht Java, Saxon-HE und xmllint)\n"
      "  incoming add DATEI   E-Rechnung eines Lieferanten (XRechnung CII/UBL, ZUGFeRD-PDF)\n"
      "                       prüfen und ablegen; eine JSON-Zeile (Status 1: abgewiesen)\n"
      "  incoming list        die abgelegten Eingangsrechnungen, je eine JSON-Zeile\n"
      "  incoming print NR (--pdf DATEI | --png VERZEICHNIS)\n"
      "                       lesbare Darstellung einer Eingangsrechnung\n"
      "  incoming paid NR --date TT.MM.JJJJ\n"
      "                       Eingangsrechnung als bezahlt vermerken\n"
      "  datanorm-import DATEI --supplier NAME [--dm-to-euro]\n"
      "                       Datanorm-4.0-Datei einlesen (mit --yes)\n"
      "  datanorm-export [--output DATEI]\n"
      "                       Artikel als Datanorm 4.0 (Vorgabe: datanorm.001)\n"
      "  export-addresses     Adressen nach ADRESSEN.TXT im Datenverzeichnis\n"
      "  check                Datenstrukturen testen (Status 1 bei Problemen)\n"
      "  reorganise articles|addresses   Artikel bzw. Adressen reorganisieren (mit --yes)\n"
      "  delete-invoices --from TT.MM.JJJJ --to TT.MM.JJJJ\n"
      "                       alte Rechnungen löschen (mit --yes)\n"
      "  changeover           Hauptwährung von DM auf Euro umstellen (mit --yes)\n"
      "  backup [--output DATEI]\n"
      "                       Datensicherung aller Dateien des Datenverzeichnisses (tar.gz);\n"
      "                       Vorgabe: belvon-sicherung-JJJJMMTT-HHMMSS.tar.gz daneben\n"
      "  verify DATEI         Datensicherung prüfen (Prüfsummen, Strukturtest);\n"
      "                       auch verify-backup DATEI\n"
      "  restore DATEI --data-dir VERZEICHNIS\n"
      "                       Datensicherung in ein leeres Verzeichnis zurückspielen;\n"
      "                       auch restore DATEI --to VERZEICHNIS\n"
      "Status: 0 erledigt, 1 Fehler, 2 falscher Aufruf, 3 nichts zu tun\n"
      "        (print 16: keine Mahnungen fällig, keine Datei geschrieben)\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dataDir;
  bool haveDataDir = false;
  bool yes = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--data-dir" && i + 1 < argc) {
      dataDir = argv[++i];
      haveDataDir = true;
    } else if (arg.rfind("--data-dir=", 0) == 0) {
      dataDir = arg.substr(11);
      haveDataDir = true;
    } else if (arg == "--yes") {
      yes = true;
    } else if (arg == "--help" || arg == "-h") {
      return Usage();
    } else if (arg == "--version") {
      std::printf("belvon-cli %s\n", frame::ProgramVersion());
      return 0;
    } else {
      args.push_back(arg);
    }
  }
  if (args.empty()) return Usage();
  // Checking e-invoice files needs no data directory.
  if (args[0] == "validate-einvoice") return cli::ValidateEInvoiceCommand(args);

  frame::AppState app;
  cli::CliUserInterface ui(yes);
  app.ui = &ui;
  cli::HaltingFileSystem files;
  app.fileSystem = &files;
  // Files of the previous version are converted only when asked for (--yes);
  // without it the command ends, telling why, and nothing is changed.
  if (yes) app.convertPreviousFormat = maintenance::ConvertPreviousFormat;
  app.searchAppointments = reminders::SearchAppointments;
  app.completeIssueBook = orders::CompleteIssueBook;
  app.renderIssuedDocuments = orders::RenderIssuedDocuments;
  // The desktop program's rule for the path, whether it comes from
  // --data-dir or from DATEIPFAD: a directory gets its "/", and one that does
  // not exist is created only when the user says so (--yes).
  // Checking and restoring a backup need no data directory.
  const bool archiveOnly =
      args[0] == "verify" || args[0] == "verify-backup" || args[0] == "restore";
  // "restore FILE --data-dir DIR": the directory named is where the backup
  // goes, never the profile's data directory.
  if (args[0] == "restore" && haveDataDir && args.size() == 2) {
    args.push_back("--data-dir");
    args.push_back(dataDir);
  }
  if (!haveDataDir) dataDir = frame::ProfileDataDirectory();
  if (!archiveOnly && !frame::SettleDataDirectory(dataDir, &ui)) return 1;
  app.dataDirectory = dataDir;
  return cli::RunCommand(app, args);
}
