#include "datanorm/ui/datanorm_menu.h"

#include "datanorm/address_export.h"
#include "datanorm/ui/datanorm_dialog.h"
#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"

namespace datanorm {

void RegisterDatanormCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kDatanormImport, [&app, &window] {
    DatanormDialog dialog(app, &window);
    if (dialog.exec() != QDialog::Accepted) return;
    if (frame::Pane* articles = window.pane(frame::PaneSlot::Article)) articles->refresh();
    window.refreshStatus();
  });
  window.setCommandHandler(frame::cmd::kDatanormExport, [&app, &window] {
    Datanorm2Dialog dialog(app, &window);
    dialog.exec();
  });
  window.setCommandHandler(frame::cmd::kExportAddresses, [&app] { ExportAddresses(app); });
}

}  // namespace datanorm
