#include "bank/bank_import.h"

#include "bank/bank_booking.h"
#include "bank/booked_transactions.h"
#include "bank/transaction_identity.h"
#include "platform/cp1252.h"
#include "reports/order_scan.h"
#include "store/einvoice_settings.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace bank {

bool LoadLedger(frame::AppState& app, Ledger& ledger) {
  ledger = {};
  store::IssueBook book;
  if (!store::ReadIssueBook(app, book)) return false;
  const einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  const reports::ScanResult scan = reports::ScanOrders(
      app, false, nullptr, [&](const reports::ScannedOrder& order) {
        const store::OrderHead& head = order.head;
        const store::IssueRecord* record = book.find(head.orderNumber);
        // An order a collective invoice bills is paid on the collective invoice.
        if (!record || (head.flags & store::kOrderCollectivelyBilled)) {
          ledger.unissued.insert(head.orderNumber);
          return;
        }
        OpenItem item;
        item.head = head;
        item.kind = record->kind;
        item.currency = einvoice::CurrencyCode(store::GetText(record->currencySymbol), settings);
        // A main currency without a symbol the settings name is the euro of
        // a German account.
        if (item.currency.empty() && record->currency == 0) item.currency = "EUR";
        item.customer = platform::Cp1252ToUtf8(store::GetText(record->customerName));
        ledger.items.push_back(std::move(item));
      });
  return !scan.escaped;
}

namespace {

void Match(frame::AppState& app, const Statement& statement, const BookedTransactions& booked,
           Ledger ledger, std::vector<ImportLine>& lines) {
  const std::vector<std::string> identities = TransactionIdentities(statement.transactions);
  Matcher matcher(std::move(ledger));
  lines.clear();
  lines.reserve(statement.transactions.size());
  for (std::size_t i = 0; i < statement.transactions.size(); ++i) {
    ImportLine line;
    line.transaction = statement.transactions[i];
    line.identity = identities[i];
    const BookedTransaction* earlier = booked.find(line.identity);
    if (earlier && earlier->state != BookedTransaction::State::TakenBack) {
      line.match.action = Action::Already;
      line.match.allocations = earlier->plan;
    } else {
      line.match = matcher.match(line.transaction);
    }
    lines.push_back(std::move(line));
  }
  (void)app;
}

}  // namespace

bool ImportStatement(frame::AppState& app, const Statement& statement, bool book,
                     const std::string& account, std::vector<ImportLine>& lines) {
  BookedTransactions booked;
  if (book) {
    if (!booked.hold(app)) return false;
    FinishPendingBookings(app, booked);
  } else if (!booked.read(app)) {
    return false;
  }
  Ledger ledger;
  if (!LoadLedger(app, ledger)) return false;
  Match(app, statement, booked, std::move(ledger), lines);
  if (!book) return true;
  for (ImportLine& line : lines) {
    if (line.match.action != Action::Booked) continue;
    if (BookTransaction(app, booked, line.identity, line.transaction.bookingDate, line.transaction.cents,
                        line.match.allocations, account))
      line.booked = line.match.allocations;
    else
      line.failed = true;
  }
  return true;
}

int BookChosen(frame::AppState& app, std::vector<ImportLine>& lines,
               const std::vector<std::vector<Allocation>>& chosen, const std::string& account,
               const std::function<bool(int)>& progress) {
  BookedTransactions booked;
  if (!booked.hold(app)) return -1;
  FinishPendingBookings(app, booked);
  int count = 0;
  for (std::size_t i = 0; i < lines.size() && i < chosen.size(); ++i) {
    if (progress && !progress(static_cast<int>((i + 1) * 100 / lines.size()))) break;
    ImportLine& line = lines[i];
    if (chosen[i].empty() || line.match.action == Action::Already) continue;
    const BookedTransaction* earlier = booked.find(line.identity);
    if (earlier && earlier->state != BookedTransaction::State::TakenBack) {
      line.match.action = Action::Already;
      continue;
    }
    if (BookTransaction(app, booked, line.identity, line.transaction.bookingDate, line.transaction.cents,
                        chosen[i], account)) {
      line.booked = chosen[i];
      ++count;
    } else {
      line.failed = true;
    }
  }
  return count;
}

}  // namespace bank
