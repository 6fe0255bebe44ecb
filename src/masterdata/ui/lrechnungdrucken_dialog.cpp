#include "masterdata/ui/lrechnungdrucken_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/help_viewer.h"
#include "core/user_interface.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/address_fields.h"
#include "masterdata/ui/kundenauswahl_dialog.h"
#include "store/address_file.h"

namespace masterdata {

namespace {

constexpr int kCopies = 2043;
constexpr int kPaid = 2192;

}  // namespace

LRechnungDruckenDialog::LRechnungDruckenDialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("L_RECHNUNGDRUCKEN"));
  setWindowTitle(QStringLiteral("Rechnung / Lieferschein drucken"));
  auto* top = new QVBoxLayout(this);
  auto* salutations = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  const char* texts[] = {"Firma", "Herr", "Frau", "An", "ohne"};
  for (int i = 0; i < 5; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(texts[i]), this);
    radio->setProperty("id", id::kSalutations[i]);
    group->addButton(radio);
    salutations->addWidget(radio);
  }
  top->addLayout(salutations);
  auto* grid = new QGridLayout;
  const std::pair<int, const char*> rows[] = {
      {id::kCustomerNumber, "Adr.-Nr.:"}, {id::kName1, "Name 1:"}, {id::kName2, "Name 2:"},
      {id::kName3, "Name 3:"},           {id::kStreet, "Straße:"}, {id::kTown, "PLZ / Ort:"},
      {id::kPhone, "Telefon:"},          {id::kFax, "Telefax:"}};
  int row = 0;
  for (auto [controlId, label] : rows)
    frame::AddRow(grid, row++, 0, QString::fromUtf8(label), MakeAddressField(this, controlId));
  frame::AddRow(grid, row++, 0, QStringLiteral("Anzahl Ausdrucke:"), frame::MakeEdit(this, kCopies, 4));
  top->addLayout(grid);
  top->addWidget(frame::MakeCheck(this, kPaid, QStringLiteral("Betrag wurde bezahlt")));
  top->addLayout(frame::MakeButtonRow(
      this, {{1022, "&-"}, {1012, "&+"}, {1030, "Adresse &suchen"}},
      [this](int controlId) { command(controlId); }));
  top->addLayout(frame::MakeButtonRow(
      this,
      {{kPrintDeliveryNote, "&Lieferschein drucken"}, {kPrintInvoice, "&Rechnung drucken"},
       {2, "Abbruch"}, {15, "&Hilfe"}},
      [this](int controlId) { command(controlId); }));
  if (haveAddresses()) {
    store::AddressRecord address{};
    if (store::ReadAddress(app_, address, app_.addresses.position)) app_.address = address;
  }
  showCurrent();
}

void LRechnungDruckenDialog::showCurrent() {
  ShowAddress(this, app_.address, app_.parameters, app_.figures);
  // No address chosen yet (or one from before the field) still prints once.
  frame::Control<QLineEdit>(this, kCopies)->setText(
      QString::number(std::max<int>(app_.address.copies, 1)));
}

void LRechnungDruckenDialog::browse(bool forward) {
  if (!haveAddresses()) return;
  std::int32_t position = app_.addresses.position;
  if (!store::ScanAddresses(app_, app_.addressCriteria, position, forward)) return;
  store::AddressRecord address{};
  if (!store::ReadAddress(app_, address, position)) return;
  app_.addresses.position = position;
  app_.address = address;
  showCurrent();
}

void LRechnungDruckenDialog::search() {
  if (!haveAddresses()) return;
  if (!AskAddressSearch(app_, this)) return;
  if (FindFirstAddress(app_))
    showCurrent();
  else if (app_.ui)
    app_.ui->message("Name nicht gefunden!", frame::Icon::Exclamation);
}

void LRechnungDruckenDialog::choose(int button) {
  frame::FieldWriter writer;
  store::AddressRecord fields = app_.address;
  if (!TakeAddress(this, fields, writer, app_.ui)) return;
  writer.reportTo(this);
  copies_ = static_cast<int>(frame::ParseWhole(
      frame::Control<QLineEdit>(this, kCopies)->text().left(4).toStdString()));
  fields.copies = static_cast<std::int16_t>(copies_);
  paid_ = frame::Control<QCheckBox>(this, kPaid)->isChecked();
  // The document goes to an address on file, the one its sale is stored for;
  // the dialog stays open while the user has not settled which.
  if (!SettleDocumentRecipient(app_, fields)) return;
  showCurrent();
  done(button);
}

void LRechnungDruckenDialog::command(int controlId) {
  switch (controlId) {
    case 1022: browse(false); break;
    case 1012: browse(true); break;
    case 1030: search(); break;
    case kPrintDeliveryNote:
    case kPrintInvoice: choose(controlId); break;
    case 2: done(0); break;
    case 15: frame::ShowHelp(this, 12); break;
    default: break;
  }
}

}  // namespace masterdata
