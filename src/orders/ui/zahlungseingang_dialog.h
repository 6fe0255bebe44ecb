// "ZAHLUNGSEINGANG": a payment received for the current order. "&Buchen"
// books the amount on the order with the number shown and ends the dialog.
#ifndef BELVON_ORDERS_UI_ZAHLUNGSEINGANG_DIALOG_H
#define BELVON_ORDERS_UI_ZAHLUNGSEINGANG_DIALOG_H

#include <QDialog>

#include "store/app_state.h"

namespace orders {

class ZahlungseingangDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ZahlungseingangDialog(frame::AppState& app, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  void book();

  frame::AppState& app_;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_ZAHLUNGSEINGANG_DIALOG_H
