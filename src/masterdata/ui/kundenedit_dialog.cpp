#include "masterdata/ui/kundenedit_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/help_viewer.h"
#include "core/user_interface.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/address_fields.h"

namespace masterdata {

namespace {

QRadioButton* Radio(QWidget* parent, QButtonGroup* group, int controlId, const QString& text) {
  auto* button = new QRadioButton(text, parent);
  button->setProperty("id", controlId);
  group->addButton(button);
  return button;
}

}  // namespace

KundenEditDialog::KundenEditDialog(frame::AppState& app, const store::AddressRecord& address,
                                   bool isNew, QWidget* parent)
    : QDialog(parent), app_(app), address_(address), isNew_(isNew) {
  setObjectName(QStringLiteral("KUNDENEDIT"));
  setWindowTitle(QStringLiteral("Adressdaten ändern"));
  auto* top = new QVBoxLayout(this);

  auto* kinds = new QGroupBox(this);
  auto* kindRow = new QHBoxLayout(kinds);
  auto* kindGroup = new QButtonGroup(this);
  const char* kindTexts[] = {"Kunde", "Lieferant", "Werbung", "Sonstiges"};
  for (int i = 0; i < 4; ++i)
    kindRow->addWidget(Radio(kinds, kindGroup, id::kKinds[i], QString::fromUtf8(kindTexts[i])));
  kindRow->addStretch(1);
  kindRow->addWidget(new QLabel(QStringLiteral("Adr.-Nr.:"), kinds));
  kindRow->addWidget(MakeAddressField(kinds, id::kCustomerNumber));
  top->addWidget(kinds);

  auto* salutations = new QGroupBox(this);
  auto* salutationRow = new QHBoxLayout(salutations);
  auto* salutationGroup = new QButtonGroup(this);
  const char* salutationTexts[] = {"Firma", "Herr", "Frau", "An", "ohne"};
  for (int i = 0; i < 5; ++i)
    salutationRow->addWidget(
        Radio(salutations, salutationGroup, id::kSalutations[i], QString::fromUtf8(salutationTexts[i])));
  salutationRow->addStretch(1);
  salutationRow->addWidget(frame::MakeCheck(salutations, id::kNoDunning, QStringLiteral("Nicht mahnen")));
  salutationRow->addWidget(frame::MakeCheck(salutations, id::kDiscountSum, QStringLiteral("Rabattsumme")));
  QWidget* xrechnung =
      frame::MakeCheck(salutations, id::kSendXRechnung, QStringLiteral("XRechnung mitsenden"));
  xrechnung->setToolTip(QStringLiteral(
      "Eine Rechnung, die per E-Mail geht, trägt die XRechnung (XML) als zweiten Anhang."));
  salutationRow->addWidget(xrechnung);
  top->addWidget(salutations);

  auto* grid = new QGridLayout;
  struct Row {
    int id;
    const char* label;
    int column;
  };
  const Row rows[] = {
      {id::kName1, "Name 1:", 0},      {id::kName2, "Name 2:", 0},
      {id::kName3, "Name 3:", 0},      {id::kStreet, "Straße:", 0},
      {id::kTown, "PLZ / Ort:", 0},    {id::kPhone, "Telefon:", 0},
      {id::kMobile, "Handy:", 0},      {id::kFax, "Telefax:", 0},
      {id::kEmail, "eMail:", 0},       {id::kVatId, "UmStId:", 0},
      {id::kDispatch, "Versand:", 1},  {id::kAppointment, "Termin:", 1},
      {id::kFirstContact, "Erstkontakt:", 1}, {id::kLastOrder, "Letzte Best.:", 1},
      {id::kCashDiscount, "Skonto:", 1}, {id::kPaymentPeriod, "Zahlungsfrist:", 1},
      {id::kCashDiscountPeriod, "Skontofrist:", 1}, {id::kTurnover, "Umsatz:", 1},
      {id::kCopies, "Ausdrucke:", 1}};
  int rowIndex[2] = {0, 0};
  for (const Row& r : rows)
    frame::AddRow(grid, rowIndex[r.column]++, r.column, QString::fromUtf8(r.label),
                  MakeAddressField(this, r.id));
  auto* currencies = new QHBoxLayout;
  auto* currencyGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i)
    currencies->addWidget(Radio(this, currencyGroup, id::kCurrencies[i], QString::number(i + 1)));
  auto* currencyHolder = new QWidget(this);
  currencyHolder->setLayout(currencies);
  frame::AddRow(grid, rowIndex[1]++, 1, QStringLiteral("Währung:"), currencyHolder);
  QLineEdit* leitweg = frame::MakeEdit(this, id::kLeitwegId, kLeitwegIdLimit);
  leitweg->setToolTip(QStringLiteral(
      "Für Kunden der öffentlichen Verwaltung: Käuferreferenz ihrer XRechnung."));
  frame::AddRow(grid, rowIndex[0]++, 0, QStringLiteral("Leitweg-ID:"), leitweg);
  top->addLayout(grid);
  auto* remark = MakeAddressField(this, id::kRemark);
  remark->setMinimumHeight(70);
  auto* remarkRow = new QHBoxLayout;
  remarkRow->addWidget(new QLabel(QStringLiteral("Bem.:"), this), 0, Qt::AlignTop);
  remarkRow->addWidget(remark, 1);
  top->addLayout(remarkRow);

  top->addLayout(frame::MakeButtonRow(
      this, {{1, "&Übernehmen"}, {2212, "&Lieferadr."}, {2, "&Abbruch"}, {15, "&Hilfe"}},
      [this](int controlId) { command(controlId); }));
  ShowAddress(this, address_, app_.parameters, app_.figures);
  frame::FindControl(this, id::kName1)->setFocus();
}

void KundenEditDialog::setLeitwegId(const std::string& id) {
  leitwegId_ = id;
  frame::Control<QLineEdit>(this, id::kLeitwegId)->setText(QString::fromStdString(id));
}

void KundenEditDialog::command(int controlId) {
  switch (controlId) {
    case 1: takeOver(); break;
    case 2: reject(); break;
    case 15: frame::ShowHelp(this, 12); break;
    case 2212: {
      // The delivery address belongs to the copy being edited.
      frame::FieldWriter writer;
      if (!TakeAddress(this, address_, writer, app_.ui)) break;
      KundenEdit2Dialog delivery(address_, this);
      if (delivery.exec() == QDialog::Accepted) address_ = delivery.address();
      break;
    }
    default: break;
  }
}

void KundenEditDialog::takeOver() {
  frame::FieldWriter writer;
  if (!TakeAddress(this, address_, writer, app_.ui)) return;
  writer.reportTo(this);
  std::string notice;
  std::string refusal = CheckAddressBeforeStore(app_, address_, isNew_, &notice);
  if (!notice.empty() && app_.ui) app_.ui->message(notice, frame::Icon::Exclamation);
  // Show what the checks made of name line 2 and the customer number.
  ShowAddress(this, address_, app_.parameters, app_.figures);
  if (!refusal.empty()) {
    if (app_.ui) app_.ui->message(refusal, frame::Icon::Exclamation);
    return;
  }
  leitwegId_ = frame::Control<QLineEdit>(this, id::kLeitwegId)->text().trimmed().toStdString();
  accept();
}

KundenEdit2Dialog::KundenEdit2Dialog(const store::AddressRecord& address, QWidget* parent)
    : QDialog(parent), address_(address) {
  setObjectName(QStringLiteral("KUNDENEDIT2"));
  setWindowTitle(QStringLiteral("Lieferadresse ändern"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const char* labels[] = {"Name 1:", "Name 2:", "Name 3:", "Straße:", "PLZ / Ort:", "Telefon:",
                          "Telefax:"};
  for (int i = 0; i < 7; ++i)
    frame::AddRow(grid, i, 0, QString::fromUtf8(labels[i]), MakeAddressField(this, id::kDelivery[i]));
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Zurück"}, {15, "&Hilfe"}},
                                      [this](int controlId) { command(controlId); }));
  store::ParameterRecord noParameters{};
  ShowAddress(this, address_, noParameters);
}

void KundenEdit2Dialog::command(int controlId) {
  if (controlId == 15) {
    frame::ShowHelp(this, 12);
    return;
  }
  if (controlId != 1) return;
  frame::FieldWriter writer;
  TakeAddress(this, address_, writer);
  writer.reportTo(this);
  accept();
}

}  // namespace masterdata
