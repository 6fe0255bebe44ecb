// "NACHLIEFERLISTDLG": the open back-orders of the current article; the
// list only informs.
#ifndef BELVON_ORDERS_UI_NACHLIEFERLISTE_DIALOG_H
#define BELVON_ORDERS_UI_NACHLIEFERLISTE_DIALOG_H

#include <QDialog>

#include "store/app_state.h"

class QListWidget;

namespace orders {

class NachlieferlisteDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NachlieferlisteDialog(frame::AppState& app, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_ = nullptr;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_NACHLIEFERLISTE_DIALOG_H
