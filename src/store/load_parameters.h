// The start-up data work, run again by several dialogs: load (or migrate, or
// create) the parameter file, create every missing data file, read the three
// index headers, and finally run the appointment reminder search.
//
// Returns 1, or 0 when the data directory cannot be worked with as it is:
// the parameter file is there but cannot be read or comes from the previous
// version, a data file is no regular file, or an index is missing beside its
// records and was not built again. The user has been told why; start-up
// does not go on then.
#ifndef BELVON_STORE_LOAD_PARAMETERS_H
#define BELVON_STORE_LOAD_PARAMETERS_H

#include "store/app_state.h"

namespace frame {

int LoadParameters(AppState& app);

}  // namespace frame

#endif  // BELVON_STORE_LOAD_PARAMETERS_H
