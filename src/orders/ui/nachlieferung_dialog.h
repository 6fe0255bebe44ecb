// "NACHLIEFERUNG": the back-order lines of the selected customer; a double
// click marks an entry "OK", "&OK" moves the marked lines into a new order.
#ifndef BELVON_ORDERS_UI_NACHLIEFERUNG_DIALOG_H
#define BELVON_ORDERS_UI_NACHLIEFERUNG_DIALOG_H

#include <QDialog>

#include "store/app_state.h"
#include "orders/back_orders.h"

class QListWidget;
class QListWidgetItem;

namespace orders {

class NachlieferungDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NachlieferungDialog(frame::AppState& app, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }

 public slots:
  void command(int id);

 private:
  void toggle(QListWidgetItem* item);
  void confirm();

  frame::AppState& app_;
  BackOrderConfirmation confirmation_;
  QListWidget* list_ = nullptr;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_NACHLIEFERUNG_DIALOG_H
