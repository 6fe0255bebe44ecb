// The desktop program: profile, main window with its panes, parameters,
// message loop.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "datanorm/ui/datanorm_menu.h"
#include "core/version.h"
#include "store/app_state.h"
#include "app/first_start.h"
#include "app/main_window.h"
#include "widgets/profile.h"
#include "widgets/qt_user_interface.h"
#include "orders/issue_statement.h"
#include "orders/ui/issue_documents.h"
#include "reminders/appointment_reminder.h"
#include "maintenance/ui/maintenance_menu.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/kunden_pane.h"
#include "einvoice/ui/einvoice_menu.h"
#include "backup/ui/backup_menu.h"
#include "bank/ui/bank_menu.h"
#include "datev/ui/datev_menu.h"
#include "mail/ui/mail_menu.h"
#include "orders/ui/cash_desk_pane.h"
#include "orders/ui/payment_menu.h"
#include "letters/ui/letters_menu.h"
#include "orders/ui/rechnung_pane.h"
#include "orders/ui/rechnungsuchen_dialog.h"
#include "receive/ui/eingangsrechnungen_window.h"
#include "reports/ui/report_menu.h"

int main(int argc, char** argv) {
  // Answered before any window system is asked for, so it works without one.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Belvon %s\n", frame::ProgramVersion());
      return 0;
    }
  }
  QApplication application(argc, argv);
  // Numbers are read and shown with a decimal point, whatever the locale.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("Belvon"));
  QApplication::setApplicationVersion(QString::fromLatin1(frame::ProgramVersion()));
  Q_INIT_RESOURCE(icons);
  // The standard dialogs (printer, fonts, files) speak German as well.
  QTranslator standardDialogs;
  if (standardDialogs.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&standardDialogs);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/belvon.png")));

  frame::AppState app;
  frame::QtUserInterface ui;
  app.ui = &ui;
  app.searchAppointments = reminders::SearchAppointments;
  app.completeIssueBook = orders::CompleteIssueBook;
  app.renderIssuedDocuments = orders::RenderIssuedDocuments;
  frame::ReadProfile(app);
  if (!frame::SettleDataDirectory(app.dataDirectory, &ui)) {
    ui.message(
        "Ohne Datenverzeichnis kann Belvon nicht arbeiten.\n"
        "Bitte den Pfad DATEIPFAD in belvon.ini prüfen.",
        frame::Icon::Stop);
    return 1;
  }

  frame::MainWindow window(app);
  ui.setOwner(&window);
  // The order pane first: the address pane tells it about the customer as
  // soon as it shows its first address.
  orders::InstallOrderPane(window);
  masterdata::InstallArticlePane(window);
  masterdata::InstallAddressPane(window);
  orders::InstallPaymentCommands(window);
  einvoice::InstallEInvoiceCommands(window);
  datev::InstallDatevCommands(window);
  bank::InstallBankCommands(window);
  receive::InstallIncomingCommands(window);
  mail::InstallMailCommands(window);
  letters::InstallLetterCommands(window);
  orders::InstallOrderSearch(window);
  orders::InstallCashDeskPane(window);
  reports::RegisterReportCommands(window);
  datanorm::RegisterDatanormCommands(window);
  maintenance::InstallMaintenance(window);
  // After the maintenance: it offers a backup before its commands.
  backup::InstallBackupCommands(window);
  // The files exist before any pane reads from them. A data directory that
  // cannot be worked with as it is (the message said why) ends the program
  // before anything is shown from it.
  if (!frame::StartOnDataDirectory(app, window)) return 1;
  backup::ShowBackupReminder(window);
  // A file handed to the program (the desktop's "open with"): an e-invoice
  // a supplier sent, opened into the inbox.
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i)
    if (!arguments[i].startsWith(QLatin1Char('-'))) receive::OpenIncomingFile(window, arguments[i]);
  return application.exec();
}
