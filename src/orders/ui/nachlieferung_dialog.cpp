#include "orders/ui/nachlieferung_dialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "store/text_field.h"

namespace orders {

NachlieferungDialog::NachlieferungDialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("NACHLIEFERUNG"));
  setWindowTitle(QStringLiteral("Nachlieferung"));
  PrepareBackOrders(app_, confirmation_);
  auto* top = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  for (const BackOrderEntry& entry : confirmation_.entries)
    list_->addItem(frame::FromCp1252(entry.text));
  connect(list_, &QListWidget::itemDoubleClicked, this, &NachlieferungDialog::toggle);
  top->addWidget(list_);
  auto* grid = new QGridLayout;
  QLineEdit* date = frame::MakeEdit(this, 2106, 10);
  date->setText(frame::FromField(confirmation_.followUp.orderDate));
  frame::AddRow(grid, 0, 0, QStringLiteral("Auftragsdatum"), date);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
}

void NachlieferungDialog::command(int id) {
  switch (id) {
    case 1:
      confirm();
      break;
    case 2:
      reject();
      break;
    case 9:
      frame::ShowHelp(this, 49);
      break;
    default:
      break;
  }
}

// The first two characters switch between "OK" and two blanks.
void NachlieferungDialog::toggle(QListWidgetItem* item) {
  QString text = item->text();
  text.replace(0, 2,
               text.startsWith(QLatin1Char('O')) ? QStringLiteral("  ") : QStringLiteral("OK"));
  item->setText(text);
}

void NachlieferungDialog::confirm() {
  std::vector<bool> marked;
  for (int i = 0; i < list_->count(); ++i)
    marked.push_back(list_->item(i)->text().startsWith(QLatin1Char('O')));
  const std::string date =
      frame::FieldWriter().bytes(frame::Control<QLineEdit>(this, 2106)->text().left(10));
  done(ConfirmBackOrders(app_, confirmation_, marked, date) ? QDialog::Accepted
                                                            : QDialog::Rejected);
}

}  // namespace orders
