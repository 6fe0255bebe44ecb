// How core code asks and tells the user.
//
// Core code never calls a widget. It hands German texts (UTF-8) to this seam;
// the desktop program shows message boxes captioned "Belvon - 2.0", the tests
// answer from a script and the command-line front end answers from its flags.
#ifndef BELVON_CORE_USER_INTERFACE_H
#define BELVON_CORE_USER_INTERFACE_H

#include <string>

namespace frame {

inline constexpr const char* kProgramTitle = "Belvon - 2.0";

enum class Icon { None, Information, Question, Exclamation, Stop };

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  virtual void message(const std::string& text, Icon icon) = 0;
  // Yes/No question; returns true for Yes. `defaultNo` preselects No.
  virtual bool question(const std::string& text, Icon icon, bool defaultNo) = 0;
  // Yes/No/Cancel question, asked before work would be lost.
  enum class Choice { Yes, No, Cancel };
  virtual Choice ask(const std::string& text, Icon icon) {
    return question(text, icon, false) ? Choice::Yes : Choice::No;
  }
  // OK/Cancel question; returns true for OK.
  virtual bool confirm(const std::string& text, Icon icon) { return question(text, icon, false); }

  // The hourglass while a long operation runs.
  virtual void beginWait() {}
  virtual void endWait() {}

  // The progress box "Bitte warten...": begin, then set the percentage between
  // records; progress() returns true when the user pressed Esc.
  virtual void beginProgress() {}
  virtual bool progress(int percent) {
    (void)percent;
    return false;
  }
  virtual void endProgress() {}

  // A data file stayed locked by another program for the whole retry bound:
  // true to wait again, false to give up the operation.
  virtual bool retryBusyFile(const std::string& path);
};

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  explicit WaitCursor(UserInterface* ui) : ui_(ui) {
    if (ui_) ui_->beginWait();
  }
  ~WaitCursor() {
    if (ui_) ui_->endWait();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UserInterface* ui_;
};

// The question of retryBusyFile.
std::string FileBusyText(const std::string& path);

}  // namespace frame

#endif  // BELVON_CORE_USER_INTERFACE_H
