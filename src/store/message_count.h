// Counts the messages shown while it lives, passing everything on to the
// user interface it stands in for. A caller that would add its own "could
// not be stored" says it only when nothing below it has told the user why.
#ifndef BELVON_STORE_MESSAGE_COUNT_H
#define BELVON_STORE_MESSAGE_COUNT_H

#include "store/app_state.h"
#include "core/user_interface.h"

namespace frame {

class MessageCount : public UserInterface {
 public:
  explicit MessageCount(AppState& app) : app_(app), inner_(app.ui) {
    if (inner_) app_.ui = this;
  }
  ~MessageCount() override { app_.ui = inner_; }
  MessageCount(const MessageCount&) = delete;
  MessageCount& operator=(const MessageCount&) = delete;

  int shown() const { return shown_; }

  void message(const std::string& text, Icon icon) override {
    ++shown_;
    inner_->message(text, icon);
  }
  bool question(const std::string& text, Icon icon, bool defaultNo) override {
    return inner_->question(text, icon, defaultNo);
  }
  Choice ask(const std::string& text, Icon icon) override { return inner_->ask(text, icon); }
  bool confirm(const std::string& text, Icon icon) override { return inner_->confirm(text, icon); }
  void beginWait() override { inner_->beginWait(); }
  void endWait() override { inner_->endWait(); }
  void beginProgress() override { inner_->beginProgress(); }
  bool progress(int percent) override { return inner_->progress(percent); }
  void endProgress() override { inner_->endProgress(); }
  bool retryBusyFile(const std::string& path) override { return inner_->retryBusyFile(path); }

 private:
  AppState& app_;
  UserInterface* inner_;
  int shown_ = 0;
};

}  // namespace frame

#endif  // BELVON_STORE_MESSAGE_COUNT_H
