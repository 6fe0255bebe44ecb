#include "orders/ui/rechnungdrucken_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "einvoice/pdf_invoice.h"
#include "einvoice/ui/einvoice_menu.h"
#include "einvoice/ui/erechnung_dialog.h"
#include "core/decimal.h"
#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "store/text_field.h"

namespace orders {

namespace {

// The "gedruckt" mark of each document and the flag it shows.
constexpr std::pair<int, std::uint16_t> kMarks[] = {
    {2081, store::kOrderQuotationPrinted},    {2093, store::kOrderConfirmationPrinted},
    {2097, store::kOrderCostEstimatePrinted}, {2082, store::kOrderDeliveryNotePrinted},
    {2083, store::kOrderInvoicePrinted}};

// Saves the issued invoice as an XRechnung.
constexpr int kEInvoiceButton = 2302;
// Mails a document; its menu names the kinds.
constexpr int kMailButton = 2303;
// What a PDF invoice of this order would lack, and the way to the setting.
constexpr int kEInvoiceBanner = 2304;
constexpr int kEInvoiceSettingsButton = 2305;

MailDocumentCall& MailCall() {
  static MailDocumentCall call;
  return call;
}

}  // namespace

void SetMailDocumentCall(MailDocumentCall call) { MailCall() = std::move(call); }

bool MailsDocumentJob(int job) {
  switch (static_cast<DocumentKind>(job)) {
    case DocumentKind::Quotation:
    case DocumentKind::Confirmation:
    case DocumentKind::CostEstimate:
    case DocumentKind::DeliveryNote:
    case DocumentKind::Invoice: return static_cast<bool>(MailCall());
    default: return false;
  }
}

bool MailDocumentJob(frame::AppState& app, int job, const std::string& printDate, QWidget* parent) {
  return MailsDocumentJob(job) && MailCall()(app, static_cast<DocumentKind>(job), printDate, parent);
}

std::string PdfEInvoiceLack(frame::AppState& app, const std::string& invoiceDate) {
  // Only what an invoice would carry: a credit note or an empty order asks
  // for nothing here.
  if (app.order.lineCount <= 0) return {};
  const einvoice::PdfEInvoice invoice = einvoice::MakePdfEInvoice(app, false, invoiceDate);
  if (invoice.attach || invoice.message.empty()) return {};
  std::string text = invoice.message;
  for (std::size_t at; (at = text.find(":\n- ")) != std::string::npos;) text.replace(at, 4, ": ");
  for (std::size_t at; (at = text.find("\n- ")) != std::string::npos;) text.replace(at, 3, ", ");
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

RechnungDruckenDialog::RechnungDruckenDialog(frame::AppState& app, PrintJobCall printJob,
                                             QWidget* parent)
    : QDialog(parent), app_(app), printJob_(std::move(printJob)) {
  setObjectName(QStringLiteral("RECHNUNGDRUCKEN"));
  setWindowTitle(QStringLiteral("Auftrag drucken"));
  printDate_ = FormatDate(*app_.clock);
  auto* top = new QVBoxLayout(this);

  auto* documents = new QGroupBox(QStringLiteral("Drucken als"), this);
  auto* grid = new QGridLayout(documents);
  const struct {
    int button;
    const char* text;
    int mark;
  } rows[] = {{2084, "&Angebot", 2081},
              {2091, "Auftrags&best.", 2093},
              {2092, "Kostenvorans.", 2097},
              {2085, "&Lieferschein", 2082},
              {2086, "&Rechnung", 2083}};
  int row = 0;
  for (const auto& r : rows) {
    QPushButton* button = frame::MakeButton(documents, r.button, QString::fromUtf8(r.text));
    connect(button, &QPushButton::clicked, this, [this, id = r.button] { command(id); });
    grid->addWidget(button, row, 0);
    QCheckBox* mark = frame::MakeCheck(documents, r.mark, QStringLiteral("gedruckt"));
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(mark, row, 1);
    ++row;
  }
  top->addWidget(documents);

  auto* options = new QGroupBox(QStringLiteral("Optionen"), this);
  auto* optionGrid = new QGridLayout(options);
  store::ParameterRecord& p = app_.parameters;
  QCheckBox* prices = frame::MakeCheck(options, 2094, QStringLiteral("Preise"));
  prices->setChecked(!p.pricesHidden);
  connect(prices, &QCheckBox::toggled, this, [this](bool on) { app_.parameters.pricesHidden = on ? 0 : 1; });
  QCheckBox* signature = frame::MakeCheck(options, 2095, QStringLiteral("Unterschrift"));
  signature->setChecked(p.printSignature);
  connect(signature, &QCheckBox::toggled, this, [this](bool on) { app_.parameters.printSignature = on; });
  QCheckBox* terms = frame::MakeCheck(options, 2100, QStringLiteral("Zahlziel"));
  terms->setChecked(p.printPaymentTerms);
  connect(terms, &QCheckBox::toggled, this, [this](bool on) { app_.parameters.printPaymentTerms = on; });
  QCheckBox* noNumber = frame::MakeCheck(options, 2098, QStringLiteral("Artikel-Nr nicht drucken"));
  noNumber->setChecked(p.hideArticleNumber);
  connect(noNumber, &QCheckBox::toggled, this, [this](bool on) { app_.parameters.hideArticleNumber = on; });
  optionGrid->addWidget(prices, 0, 0);
  optionGrid->addWidget(signature, 0, 1);
  optionGrid->addWidget(terms, 1, 0);
  optionGrid->addWidget(noNumber, 1, 1);
  QLineEdit* title = frame::MakeEdit(options, 2096, 29);
  title->setText(frame::FromField(p.deliveryNoteTitle));
  connect(title, &QLineEdit::textEdited, this, [this](const QString& text) {
    frame::FieldWriter writer;
    writer.write(app_.parameters.deliveryNoteTitle, text, 29);
  });
  frame::AddRow(optionGrid, 2, 0, QStringLiteral("Titel Lieferschein"), title);
  QLineEdit* date = frame::MakeEdit(options, 2088, 10);
  date->setText(QString::fromStdString(printDate_));
  connect(date, &QLineEdit::textEdited, this, [this](const QString& text) {
    dateText_ = text.left(10).toStdString();
  });
  frame::AddRow(optionGrid, 3, 0, QStringLiteral("Datum"), date);
  QLineEdit* copies = frame::MakeEdit(options, 2087, 4);
  copies->setText(QString::number(app_.address.copies));
  connect(copies, &QLineEdit::textEdited, this, [this](const QString& text) {
    app_.address.copies = static_cast<std::int16_t>(frame::ParseWhole(text.toStdString()));
  });
  frame::AddRow(optionGrid, 4, 0, QStringLiteral("Anzahl Ausdrucke"), copies);
  top->addWidget(options);

  // Said once here, instead of a box for every PDF invoice printed.
  auto* bannerRow = new QHBoxLayout;
  auto* banner = new QLabel(this);
  banner->setProperty("id", kEInvoiceBanner);
  banner->setWordWrap(true);
  banner->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; padding: 4px; }"));
  bannerRow->addWidget(banner, 1);
  QPushButton* settings =
      frame::MakeButton(this, kEInvoiceSettingsButton, QStringLiteral("Einstellung..."));
  connect(settings, &QPushButton::clicked, this, [this] { command(kEInvoiceSettingsButton); });
  bannerRow->addWidget(settings);
  top->addLayout(bannerRow);

  auto* buttons = frame::MakeButtonRow(this, {{kEInvoiceButton, "E-Rechnung..."}, {2, "Abbruch"}, {9, "&Hilfe"}},
                                       [this](int id) { command(id); });
  if (MailCall()) {
    QPushButton* mailButton = frame::MakeButton(this, kMailButton, QStringLiteral("Per E-&Mail senden..."));
    auto* kinds = new QMenu(mailButton);
    for (auto [kind, text] : {std::pair{DocumentKind::Quotation, "Angebot"},
                              std::pair{DocumentKind::Confirmation, "Auftragsbestätigung"},
                              std::pair{DocumentKind::CostEstimate, "Kostenvoranschlag"},
                              std::pair{DocumentKind::DeliveryNote, "Lieferschein"},
                              std::pair{DocumentKind::Invoice, "Rechnung"}})
      kinds->addAction(QString::fromUtf8(text), this, [this, kind] { mail(kind); });
    mailButton->setMenu(kinds);
    buttons->insertWidget(1, mailButton);
  }
  top->addLayout(buttons);
  showMarks();
  showEInvoiceBanner();
  copies->setFocus();
  copies->selectAll();
}

void RechnungDruckenDialog::showEInvoiceBanner() {
  const std::string lacking = PdfEInvoiceLack(app_, printDate_);
  frame::Control<QLabel>(this, kEInvoiceBanner)->setText(QString::fromStdString(lacking));
  frame::Control<QLabel>(this, kEInvoiceBanner)->setVisible(!lacking.empty());
  frame::FindControl(this, kEInvoiceSettingsButton)->setVisible(!lacking.empty());
}

void RechnungDruckenDialog::showMarks() {
  for (auto [id, flag] : kMarks)
    frame::Control<QCheckBox>(this, id)->setChecked(app_.order.flags & flag);
}

bool RechnungDruckenDialog::takeDate() {
  // The date is printed and may become the invoice date: only a real date,
  // written in full, so that a reprint recognises it.
  if (dateText_) {
    const std::string date = EnteredDate(*dateText_);
    if (date.empty()) {
      if (app_.ui)
        app_.ui->message("Im Feld \"Datum\" steht kein gültiges Datum.\n"
                         "Bitte ein Datum wie 05.12.2026 eingeben.",
                         frame::Icon::Stop);
      frame::Control<QLineEdit>(this, 2088)->setFocus();
      return false;
    }
    printDate_ = date;
    frame::Control<QLineEdit>(this, 2088)->setText(QString::fromStdString(date));
  }
  return true;
}

void RechnungDruckenDialog::mail(DocumentKind kind) {
  if (!takeDate()) return;
  const bool issued = MailCall()(app_, kind, printDate_, this);
  showMarks();
  if (issued) QDialog::accept();
}

void RechnungDruckenDialog::issue(DocumentKind kind) {
  if (!takeDate()) return;
  int copies = app_.address.copies;
  bool issued = IssueDocument(app_, kind, copies, printDate_, printJob_);
  showMarks();
  // The print job closes the dialog once the document is out.
  if (issued) QDialog::accept();
}

void RechnungDruckenDialog::command(int id) {
  switch (id) {
    case 2084: issue(DocumentKind::Quotation); break;
    case 2091: issue(DocumentKind::Confirmation); break;
    case 2092: issue(DocumentKind::CostEstimate); break;
    case 2085: issue(DocumentKind::DeliveryNote); break;
    case 2086: issue(DocumentKind::Invoice); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 39); break;
    case kEInvoiceButton: einvoice::SaveEInvoice(app_, this); break;
    case kEInvoiceSettingsButton: {
      einvoice::ERechnungDialog settings(app_, this);
      settings.exec();
      showEInvoiceBanner();
      break;
    }
    default: break;
  }
}

void RechnungDruckenDialog::reject() {
  // The options chosen here are kept for the next time.
  frame::SaveParameters(app_);
  QDialog::reject();
}

}  // namespace orders
