// The bank statement command of the desktop program (menu Rechnungen):
// "Kontoauszug einlesen...": a file chooser, the statement read and
// matched, and the dialog that books it.
#ifndef BELVON_BANK_UI_BANK_MENU_H
#define BELVON_BANK_UI_BANK_MENU_H

namespace frame {
class FrameWindow;
}

namespace bank {

void InstallBankCommands(frame::FrameWindow& window);

}  // namespace bank

#endif  // BELVON_BANK_UI_BANK_MENU_H
