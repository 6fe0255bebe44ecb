#include "maintenance/ui/rechnungendel_dialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/help_viewer.h"
#include "core/dates.h"

namespace maintenance {

RechnungenDelDialog::RechnungenDelDialog(frame::AppState& app, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RECHNUNGENDEL"));
  setWindowTitle(QStringLiteral("Alte Rechnungen löschen"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  QLineEdit* from = frame::MakeEdit(this, 2111, 10);
  QLineEdit* to = frame::MakeEdit(this, 2112, 10);
  from->setText(QStringLiteral("01.01.1990"));
  to->setText(QString::fromStdString(orders::FormatDate(*app.clock)));
  frame::AddRow(grid, 0, 0, QStringLiteral("von"), from);
  frame::AddRow(grid, 1, 0, QStringLiteral("bis"), to);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
  to->setFocus();
}

void RechnungenDelDialog::command(int id) {
  auto text = [this](int control) {
    return frame::Control<QLineEdit>(this, control)->text().left(10).toStdString();
  };
  switch (id) {
    case 1:
      from_ = text(2111);
      to_ = text(2112);
      accept();
      break;
    case 2:
      reject();
      break;
    case 9:
      frame::ShowHelp(this, 65);
      break;
    default:
      break;
  }
}

}  // namespace maintenance
