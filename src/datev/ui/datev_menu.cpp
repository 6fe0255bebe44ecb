#include "datev/ui/datev_menu.h"

#include "core/command_ids.h"
#include "datev/ui/datev_dialog.h"
#include "datev/ui/datev_export_dialog.h"
#include "widgets/frame_window.h"

namespace datev {

void InstallDatevCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kDatevSettings, [&app, &window] {
    DatevDialog dialog(app, &window);
    dialog.exec();
  });
  window.setCommandHandler(frame::cmd::kDatevExport, [&app, &window] {
    DatevExportDialog dialog(app, {}, &window);
    dialog.exec();
  });
}

}  // namespace datev
