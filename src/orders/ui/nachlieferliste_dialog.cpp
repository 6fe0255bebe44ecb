#include "orders/ui/nachlieferliste_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "orders/back_orders.h"
#include "store/text_field.h"

namespace orders {

NachlieferlisteDialog::NachlieferlisteDialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("NACHLIEFERLISTDLG"));
  setWindowTitle(QStringLiteral("Nachlieferungen"));
  auto* top = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  for (const std::string& entry : BackOrdersOfArticle(app, store::GetText(app.article.number)))
    list_->addItem(frame::FromCp1252(entry));
  top->addWidget(list_);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&OK"}}, [this](int) { accept(); }));
}

}  // namespace orders
