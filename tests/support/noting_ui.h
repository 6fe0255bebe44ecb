// A scripted user interface with a status line: its remarks are kept apart
// from the messages.
#ifndef BELVON_TESTS_SUPPORT_NOTING_UI_H
#define BELVON_TESTS_SUPPORT_NOTING_UI_H

#include <string>
#include <vector>

#include "core/status_line.h"
#include "support/scripted_ui.h"

namespace testsupport {

class NotingUi : public ScriptedUi, public frame::StatusLine {
 public:
  void note(const std::string& text) override { notes.push_back(text); }
  std::vector<std::string> notes;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_NOTING_UI_H
