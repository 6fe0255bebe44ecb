#include "cli/bank_command.h"

#include <cstdio>

#include "bank/bank_import.h"
#include "bank/bank_settings.h"
#include "bank/statement_file.h"
#include "cli/json_line.h"
#include "store/load_parameters.h"

namespace cli {

namespace {

const char* ActionName(bank::Action action) {
  switch (action) {
    case bank::Action::Booked: return "booked";
    case bank::Action::Proposed: return "proposed";
    case bank::Action::Unmatched: return "unmatched";
    case bank::Action::Already: return "already";
  }
  return "unmatched";
}

// Cents as a JSON number with two decimals, exact.
std::string Decimal(std::int64_t cents) {
  const std::int64_t whole = cents < 0 ? -cents : cents;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "",
                static_cast<long long>(whole / 100), static_cast<long long>(whole % 100));
  return text;
}

std::string Numbers(const std::vector<std::int32_t>& numbers) {
  std::string json = "[";
  for (std::size_t i = 0; i < numbers.size(); ++i)
    json += (i ? "," : "") + std::to_string(numbers[i]);
  return json + "]";
}

}  // namespace

int BankImportCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string file, account;
  bool book = false, usage = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--book")
      book = true;
    else if (args[i] == "--account" && i + 1 < args.size())
      account = args[++i];
    else if (file.empty() && !args[i].starts_with("--"))
      file = args[i];
    else
      usage = true;
  }
  if (usage || file.empty()) {
    std::fputs("Aufruf: belvon-cli bank-import DATEI [--book] [--account KONTO]\n", stderr);
    return 2;
  }
  bank::Statement statement;
  std::string error;
  if (!bank::ReadStatementFile(*app.fileSystem, file, statement, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (!frame::LoadParameters(app)) return 1;
  if (account.empty()) account = bank::BankAccount(app);
  std::vector<bank::ImportLine> lines;
  if (!bank::ImportStatement(app, statement, book, account, lines)) return 1;
  bool failed = false;
  for (const bank::ImportLine& line : lines) {
    const bank::Transaction& t = line.transaction;
    const bank::MatchResult& m = line.match;
    std::vector<std::int32_t> orders;
    for (const bank::Allocation& a : m.allocations) orders.push_back(a.order);
    if (m.action == bank::Action::Proposed) orders = m.candidates;
    const bank::Action action = line.failed ? bank::Action::Proposed : m.action;
    failed = failed || line.failed;
    JsonLine json;
    json.string("date", t.bookingDate)
        .string("value_date", t.valueDate)
        .raw("amount", Decimal(t.cents))
        .string("currency", t.currency)
        .string("name", t.name)
        .string("iban", t.iban)
        .string("text", t.text)
        .string("end_to_end", t.endToEnd)
        .string("reference", t.bankReference)
        .raw("orders", Numbers(orders))
        .string("action", ActionName(action))
        .raw("cash_discount", m.cashDiscount() ? "true" : "false")
        .raw("written", line.booked.empty() ? "false" : "true");
    if (!m.notIssued.empty()) json.raw("not_invoices", Numbers(m.notIssued));
    if (!m.reason.empty()) json.string("reason", m.reason);
    std::printf("%s\n", json.str().c_str());
  }
  return failed ? 1 : 0;
}

}  // namespace cli
