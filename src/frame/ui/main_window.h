// The main window "Belvon - 2.0": room for the panes side by side and the two
// status lines below them, refreshed every second.
#ifndef BELVON_FRAME_UI_MAIN_WINDOW_H
#define BELVON_FRAME_UI_MAIN_WINDOW_H

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include "frame/app_state.h"

namespace frame {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& app, QWidget* parent = nullptr);

  QString statusLine1() const { return dateLine_->text(); }
  QString statusLine2() const { return countLine_->text(); }

 public slots:
  // Menu commands, accelerators and mapped keys all end here.
  void command(int id);
  // Rebuilds both status texts (the clock calls it every second).
  void refreshStatus();

 private:
  AppState& app_;
  QLabel* dateLine_;
  QLabel* countLine_;
  QTimer clock_;
};

}  // namespace frame

#endif  // BELVON_FRAME_UI_MAIN_WINDOW_H
