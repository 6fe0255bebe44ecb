// What every subsystem sees of the main window: the panes side by side (or
// the cash-desk pane alone), the table of commands the menu entries, keys
// and accelerators end in, and the two status lines below the panes. The
// desktop program's MainWindow builds the menu on top of it.
#ifndef BELVON_WIDGETS_FRAME_WINDOW_H
#define BELVON_WIDGETS_FRAME_WINDOW_H

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>

#include "store/app_state.h"

class QMenu;

namespace frame {

class Pane;

enum class PaneSlot { Address, Article, Order, CashDesk };

class FrameWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrameWindow(AppState& app, QWidget* parent = nullptr);

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
  // The handler of a command, empty when it has none (to wrap it in another).
  CommandHandler commandHandler(int id) const { return handlers_.value(id); }

  // The menu entry of a command (null when the menu has none).
  QAction* menuAction(int id) const { return actions_.value(id); }

 protected:
  // Closing the window closes the program: every pane first offers its
  // unsaved work for saving, and a Cancel keeps the program open.
  void closeEvent(QCloseEvent* event) override;
  // A menu entry that sends `id`.
  void addCommand(QMenu* menu, int id, const QString& text);

  AppState& app_;

 public slots:
  // Menu commands, accelerators and mapped keys all end here.
  void command(int id);
  // Rebuilds both status texts (the clock calls it every second).
  void refreshStatus();
  // Posted by the print job when a document is done: read the current order
  // again, its flags may have changed.
  void jobFinished();
  // Every pane shows its record again (after a setting that changes how
  // figures are written).
  void refreshPanes();

 private:
  QHBoxLayout* paneRow_ = nullptr;
  QMap<PaneSlot, QPointer<Pane>> panes_;
  QMap<int, QAction*> actions_;
  QMap<int, CommandHandler> handlers_;
  QLabel* dateLine_;
  QLabel* countLine_;
};

}  // namespace frame

#endif  // BELVON_WIDGETS_FRAME_WINDOW_H
