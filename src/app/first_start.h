// The first-start assistant: on a data directory whose parameters were never
// saved, the master data and then the currencies and tax rates open with the
// German defaults filled in. The file is written once both are confirmed;
// cancelling either writes nothing, and the assistant comes again next time.
#ifndef BELVON_APP_FIRST_START_H
#define BELVON_APP_FIRST_START_H

#include <QWidget>

#include "store/app_state.h"

namespace frame {

// True when the parameters were written.
bool RunFirstStartAssistant(AppState& app, QWidget* owner);

}  // namespace frame

#endif  // BELVON_APP_FIRST_START_H
