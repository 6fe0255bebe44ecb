// A pane of the main window (address, article, order or cash-desk pane).
// Buttons, mapped keys and the main window all reach it through command(id).
// Until a pane's own class exists its place is held by a plain Pane, which
// takes commands without doing anything.
#ifndef BELVON_WIDGETS_PANE_H
#define BELVON_WIDGETS_PANE_H

#include <QFrame>

namespace frame {

class Pane : public QFrame {
  Q_OBJECT

 public:
  explicit Pane(const QString& templateName, QWidget* parent = nullptr) : QFrame(parent) {
    setObjectName(templateName);
    setFrameShape(QFrame::StyledPanel);
  }

 public slots:
  void command(int id) {
    emit commandReceived(id);
    handleCommand(id);
  }

 public:
  // Shows the pane's current record again (another pane changed it).
  virtual void refresh() {}
  // Another pane is about to replace this pane's record: unsaved work is
  // offered for saving first. False when the user chose to stay.
  virtual bool mayReplace() { return true; }
  // A print job of this pane's record is over (the job-finished notice).
  virtual void jobFinished() {}

 signals:
  // Every command the pane receives, before it is handled.
  void commandReceived(int id);

 protected:
  virtual void handleCommand(int id) { (void)id; }
};

}  // namespace frame

#endif  // BELVON_WIDGETS_PANE_H
