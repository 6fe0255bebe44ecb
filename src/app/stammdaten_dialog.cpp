#include "app/stammdaten_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <charconv>
#include <optional>

#include "store/einvoice_settings.h"
#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "core/settings_rules.h"
#include "core/user_interface.h"
#include "store/figure_style_file.h"
#include "store/quotation_validity.h"
#include "widgets/dialog_support.h"
#include "widgets/number_field.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "widgets/profile.h"
#include "store/text_field.h"

namespace frame {

namespace {

// The text fields: control id, label, field of the record.
struct TextField {
  int id;
  const char* label;
  char* (*field)(store::ParameterRecord&);
  std::size_t width;
};

#define BELVON_TEXT(id, label, member)                                                 \
  TextField {                                                                          \
    id, label, [](store::ParameterRecord& p) -> char* { return p.member; },            \
        sizeof(store::ParameterRecord::member)                                         \
  }

const TextField kCompanyFields[] = {
    BELVON_TEXT(1032, "Name 1", companyName1),  BELVON_TEXT(1053, "Name 2", companyName2),
    BELVON_TEXT(1054, "Name 3", companyName3),  BELVON_TEXT(1035, "Strasse", street),
    BELVON_TEXT(1037, "Ort", town),             BELVON_TEXT(1039, "Telefon", phone),
    BELVON_TEXT(1040, "Handy", mobile),         BELVON_TEXT(1041, "Telefax", fax),
    BELVON_TEXT(1050, "eMail", email),          BELVON_TEXT(1063, "UmsStId", vatId),
};

const TextField kBankFields[] = {
    BELVON_TEXT(1042, "Bank 1", bank1Name),     BELVON_TEXT(1043, "IBAN 1", bank1Iban),
    BELVON_TEXT(1045, "Bank 2", bank2Name),     BELVON_TEXT(1046, "BLZ 2", bank2SortCode),
    BELVON_TEXT(1047, "Konto 2", bank2Account), BELVON_TEXT(1049, "Bank 3", bank3Name),
    BELVON_TEXT(1051, "BLZ 3", bank3SortCode),  BELVON_TEXT(1052, "Konto 3", bank3Account),
};

const TextField kFooterFields[] = {
    BELVON_TEXT(1059, "Fuß Ang.", footerQuotation),
    BELVON_TEXT(1060, "Fuß Auft.", footerConfirmation),
    BELVON_TEXT(1062, "Fuß Lief.", footerDeliveryNote),
    BELVON_TEXT(1061, "Fuß Rechn.", footerInvoice),
};

struct FlagField {
  int id;
  const char* label;
  std::int16_t store::ParameterRecord::*flag;
};

const FlagField kFlags[] = {
    {2119, "Kopf drucken", &store::ParameterRecord::printLetterhead},
    {2121, "Fuß drucken", &store::ParameterRecord::printFooter},
    {2137, "Ab S.2 kein Kopf", &store::ParameterRecord::noLetterheadFromPage2},
    {2124, "Tel./Fax mit drucken", &store::ParameterRecord::printPhoneFax},
    {2224, "Adress-\nfenster", &store::ParameterRecord::addressWindow},
    {2123, "Angebot der Woche", &store::ParameterRecord::printOffer},
    {2122, "Druckvorschau", &store::ParameterRecord::printPreview},
    {2125, "Autom. Artikelnummer", &store::ParameterRecord::autoArticleNumber},
    {2238, "keine Kd.-Nr. drucken", &store::ParameterRecord::noCustomerNumberPrint},
    {2127, "Preise sind BRUTTO Preise", &store::ParameterRecord::grossPrices},
    {2235, "BRUTTO als NETTO drucken", &store::ParameterRecord::grossAsNet},
};

constexpr int kGermanFiguresId = 2240;
constexpr int kTaxNumberId = 2241;
constexpr int kQuotationDaysId = 2242;

}  // namespace

StammdatenDialog::StammdatenDialog(const store::ParameterRecord& parameters,
                                   std::uint32_t nextOrderNumber,
                                   const std::string& dataDirectory, QWidget* parent)
    : QDialog(parent),
      parameters_(parameters),
      nextOrderNumber_(nextOrderNumber),
      dataDirectory_(dataDirectory) {
  setObjectName(QStringLiteral("STAMMDATEN"));
  setWindowTitle(QStringLiteral("Stammdaten"));
  auto* top = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  top->addLayout(columns);

  // Company and banks on the left, footers and flags on the right. Every
  // text field holds at most its width minus the terminating zero.
  auto* company = new QGroupBox(QStringLiteral("Firma"), this);
  auto* companyGrid = new QGridLayout(company);
  int row = 0;
  for (const TextField& f : kCompanyFields) {
    QLineEdit* edit = MakeEdit(company, f.id, static_cast<int>(f.width) - 1);
    edit->setText(FromCp1252(store::GetText(f.field(parameters_), f.width)));
    AddRow(companyGrid, row++, 0, QString::fromUtf8(f.label), edit);
  }
  AddRow(companyGrid, row++, 0, QStringLiteral("Steuernummer"), MakeEdit(company, kTaxNumberId, 40));
  row = 0;
  for (const TextField& f : kBankFields) {
    QLineEdit* edit = MakeEdit(company, f.id, static_cast<int>(f.width) - 1);
    edit->setText(FromCp1252(store::GetText(f.field(parameters_), f.width)));
    AddRow(companyGrid, row++, 1, QString::fromUtf8(f.label), edit);
  }
  QLineEdit* number = MakeEdit(company, 1048, 9);
  number->setText(QString::number(nextOrderNumber_));
  AddRow(companyGrid, row, 1, QStringLiteral("1. Rechnungsnummer"), number);
  companyGrid->addWidget(MakeCheck(company, 2232, QStringLiteral("+1")), row++, 4);
  QLineEdit* discount = MakeEdit(company, 1055, 4);
  discount->setText(QString::fromStdString(CashDiscountText(parameters_.cashDiscount)));
  AddRow(companyGrid, row++, 1, QStringLiteral("Skonto %"), discount);
  QLineEdit* discountPeriod = MakeEdit(company, 1056, 4);
  discountPeriod->setText(QString::number(parameters_.cashDiscountPeriod));
  AddRow(companyGrid, row++, 1, QStringLiteral("Skontofrist"), discountPeriod);
  QLineEdit* period = MakeEdit(company, 1057, 4);
  period->setText(QString::number(parameters_.paymentPeriod));
  AddRow(companyGrid, row++, 1, QStringLiteral("Zahlfrist"), period);
  QLineEdit* quotationDays = MakeEdit(company, kQuotationDaysId, 3);
  quotationDays->setText(QString::number(quotationDays_));
  AddRow(companyGrid, row++, 1, QStringLiteral("Angebote gültig (Tage)"), quotationDays);
  columns->addWidget(company, 3);

  auto* right = new QVBoxLayout;
  auto* footers = new QGroupBox(QStringLiteral("Fußtexte"), this);
  auto* footerGrid = new QGridLayout(footers);
  row = 0;
  for (const TextField& f : kFooterFields) {
    auto* edit = new LimitedTextEdit(footers, f.id, static_cast<int>(f.width) - 1);
    edit->setStoredText(FromCp1252(store::GetText(f.field(parameters_), f.width)));
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 3 + 12);
    AddRow(footerGrid, row++, 0, QString::fromUtf8(f.label), edit);
  }
  right->addWidget(footers);
  auto* flags = new QGroupBox(QStringLiteral("Optionen"), this);
  auto* flagGrid = new QGridLayout(flags);
  int index = 0;
  for (const FlagField& f : kFlags) {
    QCheckBox* box = MakeCheck(flags, f.id, QString::fromUtf8(f.label));
    box->setChecked(parameters_.*(f.flag) != 0);
    flagGrid->addWidget(box, index / 2, index % 2);
    ++index;
  }
  flagGrid->addWidget(
      MakeCheck(flags, kGermanFiguresId, QStringLiteral("Zahlen im deutschen Format (1.234,56)")),
      (index + 1) / 2, 0, 1, 2);
  right->addWidget(flags);
  columns->addLayout(right, 2);
  Control<QCheckBox>(this, 2232)->setChecked(parameters_.plusOneNumbering != 0);

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(new QLabel(QStringLiteral("Pfad"), this));
  QLineEdit* path = MakeEdit(this, 1058, 511);
  path->setText(QString::fromStdString(dataDirectory_));
  pathRow->addWidget(path, 1);
  top->addLayout(pathRow);

  auto* buttons = MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {14, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);

  connect(Control<QCheckBox>(this, 2235), &QCheckBox::toggled, this,
          [this] { applyGrossAsNetRule(); });
  applyGrossAsNetRule();
}

void StammdatenDialog::applyGrossAsNetRule() {
  // Printing gross prices as net only makes sense for gross prices.
  bool grossAsNet = Control<QCheckBox>(this, 2235)->isChecked();
  QCheckBox* gross = Control<QCheckBox>(this, 2127);
  if (grossAsNet) gross->setChecked(true);
  gross->setEnabled(!grossAsNet);
}

void StammdatenDialog::setFigures(FigureStyle figures) {
  figures_ = figures;
  Control<QCheckBox>(this, kGermanFiguresId)->setChecked(figures == FigureStyle::German);
  Control<QLineEdit>(this, 1055)
      ->setText(QString::fromStdString(CashDiscountText(parameters_.cashDiscount, figures)));
}

void StammdatenDialog::setTaxNumber(const std::string& taxNumber) {
  taxNumber_ = taxNumber;
  Control<QLineEdit>(this, kTaxNumberId)->setText(QString::fromStdString(taxNumber));
}

void StammdatenDialog::setQuotationDays(int days) {
  quotationDays_ = days;
  Control<QLineEdit>(this, kQuotationDaysId)->setText(QString::number(days));
}

void StammdatenDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 14: ShowHelp(this, 6); break;
    default: break;
  }
}

void StammdatenDialog::accept() {
  const std::optional<std::int16_t> cashDiscount =
      ReadNumberField(this, 1055, "Skonto %", ParseCashDiscount);
  if (!cashDiscount) return;
  const std::optional<int> days =
      ReadNumberField(this, kQuotationDaysId, "Angebote gültig (Tage)", [](std::string_view text) {
        int value = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() && value >= 0 &&
                       value <= store::kLongestQuotationDays
                   ? std::optional<int>(value)
                   : std::nullopt;
      });
  if (!days) return;
  quotationDays_ = *days;
  FieldWriter writer;
  for (const TextField& f : kCompanyFields)
    writer.write(f.field(parameters_), f.width, Control<QLineEdit>(this, f.id)->text());
  for (const TextField& f : kBankFields)
    writer.write(f.field(parameters_), f.width, Control<QLineEdit>(this, f.id)->text());
  for (const TextField& f : kFooterFields)
    writer.write(f.field(parameters_), f.width,
                 Control<LimitedTextEdit>(this, f.id)->storedText());
  orderNumberTyped_ = Control<QLineEdit>(this, 1048)->text() != QString::number(nextOrderNumber_);
  nextOrderNumber_ = ParseOrderNumber(Control<QLineEdit>(this, 1048)->text().toStdString());
  parameters_.cashDiscount = *cashDiscount;
  parameters_.cashDiscountPeriod = ParsePeriod(Control<QLineEdit>(this, 1056)->text().toStdString());
  parameters_.paymentPeriod = ParsePeriod(Control<QLineEdit>(this, 1057)->text().toStdString());
  for (const FlagField& f : kFlags)
    parameters_.*(f.flag) = Control<QCheckBox>(this, f.id)->isChecked() ? 1 : 0;
  parameters_.plusOneNumbering = Control<QCheckBox>(this, 2232)->isChecked() ? 1 : 0;
  figures_ = Control<QCheckBox>(this, kGermanFiguresId)->isChecked() ? FigureStyle::German
                                                                      : FigureStyle::Point;
  dataDirectory_ = Control<QLineEdit>(this, 1058)->text().left(511).toStdString();
  taxNumber_ = Control<QLineEdit>(this, kTaxNumberId)->text().trimmed().toStdString();
  writer.reportTo(this);
  QDialog::accept();
}

int StoreMasterData(AppState& app, const StammdatenDialog& dialog,
                    const store::ParameterRecord& parameters) {
  std::string directory = dialog.dataDirectory();
  if (directory != app.dataDirectory && !SettleDataDirectory(directory, app.ui)) return 0;
  app.parameters = parameters;
  if (dialog.orderNumberTyped()) app.nextOrderNumber = dialog.nextOrderNumber();
  app.dataDirectory = directory;
  WriteProfileDataDirectory(app.dataDirectory);
  const int saved = SaveParameters(
      app, dialog.orderNumberTyped() ? OrderCounter::FromMemory : OrderCounter::FromFile);
  if (!saved) return saved;
  if (dialog.figures() != store::LoadFigureStyle(app) &&
      !store::SaveFigureStyle(app, dialog.figures())) {
    if (app.ui)
      app.ui->message("Die Datei " + app.path(store::kFigureStyleFileName) +
                          " konnte nicht geschrieben werden; das Zahlenformat bleibt, wie es war.",
                      Icon::Stop);
    return 0;
  }
  app.figures = dialog.figures();
  return saved;
}

bool StoreTaxNumber(AppState& app, const StammdatenDialog& dialog) {
  einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  if (settings.taxNumber == dialog.taxNumber()) return true;
  settings.taxNumber = dialog.taxNumber();
  if (einvoice::SaveSettings(app.dataDirectory, settings)) return true;
  if (app.ui)
    app.ui->message("Die Datei " + app.path(einvoice::kSettingsFileName) +
                        " konnte nicht geschrieben werden; die Steuernummer bleibt, wie sie war.",
                    Icon::Stop);
  return false;
}

bool StoreQuotationDays(AppState& app, const StammdatenDialog& dialog) {
  if (dialog.quotationDays() == store::LoadQuotationDays(app) ||
      store::SaveQuotationDays(app, dialog.quotationDays()))
    return true;
  if (app.ui)
    app.ui->message("Die Datei " + app.path(store::kQuotationValidityFileName) +
                        " konnte nicht geschrieben werden; die Gültigkeit der Angebote bleibt, "
                        "wie sie war.",
                    Icon::Stop);
  return false;
}

bool EditMasterData(AppState& app, QWidget* owner) {
  // Opening reloads the file: changes kept only in memory are dropped.
  LoadParameters(app);
  StammdatenDialog dialog(app.parameters, app.nextOrderNumber, app.dataDirectory, owner);
  dialog.setFigures(app.figures);
  dialog.setTaxNumber(einvoice::LoadSettings(app.dataDirectory).taxNumber);
  dialog.setQuotationDays(store::LoadQuotationDays(app));
  if (dialog.exec() != QDialog::Accepted) return false;
  return StoreMasterData(app, dialog, dialog.parameters()) && StoreTaxNumber(app, dialog) &&
         StoreQuotationDays(app, dialog);
}

}  // namespace frame
