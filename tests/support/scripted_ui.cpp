#include "support/scripted_ui.h"

namespace testsupport {

void ScriptedUi::message(const std::string& text, frame::Icon icon) {
  shown.push_back({text, icon, false, false});
}

bool ScriptedUi::question(const std::string& text, frame::Icon icon, bool defaultNo) {
  shown.push_back({text, icon, true, defaultNo});
  if (answers_.empty()) return defaultAnswer;
  bool a = answers_.front();
  answers_.pop_front();
  return a;
}

ScriptedUi::Choice ScriptedUi::ask(const std::string& text, frame::Icon icon) {
  if (choices.empty()) return question(text, icon, false) ? Choice::Yes : Choice::No;
  shown.push_back({text, icon, true, false});
  Choice c = choices.front();
  choices.pop_front();
  return c;
}

bool ScriptedUi::progress(int percent) {
  progressValues.push_back(percent);
  return escapeAt_ > 0 && static_cast<int>(progressValues.size()) == escapeAt_;
}

std::vector<std::string> ScriptedUi::texts() const {
  std::vector<std::string> all;
  for (const auto& s : shown) all.push_back(s.text);
  return all;
}

std::vector<std::string> ScriptedUi::questions() const {
  std::vector<std::string> all;
  for (const auto& s : shown)
    if (s.wasQuestion) all.push_back(s.text);
  return all;
}

}  // namespace testsupport
