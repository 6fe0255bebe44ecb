#include "orders/ui/print_job_call.h"

#include "printing/ui/qt_print_host.h"

namespace orders {

PrintJobCall ProgramPrintJob(frame::AppState& app) {
  return [&app](int job, bool notify, const std::string& printDate,
                const std::function<void()>& printed) {
    printing::JobInputs inputs;
    inputs.printDate = printDate;
    printing::StartPrintJob(app, job, notify, inputs, printed);
  };
}

}  // namespace orders
