// The start-up data work, run again by several dialogs: load (or migrate, or
// create) the parameter file, create every missing data file, read the three
// index headers, and finally run the appointment reminder search.
#ifndef BELVON_FRAME_LOAD_PARAMETERS_H
#define BELVON_FRAME_LOAD_PARAMETERS_H

#include "frame/app_state.h"

namespace frame {

void LoadParameters(AppState& app);

}  // namespace frame

#endif  // BELVON_FRAME_LOAD_PARAMETERS_H
