// The abort dialog "PRINTDLG" of a direct print: caption "Belvon", the text
// "Abbrechen", a button "ESC" (id 2) and the progress frame (id 1080). The
// button or Esc cancels the print.
#ifndef BELVON_PRINTING_UI_PRINTDLG_DIALOG_H
#define BELVON_PRINTING_UI_PRINTDLG_DIALOG_H

#include <QDialog>
#include <QWidget>

namespace printing {

// The progress frame: a one-pixel frame, the part from x 1 to
// (width - 1) * percent / 100 filled purple (127, 0, 127), the rest white,
// and "%d %%" centred at the top, inverting what lies beneath it.
class ProgressBarControl : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressBarControl(QWidget* parent = nullptr);
  // Redraws only when the value changed; false when it did not.
  bool setPercent(int percent);
  int percent() const { return percent_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = -1;
};

class PrintDlgDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PrintDlgDialog(QWidget* owner = nullptr);
  bool userAbort() const { return userAbort_; }
  ProgressBarControl* bar() const { return bar_; }
  // The progress of the renderer: shows it and lets the dialog see its
  // button and keys; true once the user cancelled.
  bool progress(int percent);

 public slots:
  // Every command of the dialog (the button, Esc) cancels.
  void command(int id);
  void reject() override { command(2); }

 private:
  ProgressBarControl* bar_;
  bool userAbort_ = false;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_PRINTDLG_DIALOG_H
