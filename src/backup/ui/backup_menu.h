// The backup commands of the desktop program (menu Datei):
// "Datensicherung..." and "Datensicherung zurückspielen...".
#ifndef BELVON_BACKUP_UI_BACKUP_MENU_H
#define BELVON_BACKUP_UI_BACKUP_MENU_H

namespace frame {
class FrameWindow;
}

namespace backup {

void InstallBackupCommands(frame::FrameWindow& window);

}  // namespace backup

#endif  // BELVON_BACKUP_UI_BACKUP_MENU_H
