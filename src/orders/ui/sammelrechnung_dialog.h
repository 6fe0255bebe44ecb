// "SAMMELRECHNUNG": the collective invoice of the selected customer. The
// delivery notes of a number range are collected, printed as one document
// and, once a copy is out, marked as invoiced.
#ifndef BELVON_ORDERS_UI_SAMMELRECHNUNG_DIALOG_H
#define BELVON_ORDERS_UI_SAMMELRECHNUNG_DIALOG_H

#include <QDialog>

#include "store/app_state.h"
#include "orders/issuing.h"

namespace orders {

class SammelrechnungDialog : public QDialog {
  Q_OBJECT

 public:
  // `printJob` prints one copy of the document in the order pane's buffers
  // and returns only when the copy is out or given up, previews included.
  SammelrechnungDialog(frame::AppState& app, PrintJobCall printJob, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  void print();

  frame::AppState& app_;
  PrintJobCall printJob_;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_SAMMELRECHNUNG_DIALOG_H
