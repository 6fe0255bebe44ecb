// One run of the DATEV export, as the menu entry and the command line start
// it: the settings checked, the batch of the period collected and written
// whole or not at all, the debtors' master data beside it when asked for.
#ifndef BELVON_DATEV_DATEV_EXPORT_H
#define BELVON_DATEV_DATEV_EXPORT_H

#include <functional>
#include <string>

#include "datev/datev_settings.h"
#include "store/app_state.h"

namespace datev {

struct ExportRequest {
  std::string from, to;  // "dd.mm.yyyy"
  std::string output;    // the batch file
  std::string debtors;   // the master data file; empty: none
  bool payments = false;
};

struct ExportOutcome {
  bool written = false;
  std::string problem;  // German: why nothing was written
  std::string notes;    // German: what the user should know about what was written
  std::size_t rows = 0;
  std::size_t debtorRows = 0;
  bool debtorsWritten = false;
};

ExportOutcome RunExport(frame::AppState& app, const Settings& settings, const ExportRequest& request,
                        const std::function<void(const std::string&)>& reportDamaged = {});

// The period the dialog proposes: the month before `today` ("dd.mm.yyyy"),
// or the quarter before.
void PreviousMonth(const std::string& today, std::string& from, std::string& to);
void PreviousQuarter(const std::string& today, std::string& from, std::string& to);

}  // namespace datev

#endif  // BELVON_DATEV_DATEV_EXPORT_H
