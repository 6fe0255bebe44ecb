// The first-start assistant: on a data directory whose parameters were never
// saved, the master data and then the currencies and tax rates open with the
// German defaults filled in. The file is written once both are confirmed;
// cancelling either writes nothing, and the assistant comes again next time.
#ifndef BELVON_APP_FIRST_START_H
#define BELVON_APP_FIRST_START_H

#include <QWidget>

#include "store/app_state.h"
#include "widgets/frame_window.h"

namespace frame {

// True when the parameters were written.
bool RunFirstStartAssistant(AppState& app, QWidget* owner);

// The program's start on its data directory, once the window holds its
// panes: loads the parameters, shows the window with every pane in the
// directory's figure style (the panes were built before it was known), and
// on a directory never set up runs the assistant, whose figure style the
// panes then take too. False when the directory cannot be worked with (the
// message said why).
bool StartOnDataDirectory(AppState& app, FrameWindow& window);

}  // namespace frame

#endif  // BELVON_APP_FIRST_START_H
