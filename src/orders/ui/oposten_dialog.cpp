#include "orders/ui/oposten_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "core/user_interface.h"
#include "orders/settling.h"

namespace orders {

OpostenDialog::OpostenDialog(frame::AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("OPOSTEN"));
  setWindowTitle(QStringLiteral("Offene Rechnungen egalisieren"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  // The key of the current address index entry: the customer's name line 2.
  auto* customer = new QLabel(frame::FromField(app_.addresses.entry.key), this);
  customer->setProperty("id", 2149);
  frame::AddRow(grid, 0, 0, QStringLiteral("Aktueller Kunde"), customer);
  frame::AddRow(grid, 1, 0, QStringLiteral("von"), frame::MakeEdit(this, 2151, 10));
  frame::AddRow(grid, 2, 0, QStringLiteral("bis"), frame::MakeEdit(this, 2152, 10));
  grid->addWidget(frame::MakeCheck(this, 2150, QStringLiteral("für alle Kunden")), 3, 1);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Egalisieren"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
}

void OpostenDialog::command(int id) {
  switch (id) {
    case 1: settle(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 50); break;
    default: break;
  }
}

void OpostenDialog::settle() {
  auto number = [this](int id) {
    return frame::ParseWhole(frame::Control<QLineEdit>(this, id)->text().left(10).toStdString());
  };
  std::vector<std::int32_t> owedBack;
  SettleOpenItems(app_, number(2151), number(2152),
                  frame::Control<QCheckBox>(this, 2150)->isChecked(), nullptr, &owedBack);
  if (!owedBack.empty() && app_.ui)
    app_.ui->message(OwedBackNote(owedBack), frame::Icon::Information);
  accept();
}

}  // namespace orders
