// belvon-cli print 16 --date DD.MM.YYYY [--reprint] [--customer NAME2]
//                     [--issue] (--pdf FILE | --png DIR)
//
// The dunning letters of a run on that date, for every customer or only the
// named one. The output is a preview on paper: the invoices' levels are
// stored only with --issue, which stands for the printer, and only once the
// letters were written. Damaged heads and level texts that cannot be read
// are reported on stderr. A run without a letter writes no file, says
// "Keine Mahnungen fällig" and ends with status 3 (kNothingToDo), so that a
// script tells "nothing due" from a failure (1) and has no file to send.
//
// print 21 and print 24 (the C6 envelope and the parcel label) take the
// current address (the first one) or --customer NAME2, like the letter.
#ifndef BELVON_CLI_DUNNING_PRINT_H
#define BELVON_CLI_DUNNING_PRINT_H

#include <string>

#include "store/app_state.h"
#include "printing/page_renderer.h"

namespace cli {

// The exit status of a command that found nothing to do.
inline constexpr int kNothingToDo = 3;

// Whether the run of `inputs` has a letter to print; otherwise says so on
// stderr.
bool DunningLettersDue(frame::AppState& app, const printing::JobInputs& inputs);

// Takes --reprint; false for any other option.
bool DunningFlag(const std::string& option, bool& reprint);

// The run's inputs: its date is the print date; with a named customer
// (made current before) only that customer's invoices.
void SetDunningInputs(const frame::AppState& app, bool namedCustomer, bool reprint,
                      printing::JobInputs& inputs);

// After the letters were written: the levels of the same run stored, with
// the count on stdout. False after a message when the order file failed.
bool StoreDunningRun(frame::AppState& app, const printing::JobInputs& inputs);

}  // namespace cli

#endif  // BELVON_CLI_DUNNING_PRINT_H
