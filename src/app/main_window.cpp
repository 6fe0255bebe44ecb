#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QShortcut>
#include <QVBoxLayout>

#include "core/command_ids.h"
#include "core/decimal.h"
#include "store/parameter_file.h"
#include "store/status_text.h"
#include "app/about_dialog.h"
#include "app/druckparam_dialog.h"
#include "app/email_dialog.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "app/key_mapper.h"
#include "app/mahndaten_dialog.h"
#include "orders/ui/cash_customer_choice.h"
#include "widgets/pane.h"
#include "widgets/profile.h"
#include "app/stammdaten_dialog.h"
#include "app/waehrung_dialog.h"
#include "store/load_parameters.h"
#include "core/user_interface.h"
#include "printing/ui/qt_print_host.h"
#include "store/order_file.h"
#include "store/product_group_table.h"
#include "store/text_field.h"
#include "reminders/appointment_reminder.h"

namespace frame {

namespace {

// The commands that restricted mode greys.
constexpr int kRestrictedCommands[] = {102, 105, 104, 134, 135, 132, 119, 121, 123,
                                       124, 112, 109, 111, 114, 139, 122, 113};

}  // namespace

MainWindow::MainWindow(AppState& app, QWidget* parent) : FrameWindow(app, parent) {
  if (app_.cashDeskMode)
    buildCashDeskMenu();
  else
    buildMenu();
  registerFrameCommands();
  // Print jobs, their previews and the job-finished notice belong to this window.
  new printing::QtPrintHost(this);

  // The accelerators: Ctrl+N and Ctrl+Z.
  auto* backOrder = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
  connect(backOrder, &QShortcut::activated, this, [this] { command(cmd::kConfirmBackOrder); });
  auto* payment = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
  connect(payment, &QShortcut::activated, this, [this] { command(cmd::kPaymentReceived); });
  qApp->installEventFilter(new KeyMapper(*this));

  if (app_.restrictedMode)
    for (int id : kRestrictedCommands)
      if (QAction* action = menuAction(id)) action->setEnabled(false);

  store::LoadProductGroups(app_);
  refreshStatus();
  connect(&clock_, &QTimer::timeout, this, &MainWindow::refreshStatus);
  clock_.start(1000);
}

void MainWindow::buildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&Datei"));
  addCommand(file, cmd::kMasterData, QStringLiteral("&Stammdaten..."));
  addCommand(file, cmd::kCurrencies, QStringLiteral("&Währungen, UmSt..."));
  addCommand(file, cmd::kPrinterSetup, QStringLiteral("&Drucker einrichten..."));
  addCommand(file, cmd::kEInvoiceSettings, QStringLiteral("&E-Rechnung..."));
  addCommand(file, cmd::kMailSettings, QStringLiteral("E-&Mail..."));
  addCommand(file, cmd::kDatevSettings, QStringLiteral("D&ATEV..."));
  file->addSeparator();
  addCommand(file, cmd::kBackup, QStringLiteral("Datensic&herung..."));
  addCommand(file, cmd::kRestoreBackup, QStringLiteral("Datensicherung &zurückspielen..."));
  file->addSeparator();
  addCommand(file, cmd::kTextEditor, QStringLiteral("&Texteditor..."));
  addCommand(file, cmd::kOpenCashDrawer, QStringLiteral("&Kassenschublade öffnen"));
  addCommand(file, cmd::kCashCustomer, QStringLiteral("&Barkunde wählen..."));
  addCommand(file, cmd::kSwitchInterface, QStringLiteral("Programm&oberfläche wechseln"));
  file->addSeparator();
  addCommand(file, cmd::kQuit, QStringLiteral("&Programm beenden"));

  QMenu* addresses = bar->addMenu(QStringLiteral("&Adressen"));
  addCommand(addresses, cmd::kAddressSelection, QStringLiteral("&Auswahl..."));
  addCommand(addresses, cmd::kAddressListByName, QStringLiteral("Auswahlliste &drucken (Name)"));
  addCommand(addresses, cmd::kAddressListByPostcode, QStringLiteral("Auswahlliste drucken (&PLZ)"));
  addCommand(addresses, cmd::kExportAddresses, QStringLiteral("Auswahlliste exportieren"));
  addresses->addSeparator();
  addCommand(addresses, cmd::kC6Envelope, QStringLiteral("C6-&Umschlag drucken"));
  addCommand(addresses, cmd::kParcelLabel, QStringLiteral("Paketaufkleber drucken"));
  addresses->addSeparator();
  addCommand(addresses, cmd::kAppointmentSearch, QStringLiteral("Terminsuche"));
  addCommand(addresses, cmd::kCustomerHitList, QStringLiteral("Kundenhitliste drucken..."));

  QMenu* articles = bar->addMenu(QStringLiteral("A&rtikel"));
  addCommand(articles, cmd::kArticleSelection, QStringLiteral("&Auswahl..."));
  addCommand(articles, cmd::kOfferOfTheWeek, QStringLiteral("Angebot der &Woche..."));
  articles->addSeparator();
  addCommand(articles, cmd::kSelectionListSale, QStringLiteral("Auswahlliste drucken (&VK)"));
  addCommand(articles, cmd::kSelectionListPurchase, QStringLiteral("Auswahlliste drucken (&EK)"));
  addCommand(articles, cmd::kOrderProposals, QStringLiteral("&Bestellvorschläge drucken"));
  addCommand(articles, cmd::kArticleHitList, QStringLiteral("Artikelhitliste drucken..."));
  addCommand(articles, cmd::kArticleTurnoverList, QStringLiteral("Artikelumsatzliste drucken..."));
  articles->addSeparator();
  addCommand(articles, cmd::kDatanormImport, QStringLiteral("Datanorm-Artikelimport (4.0)"));
  addCommand(articles, cmd::kDatanormExport, QStringLiteral("Datanorm-Artikelexport (4.0)"));

  QMenu* invoices = bar->addMenu(QStringLiteral("Re&chnungen"));
  addCommand(invoices, cmd::kConfirmBackOrder,
             QStringLiteral("Nachlieferung bestätigen...\tStrg N"));
  addCommand(invoices, cmd::kPaymentReceived, QStringLiteral("&Zahlungseingang...\tStrg Z"));
  addCommand(invoices, cmd::kBankStatement, QStringLiteral("&Kontoauszug einlesen..."));
  addCommand(invoices, cmd::kCollectiveInvoice, QStringLiteral("&Sammelrechnung drucken..."));
  addCommand(invoices, cmd::kEInvoiceSave, QStringLiteral("&E-Rechnung speichern..."));
  addCommand(invoices, cmd::kIncomingInvoices, QStringLiteral("E&ingangsrechnungen..."));
  addCommand(invoices, cmd::kMailLog, QStringLiteral("E-&Mail-Versand..."));
  invoices->addSeparator();
  addCommand(invoices, cmd::kOpenInvoiceList, QStringLiteral("Liste &offener Rechnungen drucken"));
  addCommand(invoices, cmd::kUnprintedInvoiceList,
             QStringLiteral("Liste &ungedruckter Rechnungen drucken"));
  addCommand(invoices, cmd::kInvoiceJournal, QStringLiteral("&Rechnungsausgangsbuch drucken..."));
  addCommand(invoices, cmd::kDatevExport, QStringLiteral("DATEV-E&xport..."));
  addCommand(invoices, cmd::kOpenBackOrderList,
             QStringLiteral("Liste offener &Nachlieferungen drucken"));
  addCommand(invoices, cmd::kTurnoverGraph, QStringLiteral("Umsatzgrafik drucken..."));
  invoices->addSeparator();
  addCommand(invoices, cmd::kDunningLetters, QStringLiteral("&Mahnungen drucken..."));
  addCommand(invoices, cmd::kDunningMail, QStringLiteral("Mahnungen per E-Mail senden..."));
  addCommand(invoices, cmd::kDunningSettings, QStringLiteral("Mahn&daten..."));
  invoices->addSeparator();
  addCommand(invoices, cmd::kBooking, QStringLiteral("&Buchen..."));
  addCommand(invoices, cmd::kSettleOpenInvoices, QStringLiteral("Offene Rechnungen egalisieren..."));

  QMenu* maintenance = bar->addMenu(QStringLiteral("&Wartung"));
  addCommand(maintenance, cmd::kTestDataStructures, QStringLiteral("Datenstrukturen testen"));
  addCommand(maintenance, cmd::kReorganiseAddresses, QStringLiteral("Adressen &reorganisieren"));
  addCommand(maintenance, cmd::kReorganiseArticles, QStringLiteral("Artikel &reorganisieren"));
  addCommand(maintenance, cmd::kDeleteOldInvoices, QStringLiteral("&Alte Rechungen löschen..."));
  maintenance->addSeparator();
  addCommand(maintenance, cmd::kCurrencyChangeover,
             QStringLiteral("Hauptwährung von DM auf Euro umstellen"));
  // The changeover was done once and for all; the entry stays grey.
  menuAction(cmd::kCurrencyChangeover)->setEnabled(false);

  QMenu* help = bar->addMenu(QStringLiteral("&Hilfe"));
  addCommand(help, cmd::kOnlineHelp, QStringLiteral("&Online-Hilfe"));
  addCommand(help, cmd::kAbout, QStringLiteral("&Über Belvon..."));
}

void MainWindow::buildCashDeskMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("&Datei"));
  addCommand(file, cmd::kOpenCashDrawer, QStringLiteral("&Kassenschublade öffnen"));
  addCommand(file, cmd::kCashCustomer, QStringLiteral("&Barkunde wählen..."));
  addCommand(file, cmd::kSwitchInterface, QStringLiteral("Programm&oberfläche wechseln"));
  addCommand(file, cmd::kQuit, QStringLiteral("&Programm beenden"));
  QMenu* maintenance = bar->addMenu(QStringLiteral("Wartung"));
  addCommand(maintenance, cmd::kTestDataStructures, QStringLiteral("Datenstrukturen testen"));
}

void MainWindow::registerFrameCommands() {
  setCommandHandler(cmd::kQuit, [this] { close(); });
  setCommandHandler(cmd::kAbout, [this] { AboutDialog(this).exec(); });
  setCommandHandler(cmd::kOnlineHelp, [this] { ShowHelp(this, 1); });
  setCommandHandler(cmd::kMasterData, [this] {
    const FigureStyle figures = app_.figures;
    EditMasterData(app_, this);
    refreshStatus();
    // The panes write their figures in the new style at once.
    if (app_.figures != figures) refreshPanes();
  });
  setCommandHandler(cmd::kCurrencies, [this] {
    WaehrungDialog dialog(app_.parameters, this);
    dialog.setFigures(app_.figures);
    if (dialog.exec() != QDialog::Accepted) return;
    app_.parameters = dialog.parameters();
    app_.fourthCurrencyPrint = app_.parameters.fourthCurrencyPrint;
    SaveParameters(app_);
  });
  setCommandHandler(cmd::kPrinterSetup, [this] {
    // The font buttons write straight into the parameters in memory, so a
    // font chosen before "Abbruch" stays until the file is read again.
    DruckparamDialog dialog(app_.parameters, this);
    int result = dialog.exec();
    app_.parameters = dialog.parameters();
    if (result == QDialog::Accepted) SaveParameters(app_);
  });
  setCommandHandler(cmd::kMailSettings, [this] { EmailDialog(app_, this).exec(); });
  setCommandHandler(cmd::kDunningSettings, [this] {
    MahndatenDialog dialog(app_.parameters, this);
    if (dialog.exec() != QDialog::Accepted) return;
    app_.parameters = dialog.parameters();
    SaveParameters(app_);
  });
  setCommandHandler(cmd::kPaymentReceived, [this] {
    if (app_.order.orderNumber == 0 && app_.ui)
      app_.ui->message("Bitte erst Auftrag suchen !", Icon::Stop);
  });
  setCommandHandler(cmd::kAppointmentSearch, [this] { reminders::SearchAppointments(app_); });
  setCommandHandler(cmd::kOfferOfTheWeek, [this] { offerOfTheWeek(); });
  setCommandHandler(cmd::kSwitchInterface, [this] { switchInterface(); });
  setCommandHandler(cmd::kOpenCashDrawer, [this] { openCashDrawer(); });
  setCommandHandler(cmd::kCashCustomer, [this] { orders::ChangeCashCustomer(app_, this); });
}

void MainWindow::offerOfTheWeek() {
  const store::ArticleRecord& article = app_.article;
  const store::ParameterRecord& p = app_.parameters;
  const char* symbols[] = {p.currencySymbol1, p.currencySymbol2, p.currencySymbol3,
                           p.currencySymbol4};
  int currency = article.currency < 4 ? article.currency : 0;
  // The record texts are Windows-1252, the format and the question UTF-8.
  auto utf8 = [](std::string_view field) { return FromCp1252(field).toStdString(); };
  std::string text =
      "Das Angebot der Woche:\n" + utf8(store::GetText(article.number)) + "\n" +
      utf8(store::GetText(article.designation)) + "\nfür " +
      Money(app_.figures, article.price1 / 100.0, utf8(store::GetText(symbols[currency], 4)));
  if (!app_.ui || !app_.ui->confirm(text, Icon::None)) return;
  store::SetText(app_.parameters.offerArticleNumber, store::GetText(article.number));
  store::SetText(app_.parameters.offerDesignation, store::GetText(article.designation));
  app_.parameters.offerPrice = article.price1;
  app_.parameters.offerCurrency = static_cast<std::int16_t>(article.currency);
  SaveParameters(app_);
}

void MainWindow::switchInterface() {
  const bool toCashDesk = app_.cashDeskMode == 0;
  if (app_.ui)
    app_.ui->message(toCashDesk ? "Belvon wird beendet und in der Kassenoberfläche neu gestartet."
                                : "Belvon wird beendet und in der Büro-Oberfläche neu gestartet.",
                     Icon::Information);
  // The profile changes only when the program really ends: a Cancel to
  // "Auftrag speichern ?" keeps it running in the interface it has.
  QMetaObject::invokeMethod(
      this,
      [this, toCashDesk] {
        if (!close()) return;
        WriteProfileCashDesk(toCashDesk ? 1 : 0);
        if (restart_)
          restart_();
        else
          QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                  QCoreApplication::arguments().mid(1));
      },
      Qt::QueuedConnection);
}

void MainWindow::openCashDrawer() {
  QString line = FromField(app_.parameters.cashDrawerCommand).trimmed();
  QStringList parts = QProcess::splitCommand(line);
  if (parts.isEmpty()) return;
  QString program = parts.takeFirst();
  // Started and left alone: the program does not wait for the drawer.
  QProcess::startDetached(program, parts);
}

}  // namespace frame
