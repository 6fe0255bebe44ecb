#include "core/status_line.h"

namespace frame {

void Note(UserInterface* ui, const std::string& text) {
  if (!ui) return;
  if (auto* line = dynamic_cast<StatusLine*>(ui))
    line->note(text);
  else
    ui->message(text, Icon::Information);
}

}  // namespace frame
