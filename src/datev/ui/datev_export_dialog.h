// "DATEV-Export": the period (the month before by default, or the quarter
// before), whether payments and the debtors' master data go along, and the
// file chosen; the batch is written whole or not at all, and what the user
// should know about it is told afterwards.
#ifndef BELVON_DATEV_UI_DATEV_EXPORT_DIALOG_H
#define BELVON_DATEV_UI_DATEV_EXPORT_DIALOG_H

#include <QDialog>
#include <QString>
#include <functional>

#include "store/app_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace datev {

// Asks for the file to write (a file dialog; empty: cancelled).
using ChooseFile = std::function<QString(QWidget* parent, const QString& proposed)>;

class DatevExportDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kExport = 1, kCancel = 2;
  DatevExportDialog(frame::AppState& app, ChooseFile chooseFile = {}, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  void exportBatch();

  frame::AppState& app_;
  ChooseFile chooseFile_;
  QComboBox* period_;
  QLineEdit* from_;
  QLineEdit* to_;
  QCheckBox* payments_;
  QCheckBox* debtors_;
};

}  // namespace datev

#endif  // BELVON_DATEV_UI_DATEV_EXPORT_DIALOG_H
