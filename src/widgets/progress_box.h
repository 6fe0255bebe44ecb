// The progress box "Bitte warten...": a bar that long record walks advance
// between records, and Esc to stop them. The bar is drawn as the program
// always drew it: a one-pixel frame, the done part in RGB(127, 0, 127), the
// rest white, and "%d %" centred in inverting colours.
#ifndef BELVON_WIDGETS_PROGRESS_BOX_H
#define BELVON_WIDGETS_PROGRESS_BOX_H

#include <QDialog>
#include <QWidget>

namespace frame {

class ProgressBar : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressBar(QWidget* parent = nullptr);
  int percent() const { return percent_; }
  // Redraws only when the value changed; -1 forces the next update to draw.
  bool setPercent(int percent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = -1;
};

class ProgressBox : public QDialog {
  Q_OBJECT
 public:
  explicit ProgressBox(QWidget* parent = nullptr, const QString& title = QString());
  ProgressBar* bar() const { return bar_; }
  // Sets the bar, lets pending input through and tells whether Esc (or the
  // cancel button) was pressed since the last update.
  bool update(int percent);
  bool cancelled() const { return cancelled_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  ProgressBar* bar_;
  bool escape_ = false;
  bool cancelled_ = false;
};

}  // namespace frame

#endif  // BELVON_WIDGETS_PROGRESS_BOX_H
