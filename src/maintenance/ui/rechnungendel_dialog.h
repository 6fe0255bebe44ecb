// "RECHNUNGENDEL": the date range of the old invoices to delete. The dialog
// only takes the two dates; the caller deletes.
#ifndef BELVON_MAINTENANCE_UI_RECHNUNGENDEL_DIALOG_H
#define BELVON_MAINTENANCE_UI_RECHNUNGENDEL_DIALOG_H

#include <QDialog>
#include <string>

#include "store/app_state.h"

namespace maintenance {

class RechnungenDelDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RechnungenDelDialog(frame::AppState& app, QWidget* parent = nullptr);

  std::string from() const { return from_; }
  std::string to() const { return to_; }

 public slots:
  void command(int id);

 private:
  std::string from_, to_;
};

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_UI_RECHNUNGENDEL_DIALOG_H
