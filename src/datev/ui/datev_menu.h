// The DATEV commands of the program: the settings "DATEV..." (menu Datei)
// and the export of a period ("DATEV-Export...").
#ifndef BELVON_DATEV_UI_DATEV_MENU_H
#define BELVON_DATEV_UI_DATEV_MENU_H

namespace frame {
class FrameWindow;
}

namespace datev {

void InstallDatevCommands(frame::FrameWindow& window);

}  // namespace datev

#endif  // BELVON_DATEV_UI_DATEV_MENU_H
