#include "cli/incoming_commands.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "cli/json_line.h"
#include "core/dates.h"
#include "einvoice/validation_kit.h"
#include "receive/inbox.h"
#include "receive/official_rules.h"
#include "receive/received_invoice.h"

namespace cli {

namespace {

int Usage() {
  std::fputs(
      "Aufruf: belvon-cli incoming add DATEI\n"
      "        belvon-cli incoming list\n"
      "        belvon-cli incoming print NR (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli incoming paid NR --date TT.MM.JJJJ\n",
      stderr);
  return 2;
}

// JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?
bool IsJsonNumber(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  if (i >= t.size() || !std::isdigit(static_cast<unsigned char>(t[i]))) return false;
  if (t[i] == '0' && i + 1 < t.size() && std::isdigit(static_cast<unsigned char>(t[i + 1])))
    return false;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  if (i == t.size()) return true;
  if (t[i] != '.' || ++i == t.size()) return false;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  return i == t.size();
}

bool ReadId(const std::string& text, int& id) {
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), id);
  return !text.empty() && parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() &&
         id > 0;
}

receive::RuleRunner OfficialRules() {
  const std::string script = einvoice::ValidationKitScript();
  return [script](std::string_view xml, bool xrechnung) {
    return receive::RunOfficialRules(script, xml, xrechnung);
  };
}

int Add(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage();
  const receive::AddOutcome outcome = receive::AddToInbox(app, args[2], OfficialRules());
  if (outcome.result != receive::AddResult::Kept) {
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return 1;
  }
  std::printf("%s\n", IncomingJson(outcome.entry).c_str());
  return 0;
}

int List(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  receive::InboxList list;
  std::string problem;
  if (!receive::ReadInbox(app, list, &problem)) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  for (const receive::InboxEntry& entry : list.entries)
    std::printf("%s\n", IncomingJson(entry).c_str());
  return 0;
}

int Paid(frame::AppState& app, const std::vector<std::string>& args) {
  int id = 0;
  if (args.size() != 5 || !ReadId(args[2], id) || args[3] != "--date") return Usage();
  const std::string date = orders::EnteredDate(args[4]);
  if (date.empty()) {
    std::fprintf(stderr, "„%s“ ist kein Datum (TT.MM.JJJJ).\n", args[4].c_str());
    return 2;
  }
  std::string message;
  if (!receive::MarkPaid(app, id, date, message)) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
  }
  receive::InboxList list;
  if (receive::ReadInbox(app, list) && list.find(id))
    std::printf("%s\n", IncomingJson(*list.find(id)).c_str());
  return 0;
}

}  // namespace

// Defined with the printing of the readable rendering (incoming_print.cpp).
int IncomingPrint(frame::AppState& app, const std::vector<std::string>& args);

std::string JsonAmount(std::string_view text) {
  if (text.empty()) return "null";
  if (text.front() == '+') text.remove_prefix(1);
  if (IsJsonNumber(text)) return std::string(text);
  const receive::Amount amount = receive::ReadAmount(text);
  return amount.present() ? JsonReal(amount.value) : "null";
}

std::string IncomingJson(const receive::InboxEntry& e) {
  std::string findings = "[";
  for (const std::string& f : e.findings)
    findings += (findings.size() > 1 ? "," : "") + JsonString(f);
  findings += "]";
  return JsonLine()
      .number("id", e.id)
      .string("number", e.number)
      .string("issue_date", e.issueDate)
      .string("seller", e.seller)
      .string("currency", e.currency)
      .raw("net", JsonAmount(e.net))
      .raw("tax", JsonAmount(e.tax))
      .raw("total", JsonAmount(e.total))
      .raw("due", JsonAmount(e.due))
      .string("due_date", e.dueDate)
      .string("iban", e.iban)
      .raw("findings", findings)
      .string("state", e.paidOn.empty() ? "offen" : "bezahlt")
      .string("paid_on", e.paidOn)
      .string("format", e.format)
      .string("file", e.fileName)
      .string("received", e.received)
      .string("sha256", e.sha256)
      .str();
}

int IncomingCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  if (args[1] == "add") return Add(app, args);
  if (args[1] == "list") return List(app, args);
  if (args[1] == "paid") return Paid(app, args);
  if (args[1] == "print") return IncomingPrint(app, args);
  return Usage();
}

}  // namespace cli
