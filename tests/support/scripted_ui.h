// A UserInterface for tests: records every text it is shown and answers
// questions from a script (and with a default once the script is used up).
#ifndef BELVON_TESTS_SUPPORT_SCRIPTED_UI_H
#define BELVON_TESTS_SUPPORT_SCRIPTED_UI_H

#include <deque>
#include <string>
#include <vector>

#include "core/user_interface.h"

namespace testsupport {

class ScriptedUi : public frame::UserInterface {
 public:
  struct Shown {
    std::string text;
    frame::Icon icon;
    bool wasQuestion;
    bool defaultNo;
  };

  void message(const std::string& text, frame::Icon icon) override;
  bool question(const std::string& text, frame::Icon icon, bool defaultNo) override;
  bool progress(int percent) override;

  // Yes/No/Cancel questions take these first, then the Yes/No answers.
  std::deque<Choice> choices;
  Choice ask(const std::string& text, frame::Icon icon) override;
  // Answers for the next questions, in order.
  void answer(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }
  // Press Esc at the Nth progress update (1-based), 0 = never.
  void escapeAtProgress(int n) { escapeAt_ = n; }

  bool defaultAnswer = false;
  std::vector<Shown> shown;
  std::vector<int> progressValues;
  int waitDepth = 0;
  void beginWait() override { ++waitDepth; }
  void endWait() override { --waitDepth; }

  std::vector<std::string> texts() const;
  std::vector<std::string> questions() const;

 private:
  std::deque<bool> answers_;
  int escapeAt_ = 0;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_SCRIPTED_UI_H
