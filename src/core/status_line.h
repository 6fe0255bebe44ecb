// Remarks that need no answer and must not stop the work ("Gedruckt:
// Rechnung-1261200001", what a PDF could not carry): the desktop program
// shows them in the status line of its main window. A user interface that
// has such a line implements StatusLine beside UserInterface; elsewhere the
// remark is a message.
#ifndef BELVON_CORE_STATUS_LINE_H
#define BELVON_CORE_STATUS_LINE_H

#include <string>

#include "core/user_interface.h"

namespace frame {

class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual void note(const std::string& text) = 0;
};

// In the status line of `ui` when it has one, else as a message; nothing
// without a user interface.
void Note(UserInterface* ui, const std::string& text);

}  // namespace frame

#endif  // BELVON_CORE_STATUS_LINE_H
