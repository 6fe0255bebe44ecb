#include "masterdata/ui/kundenauswahl_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/address_fields.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

}  // namespace

KundenAuswahlDialog::KundenAuswahlDialog(const store::AddressRecord& criteria, int mode,
                                         QWidget* parent)
    : QDialog(parent), criteria_(criteria), mode_(mode) {
  const bool selection = mode == kSelectionMode;
  setObjectName(selection ? QStringLiteral("KUNDENAUSWAHL") : QStringLiteral("KUNDENSUCHEN"));
  setWindowTitle(selection ? QStringLiteral("Adressen auswählen") : QStringLiteral("Adresse suchen"));
  // "#ZARVENTO" stands for "no name criterion" and is shown as nothing.
  store::SetText(criteria_.name2, ShownNameCriterion(criteria_));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  struct Row {
    int id;
    const char* label;
  };
  const Row selectionRows[] = {{id::kCustomerNumber, "Adr.-Nr.:"}, {id::kName1, "Name 1:"},
                               {id::kName2, "Name 2:"},           {id::kName3, "Name 3:"},
                               {id::kStreet, "Straße:"},          {id::kTown, "PLZ / Ort:"},
                               {id::kRemark, "Bem.:"}};
  const Row searchRows[] = {{id::kName2, "Name 2:"}, {id::kCustomerNumber, "Adr.-Nr.:"}};
  int row = 0;
  if (selection) {
    for (const Row& r : selectionRows)
      frame::AddRow(grid, row++, 0, QString::fromUtf8(r.label),
                    r.id == id::kRemark ? frame::MakeEdit(this, id::kRemark, 401)
                                        : MakeAddressField(this, r.id));
  } else {
    for (const Row& r : searchRows)
      frame::AddRow(grid, row++, 0, QString::fromUtf8(r.label), MakeAddressField(this, r.id));
  }
  top->addLayout(grid);
  if (selection) top->addWidget(new QLabel(QStringLiteral("abc     #abc (ohne abc)"), this));
  top->addLayout(frame::MakeButtonRow(
      this, {{1, selection ? "Aus&wahl" : "&Suchen"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
      [this](int controlId) { command(controlId); }));
  frame::Control<QPushButton>(this, 1)->setDefault(true);
  store::ParameterRecord noParameters{};
  ShowAddress(this, criteria_, noParameters);
  frame::FindControl(this, selection ? id::kCustomerNumber : id::kName2)->setFocus();
}

void KundenAuswahlDialog::command(int controlId) {
  switch (controlId) {
    case 1: {
      frame::FieldWriter writer;
      if (!TakeAddress(this, criteria_, writer)) break;
      StoreNameCriterion(criteria_, store::GetText(criteria_.name2));
      writer.reportTo(this);
      accept();
      break;
    }
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, mode_); break;
    default: break;
  }
}

bool AskAddressSearch(frame::AppState& app, QWidget* parent) {
  KundenAuswahlDialog dialog(store::AddressRecord{}, kSearchMode, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  app.addressCriteria = dialog.criteria();
  return true;
}

LangtextDialog::LangtextDialog(const store::AddressRecord& address, QWidget* parent)
    : QDialog(parent), address_(address) {
  setObjectName(QStringLiteral("LANGTEXT"));
  setWindowTitle(
      frame::Verbatim(QStringLiteral("Bemerkungen zu %1").arg(frame::FromField(address_.name2)),
                      frame::ShownIn::WindowTitle));
  auto* top = new QVBoxLayout(this);
  auto* text = new frame::LimitedTextEdit(this, 2113, 401);
  text->setStoredText(frame::FromField(address_.remark));
  text->setMinimumSize(420, 200);
  top->addWidget(text);
  top->addLayout(frame::MakeButtonRow(this, {{1, "Über&nehmen"}, {2, "&Abbruch"}},
                                      [this](int controlId) { command(controlId); }));
}

void LangtextDialog::command(int controlId) {
  if (controlId == 2) {
    reject();
    return;
  }
  if (controlId != 1) return;
  frame::FieldWriter writer;
  writer.write(address_.remark, frame::Control<frame::LimitedTextEdit>(this, 2113)->storedText(), 401);
  writer.reportTo(this);
  accept();
}

}  // namespace masterdata
