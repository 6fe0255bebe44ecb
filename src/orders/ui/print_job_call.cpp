#include "orders/ui/print_job_call.h"

#include "printing/ui/qt_print_host.h"

namespace orders {

PrintJobCall ProgramPrintJob(frame::AppState& app) {
  return [&app](int job, bool notify, const printing::JobInputs& inputs,
                const std::function<void()>& printed) {
    printing::StartPrintJob(app, job, notify, inputs, printed);
  };
}

}  // namespace orders
