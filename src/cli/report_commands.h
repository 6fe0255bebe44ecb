// The lists and statistics in belvon-cli: the options of their print jobs
// (--from DD.MM.YYYY --to DD.MM.YYYY for the date-range jobs, --article
// NUMBER for the article turnover list) and
//   belvon-cli export-journal --from DD.MM.YYYY --to DD.MM.YYYY [--output FILE]
// which writes the invoice journal of the range as CSV (to stdout without
// --output).
#ifndef BELVON_CLI_REPORT_COMMANDS_H
#define BELVON_CLI_REPORT_COMMANDS_H

#include <string>
#include <vector>

#include "store/app_state.h"
#include "printing/page_renderer.h"

namespace cli {

bool IsReportJob(int job);

// An empty text or "dd.mm.yyyy" naming a real calendar day; otherwise false
// after the message.
bool CheckDate(const std::string& text);

struct ReportRequest {
  std::string from, to, article;
  bool articleGiven = false;
};

// Takes --from, --to and --article; false for any other option.
bool ReportOption(const std::string& option, const std::string& value, ReportRequest& request);

// Checks the request against the job, fills the range into `inputs` (the
// dialog's defaults where none is given) and makes the article current.
// Returns 0, or the exit code after the message.
int PrepareReport(frame::AppState& app, int job, const ReportRequest& request,
                  printing::JobInputs& inputs);

int ExportJournalCommand(frame::AppState& app, const std::vector<std::string>& args);

}  // namespace cli

#endif  // BELVON_CLI_REPORT_COMMANDS_H
