// One run over a bank statement: every transaction with its identity, what
// the matching makes of it, and, when asked, the booking of the exact
// matches (or of what the user chose).
#ifndef BELVON_BANK_BANK_IMPORT_H
#define BELVON_BANK_BANK_IMPORT_H

#include <functional>
#include <string>
#include <vector>

#include "bank/matching.h"
#include "bank/statement.h"
#include "store/app_state.h"

namespace bank {

struct ImportLine {
  Transaction transaction;
  std::string identity;
  MatchResult match;           // Already: booked by an earlier run
  std::vector<Allocation> booked;  // what this run booked
  bool failed = false;         // to be booked, but refused (told)
};

// The issued invoices, credit notes and collective invoices with their
// order heads as the files hold them now, and the numbers of the orders
// that were never issued. False when a file cannot be read (told).
bool LoadLedger(frame::AppState& app, Ledger& ledger);

// Reads BANKUMS.DAT and the order book and matches every transaction.
// With `book`, the run holds BANKUMS.DAT from before the matching to the
// end, finishes what an earlier run left half done, and books the exact
// matches (action Booked); without, nothing is written. False when the
// files cannot be read or held (told): then nothing was booked.
bool ImportStatement(frame::AppState& app, const Statement& statement, bool book,
                     const std::string& account, std::vector<ImportLine>& lines);

// Books, for each line, `chosen[i]` (empty: nothing), as the user
// confirmed them; a line whose transaction another run booked meanwhile
// becomes Already. `progress` gets the share done (0..100) and returns
// false to stop before the next transaction. The number of transactions
// booked; -1 when BANKUMS.DAT cannot be held (told).
int BookChosen(frame::AppState& app, std::vector<ImportLine>& lines,
               const std::vector<std::vector<Allocation>>& chosen, const std::string& account,
               const std::function<bool(int)>& progress = {});

}  // namespace bank

#endif  // BELVON_BANK_BANK_IMPORT_H
