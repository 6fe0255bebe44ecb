// The Datanorm commands of the menu: import (123), export (124), and the
// export of the selected addresses (2211).
#ifndef BELVON_DATANORM_UI_DATANORM_MENU_H
#define BELVON_DATANORM_UI_DATANORM_MENU_H

namespace frame {
class FrameWindow;
}

namespace datanorm {

void RegisterDatanormCommands(frame::FrameWindow& window);

}  // namespace datanorm

#endif  // BELVON_DATANORM_UI_DATANORM_MENU_H
