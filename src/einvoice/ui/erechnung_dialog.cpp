#include "einvoice/ui/erechnung_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "core/user_interface.h"

namespace einvoice {

namespace {

constexpr int kOk = 1, kCancel = 2, kChooseFolder = 3;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

ERechnungDialog::ERechnungDialog(frame::AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("ERECHNUNG"));
  setWindowTitle(QStringLiteral("E-Rechnung"));
  std::string problem;
  const Settings s = LoadSettings(app_.dataDirectory, &problem);
  if (!problem.empty() && app_.ui) app_.ui->message(problem, frame::Icon::Exclamation);
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);

  taxNumber_ = new QLineEdit(Text(s.taxNumber), this);
  frame::AddRow(grid, 0, 0, QStringLiteral("Steuernummer"), taxNumber_);
  exemption_ = new QComboBox(this);
  for (int i = 0; i < kExemptionCount; ++i)
    exemption_->addItem(Text(std::string(ExemptionName(static_cast<Exemption>(i)))));
  // Nothing is preselected that the user has not chosen.
  exemption_->setCurrentIndex(s.exemption == Exemption::Unset ? -1 : static_cast<int>(s.exemption));
  frame::AddRow(grid, 1, 0, QStringLiteral("Steuerfreie Positionen"), exemption_);
  reason_ = new QLineEdit(Text(s.exemptionReason), this);
  // An empty reason is the standard text of the category, shown greyed.
  auto showStandard = [this](int index) {
    reason_->setPlaceholderText(Text(std::string(StandardExemptionReason(static_cast<Exemption>(index)))));
  };
  showStandard(exemption_->currentIndex());
  connect(exemption_, &QComboBox::currentIndexChanged, this, showStandard);
  frame::AddRow(grid, 2, 0, QStringLiteral("Befreiungsgrund"), reason_);
  sellerCountry_ = new QLineEdit(Text(s.sellerCountry), this);
  sellerCountry_->setMaxLength(2);
  frame::AddRow(grid, 3, 0, QStringLiteral("Land der Firma (ISO)"), sellerCountry_);
  buyerCountry_ = new QLineEdit(Text(s.buyerCountry), this);
  buyerCountry_->setMaxLength(2);
  frame::AddRow(grid, 4, 0, QStringLiteral("Land der Kunden (ISO)"), buyerCountry_);
  reference_ = new QComboBox(this);
  reference_->addItems({QStringLiteral("Kunden-Nr."), QStringLiteral("Auftragsnummer"),
                        QStringLiteral("fester Text")});
  reference_->setCurrentIndex(static_cast<int>(s.buyerReference));
  frame::AddRow(grid, 5, 0, QStringLiteral("Käuferreferenz"), reference_);
  referenceText_ = new QLineEdit(Text(s.buyerReferenceText), this);
  frame::AddRow(grid, 6, 0, QStringLiteral("Fester Text"), referenceText_);
  auto textOnlyWhenChosen = [this](int index) {
    referenceText_->setEnabled(index == static_cast<int>(BuyerReference::FixedText));
  };
  textOnlyWhenChosen(reference_->currentIndex());
  connect(reference_, &QComboBox::currentIndexChanged, this, textOnlyWhenChosen);
  serviceDate_ = new QComboBox(this);
  serviceDate_->addItems({QStringLiteral("Auftragsdatum"), QStringLiteral("Rechnungsdatum")});
  serviceDate_->setCurrentIndex(static_cast<int>(s.serviceDate));
  frame::AddRow(grid, 7, 0, QStringLiteral("Leistungsdatum"), serviceDate_);
  folder_ = new QLineEdit(Text(s.folder), this);
  frame::AddRow(grid, 8, 0, QStringLiteral("Ordner für E-Rechnungen"), folder_);
  QPushButton* choose = frame::MakeButton(this, kChooseFolder, QStringLiteral("Auswählen..."));
  connect(choose, &QPushButton::clicked, this, [this] { command(kChooseFolder); });
  grid->addWidget(choose, 8, 2);
  currencyCodes_ = new QLineEdit(Text(s.currencyCodes), this);
  currencyCodes_->setPlaceholderText(QStringLiteral("z. B. SFR:CHF; £:GBP"));
  frame::AddRow(grid, 9, 0, QStringLiteral("Währungscodes (ISO 4217)"), currencyCodes_);
  legalLines_ = frame::MakeCheck(this, 0, QStringLiteral("Pflichtangaben auf der Rechnung drucken"));
  legalLines_->setChecked(s.legalLines);
  grid->addWidget(legalLines_, 10, 0, 1, 3);
  giroCode_ = frame::MakeCheck(this, 0, QStringLiteral("GiroCode auf Rechnungen drucken"));
  giroCode_->setChecked(s.giroCode);
  grid->addWidget(giroCode_, 11, 0, 1, 3);

  pdfEInvoice_ = new QCheckBox(QStringLiteral("PDF-Rechnungen mit E-Rechnung (ZUGFeRD)"), this);
  pdfEInvoice_->setObjectName(QStringLiteral("ZUGFeRD"));
  pdfEInvoice_->setChecked(s.pdfEInvoice);
  grid->addWidget(pdfEInvoice_, 12, 0, 1, 3);
  pdfGuideline_ = new QComboBox(this);
  pdfGuideline_->setObjectName(QStringLiteral("ZUGFeRDRichtlinie"));
  pdfGuideline_->addItems({QStringLiteral("EN 16931 (urn:cen.eu:en16931:2017)"),
                           QStringLiteral("XRechnung 3.0")});
  pdfGuideline_->setCurrentIndex(static_cast<int>(s.pdfGuideline));
  frame::AddRow(grid, 13, 0, QStringLiteral("Richtlinie im PDF"), pdfGuideline_);
  pdfGuideline_->setEnabled(s.pdfEInvoice);
  connect(pdfEInvoice_, &QCheckBox::toggled, pdfGuideline_, &QWidget::setEnabled);

  top->addLayout(frame::MakeButtonRow(this, {{kOk, "&OK"}, {kCancel, "Abbruch"}},
                                      [this](int id) { command(id); }));
}

Settings ERechnungDialog::settings() const {
  Settings s;
  s.taxNumber = taxNumber_->text().trimmed().toStdString();
  s.exemption = exemption_->currentIndex() < 0 ? Exemption::Unset
                                               : static_cast<Exemption>(exemption_->currentIndex());
  s.exemptionReason = reason_->text().trimmed().toStdString();
  s.sellerCountry = sellerCountry_->text().toStdString();
  s.buyerCountry = buyerCountry_->text().toStdString();
  s.buyerReference = static_cast<BuyerReference>(reference_->currentIndex());
  s.buyerReferenceText = referenceText_->text().trimmed().toStdString();
  s.serviceDate = static_cast<ServiceDate>(serviceDate_->currentIndex());
  s.folder = folder_->text().trimmed().toStdString();
  s.legalLines = legalLines_->isChecked();
  s.currencyCodes = currencyCodes_->text().trimmed().toStdString();
  s.giroCode = giroCode_->isChecked();
  s.pdfEInvoice = pdfEInvoice_->isChecked();
  s.pdfGuideline = static_cast<PdfGuideline>(pdfGuideline_->currentIndex());
  return s;
}

void ERechnungDialog::command(int id) {
  switch (id) {
    case kOk:
      if (!SaveSettings(app_.dataDirectory, settings())) {
        if (app_.ui)
          app_.ui->message(std::string(kSettingsFileName) + " kann nicht geschrieben werden.",
                           frame::Icon::Stop);
        return;
      }
      accept();
      break;
    case kCancel: reject(); break;
    case kChooseFolder: {
      const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Ordner für E-Rechnungen"),
                                                               folder_->text());
      if (!folder.isEmpty()) folder_->setText(folder);
      break;
    }
    default: break;
  }
}

}  // namespace einvoice
