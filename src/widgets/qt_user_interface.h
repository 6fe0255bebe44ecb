// The desktop program's UserInterface: message boxes captioned
// "Belvon - 2.0", the hourglass, and the progress box.
#ifndef BELVON_WIDGETS_QT_USER_INTERFACE_H
#define BELVON_WIDGETS_QT_USER_INTERFACE_H

#include <QPointer>
#include <QWidget>

#include "core/status_line.h"
#include "core/user_interface.h"
#include "widgets/progress_box.h"

namespace frame {

class QtUserInterface : public UserInterface, public StatusLine {
 public:
  // `owner` is the window every box belongs to (may change once the main
  // window exists).
  explicit QtUserInterface(QWidget* owner = nullptr) : owner_(owner) {}
  void setOwner(QWidget* owner) { owner_ = owner; }

  void message(const std::string& text, Icon icon) override;
  // In the status bar of the owner when it is a main window.
  void note(const std::string& text) override;
  bool question(const std::string& text, Icon icon, bool defaultNo) override;
  bool confirm(const std::string& text, Icon icon) override;
  Choice ask(const std::string& text, Icon icon) override;
  void beginWait() override;
  void endWait() override;
  void beginProgress() override;
  bool progress(int percent) override;
  void endProgress() override;

 private:
  QPointer<QWidget> owner_;
  QPointer<class ProgressBox> progress_;
};

}  // namespace frame

#endif  // BELVON_WIDGETS_QT_USER_INTERFACE_H
