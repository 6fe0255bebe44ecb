// "DATEV": the advisor and client numbers, the financial year and the
// accounts of the DATEV export, kept in DATEV.INI of the data directory.
// OK checks them as DATEV would and names what it would refuse.
#ifndef BELVON_DATEV_UI_DATEV_DIALOG_H
#define BELVON_DATEV_UI_DATEV_DIALOG_H

#include <QDialog>

#include "datev/datev_settings.h"
#include "store/app_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace datev {

class DatevDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kOk = 1, kCancel = 2;
  explicit DatevDialog(frame::AppState& app, QWidget* parent = nullptr);

  // The settings as the fields show them.
  Settings settings() const;

 public slots:
  void command(int id);

 private:
  void show(const Settings& s);

  frame::AppState& app_;
  QLineEdit* advisor_;
  QLineEdit* client_;
  QLineEdit* yearStart_;
  QLineEdit* accountLength_;
  QComboBox* chart_;
  QLineEdit* revenueStandard_;
  QLineEdit* revenueReduced_;
  QLineEdit* revenueTaxFree_;
  QComboBox* debtors_;
  QLineEdit* debtorStart_;
  QLineEdit* collectiveDebtor_;
  QLineEdit* bank_;
  QLineEdit* cash_;
  QCheckBox* payments_;
  QCheckBox* fixed_;
};

}  // namespace datev

#endif  // BELVON_DATEV_UI_DATEV_DIALOG_H
