// The print job of the running program as the order dialogs call it: one
// copy through the program's print host, with the dialog's print date.
#ifndef BELVON_ORDERS_UI_PRINT_JOB_CALL_H
#define BELVON_ORDERS_UI_PRINT_JOB_CALL_H

#include "store/app_state.h"
#include "orders/issuing.h"

namespace orders {

PrintJobCall ProgramPrintJob(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_PRINT_JOB_CALL_H
