// The main window "Belvon - 2.0" of the desktop program: the frame window
// with the menu, the program's own commands (settings dialogs, offer of the
// week, interface switch, cash drawer), the key mapping and the status lines
// refreshed every second.
#ifndef BELVON_APP_MAIN_WINDOW_H
#define BELVON_APP_MAIN_WINDOW_H

#include <QTimer>
#include <functional>

#include "widgets/frame_window.h"

namespace frame {

class MainWindow : public FrameWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& app, QWidget* parent = nullptr);

  // What "Programmoberfläche wechseln" does once the window has closed:
  // start the program again (it reads the other interface from the
  // profile). A test puts something harmless in its place.
  using Restart = std::function<void()>;
  void setRestart(Restart restart) { restart_ = std::move(restart); }

 private:
  void buildMenu();
  void buildCashDeskMenu();
  void offerOfTheWeek();
  void switchInterface();
  void openCashDrawer();
  void registerFrameCommands();

  Restart restart_;
  QTimer clock_;
};

}  // namespace frame

#endif  // BELVON_APP_MAIN_WINDOW_H
