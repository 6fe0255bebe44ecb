#include "letters/ui/letters_menu.h"

#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "letters/envelope_renderer.h"
#include "letters/ui/mahnung_dialog.h"
#include "letters/ui/textverarbeitung_dialog.h"
#include "printing/ui/qt_print_host.h"

namespace letters {

void InstallLetterCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kDunningLetters, [&app, &window] {
    MahnungDialog dialog(app, &window);
    dialog.exec();
    // The current order may have got a new level.
    if (frame::Pane* orders = window.pane(frame::PaneSlot::Order)) orders->refresh();
  });
  window.setCommandHandler(frame::cmd::kC6Envelope,
                           [&app] { printing::StartPrintJob(app, kJobEnvelope, false); });
  window.setCommandHandler(frame::cmd::kParcelLabel,
                           [&app] { printing::StartPrintJob(app, kJobParcelLabel, false); });
  window.setCommandHandler(frame::cmd::kTextEditor, [&app, &window] {
    TextverarbeitungDialog dialog(app, &window);
    dialog.exec();
  });
}

}  // namespace letters
