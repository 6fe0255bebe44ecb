// "OPOSTEN": open invoices of a number range declared paid, for the selected
// customer or for all customers.
#ifndef BELVON_ORDERS_UI_OPOSTEN_DIALOG_H
#define BELVON_ORDERS_UI_OPOSTEN_DIALOG_H

#include <QDialog>

#include "store/app_state.h"

namespace orders {

class OpostenDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OpostenDialog(frame::AppState& app, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  void settle();

  frame::AppState& app_;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_OPOSTEN_DIALOG_H
