// "DATANORM" (Datanorm-Import): file name, supplier name and the DM-to-Euro
// choice; OK runs the import with the dialog's own bar and count, then the
// dialog closes.
#ifndef BELVON_DATANORM_UI_DATANORM_DIALOG_H
#define BELVON_DATANORM_UI_DATANORM_DIALOG_H

#include <QDialog>

#include "store/app_state.h"

class QKeyEvent;

namespace datanorm {

class DatanormDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DatanormDialog(frame::AppState& app, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  void runImport();

  frame::AppState& app_;
  bool running_ = false;
  bool escape_ = false;
};

// "DATANORM2" (Datanorm-Export): OK writes datanorm.001 in the current
// directory and closes the dialog.
class Datanorm2Dialog : public QDialog {
  Q_OBJECT

 public:
  explicit Datanorm2Dialog(frame::AppState& app, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  frame::AppState& app_;
};

}  // namespace datanorm

#endif  // BELVON_DATANORM_UI_DATANORM_DIALOG_H
