// belvon-cli print 4 --customer NAME2 [--from N] [--to N] [--date DD.MM.YYYY]
//                    [--include-invoiced] [--copies N] [--issue] (--pdf FILE | --png DIR)
//
// The collective invoice of the named customer: every delivery note in the
// number range (--from defaults to 0, --to to the highest number of this
// month), dated --date (today without it). Orders already issued as
// invoices are billed again only with --include-invoiced. --issue issues
// the collective invoice before the document is written (it draws its
// number and marks the collected orders, all or nothing) and takes it back
// when the document cannot be written; without it the document is a draft
// without number and nothing is written.
#ifndef BELVON_CLI_COLLECTIVE_PRINT_H
#define BELVON_CLI_COLLECTIVE_PRINT_H

#include <string>

#include "store/app_state.h"
#include "orders/collective_invoice.h"

namespace cli {

struct CollectiveRange {
  std::string from, to;
  bool includeInvoiced = false;
};

// Takes --from and --to; false for any other option.
bool CollectiveOption(const std::string& option, const std::string& value,
                      CollectiveRange& range);

// Collects the current customer's delivery notes of the range with this
// invoice date; false after the message that says why.
bool CollectForPrint(frame::AppState& app, const CollectiveRange& range,
                     const std::string& invoiceDate, orders::Collection& collection);

}  // namespace cli

#endif  // BELVON_CLI_COLLECTIVE_PRINT_H
