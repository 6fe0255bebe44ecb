// The backup commands of the desktop program (menu Datei):
// "Datensicherung..." and "Datensicherung zurückspielen...", the offer of
// a backup before the commands that change many records at once, and the
// reminder in the status bar.
#ifndef BELVON_BACKUP_UI_BACKUP_MENU_H
#define BELVON_BACKUP_UI_BACKUP_MENU_H

#include <string>

#include "store/app_state.h"

namespace frame {
class FrameWindow;
}

namespace backup {

// Installed after the maintenance commands, whose reorganisations,
// deletion of old invoices and currency changeover it offers a backup
// before.
void InstallBackupCommands(frame::FrameWindow& window);

// At start: when the last backup is older than the days set in
// SICHERUNG.INI, one line in the status bar with a button that takes one.
void ShowBackupReminder(frame::FrameWindow& window);

// Restores `archive` into `target` with the progress box, tells the result
// and offers to point DATEIPFAD at the restored directory; true when the
// profile now names it.
bool RestoreAndOffer(frame::AppState& app, const std::string& archive, const std::string& target);

}  // namespace backup

#endif  // BELVON_BACKUP_UI_BACKUP_MENU_H
