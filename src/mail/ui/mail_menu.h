// The mail commands of the program: the order's print dialog mails through
// MailOrderDocument, and "E-Mail-Versand..." shows MAIL.LOG for the order.
#ifndef BELVON_MAIL_UI_MAIL_MENU_H
#define BELVON_MAIL_UI_MAIL_MENU_H

#include <string>
#include <vector>

#include "store/app_state.h"

namespace frame {
class FrameWindow;
}

namespace mail {

// The lines of MAIL.LOG about the current order (its document number),
// newest first; every line when no order is current.
std::vector<std::string> OrderLogLines(const frame::AppState& app);

void InstallMailCommands(frame::FrameWindow& window);

}  // namespace mail

#endif  // BELVON_MAIL_UI_MAIL_MENU_H
