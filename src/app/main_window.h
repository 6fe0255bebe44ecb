// The main window "Belvon - 2.0": the panes side by side (or the cash-desk
// pane alone), the menu, and the two status lines below the panes, refreshed
// every second.
#ifndef BELVON_APP_MAIN_WINDOW_H
#define BELVON_APP_MAIN_WINDOW_H

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "store/app_state.h"

namespace frame {

class Pane;

enum class PaneSlot { Address, Article, Order, CashDesk };

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& app, QWidget* parent = nullptr);

  AppState& state() { return app_; }
  QString statusLine1() const { return dateLine_->text(); }
  QString statusLine2() const { return countLine_->text(); }

  // The pane in a slot, null when the interface has none there.
  Pane* pane(PaneSlot slot) const;
  // Puts a pane into its slot (the subsystems replace the placeholders).
  void setPane(PaneSlot slot, Pane* pane);
  // A command sent to a pane that does not exist goes nowhere.
  void sendToPane(PaneSlot slot, int id);

  // The subsystems hang their menu commands in here.
  using CommandHandler = std::function<void()>;
  void setCommandHandler(int id, CommandHandler handler);

  // The menu entry of a command (null when the menu has none).
  QAction* menuAction(int id) const { return actions_.value(id); }

  // What "Programmoberfläche wechseln" does once the window has closed:
  // start the program again (it reads the other interface from the
  // profile). A test puts something harmless in its place.
  using Restart = std::function<void()>;
  void setRestart(Restart restart) { restart_ = std::move(restart); }

 protected:
  // Closing the window closes the program: every pane first offers its
  // unsaved work for saving, and a Cancel keeps the program open.
  void closeEvent(QCloseEvent* event) override;

 public slots:
  // Menu commands, accelerators and mapped keys all end here.
  void command(int id);
  // Rebuilds both status texts (the clock calls it every second).
  void refreshStatus();
  // Posted by the print job when a document is done: read the current order
  // again, its flags may have changed.
  void jobFinished();

 private:
  void buildMenu();
  void buildCashDeskMenu();
  void addCommand(QMenu* menu, int id, const QString& text);
  void offerOfTheWeek();
  void switchInterface();
  void openCashDrawer();
  void registerFrameCommands();

  AppState& app_;
  QHBoxLayout* paneRow_ = nullptr;
  QMap<PaneSlot, QPointer<Pane>> panes_;
  QMap<int, QAction*> actions_;
  QMap<int, CommandHandler> handlers_;
  Restart restart_;
  QLabel* dateLine_;
  QLabel* countLine_;
  QTimer clock_;
};

}  // namespace frame

#endif  // BELVON_APP_MAIN_WINDOW_H
