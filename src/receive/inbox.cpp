#include "receive/inbox.h"

#include <filesystem>

#include "core/dates.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "core/sha256.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "receive/official_rules.h"
#include "store/data_file.h"

namespace receive {

namespace {

constexpr std::uint64_t kLargestList = 64ull * 1024 * 1024;

const char* FormatName(const OpenedInvoice& opened) {
  if (opened.container == Container::Pdf) return "PDF/CII";
  return opened.invoice.syntax == Syntax::Cii ? "CII" : "UBL";
}

// The kept file's name: the entry number and the supplier's invoice number,
// with only what every file system takes.
std::string KeptName(int id, const OpenedInvoice& opened) {
  std::string number;
  for (char c : opened.invoice.number) {
    if (number.size() >= 40) break;
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_';
    number += plain ? c : '_';
  }
  return std::to_string(id) + (number.empty() ? "" : "_" + number) +
         (opened.container == Container::Pdf ? ".pdf" : ".xml");
}

std::string SellerKey(const std::string& vatId, const std::string& name) {
  return vatId.empty() ? "N:" + name : "V:" + vatId;
}

std::string Describe(const InboxEntry& e) {
  return frame::Format("Eingangsrechnung %d (%s, Nr. %s vom %s)", e.id, e.seller.c_str(),
                       e.number.c_str(), e.issueDate.c_str());
}

// Holds the inbox for changes while it lives.
class InboxLock {
 public:
  explicit InboxLock(frame::AppState& app) {
    std::error_code error;
    std::filesystem::create_directories(app.dataDirectory + kInboxFolderName, error);
    file_ = store::OpenData(app, kInboxLockName, platform::Access::ReadWrite,
                            platform::Share::Exclusive, platform::Disposition::CreateAlways);
  }
  bool held() const { return file_.isOpen(); }

 private:
  platform::File file_;
};

bool WriteList(frame::AppState& app, const InboxList& list) {
  return platform::WriteOutputFile(*app.fileSystem, app.dataDirectory + kInboxListName,
                                   InboxListText(list));
}

AddOutcome Refuse(std::string message, AddResult result = AddResult::Refused) {
  AddOutcome outcome;
  outcome.result = result;
  outcome.message = std::move(message);
  return outcome;
}

}  // namespace

std::string KeptPath(const frame::AppState& app, const InboxEntry& entry) {
  return app.dataDirectory + kInboxFolderName + "/" + entry.fileName;
}

bool ReadInbox(frame::AppState& app, InboxList& list, std::string* problem) {
  list = {};
  const std::string path = app.dataDirectory + kInboxListName;
  if (app.fileSystem->kind(path) == platform::PathKind::Missing) return true;
  std::string text;
  const platform::ReadRefusal refusal = platform::ReadRegularFile(
      *app.fileSystem, path, kLargestList, text, platform::Share::DenyNone);
  if (refusal != platform::ReadRefusal::None) {
    if (problem) *problem = platform::ReadRefusalText(path, refusal, kLargestList);
    return false;
  }
  list = ParseInboxList(text);
  return true;
}

std::vector<Finding> FindingsOf(const OpenedInvoice& opened, const RuleRunner& rules) {
  std::vector<Finding> findings = CheckFigures(opened.invoice);
  if (rules && opened.invoice.syntax == Syntax::Cii) {
    std::vector<Finding> official =
        rules(opened.xml, ClaimsXRechnung(opened.invoice.specification));
    findings.insert(findings.end(), official.begin(), official.end());
  }
  return findings;
}

AddOutcome AddToInbox(frame::AppState& app, const std::string& path, const RuleRunner& rules) {
  std::string bytes;
  const platform::ReadRefusal refusal =
      platform::ReadRegularFile(*app.fileSystem, path, kLargestIncoming, bytes);
  if (refusal != platform::ReadRefusal::None)
    return Refuse(platform::ReadRefusalText(path, refusal, kLargestIncoming));
  return AddBytesToInbox(app, bytes, std::filesystem::path(path).filename().string(), rules);
}

AddOutcome AddBytesToInbox(frame::AppState& app, const std::string& bytes,
                           const std::string& originalName, const RuleRunner& rules) {
  OpenedInvoice opened = ReadIncoming(bytes, originalName);
  if (!opened.ok) return Refuse(opened.message);
  const std::vector<Finding> findings = FindingsOf(opened, rules);

  InboxLock lock(app);
  if (!lock.held())
    return Refuse(
        "Die Eingangsrechnungen werden gerade von einem anderen Arbeitsplatz geändert; "
        "bitte später noch einmal versuchen.",
        AddResult::Failed);
  InboxList list;
  std::string problem;
  if (!ReadInbox(app, list, &problem)) return Refuse(problem, AddResult::Failed);
  const std::string digest = frame::HexDigest(frame::Sha256Of(bytes));
  const ReceivedInvoice& invoice = opened.invoice;
  InboxEntry entry;
  for (const InboxEntry& kept : list.entries)
    if (kept.sha256 == digest)
      return Refuse("Diese Datei ist schon abgelegt: " + Describe(kept) + ", aufgenommen am " +
                    kept.received + " aus „" + kept.originalName + "“.");
  // The first kept invoice of the seller with this number is named: a
  // correction, or the same invoice sent twice.
  for (const InboxEntry& kept : list.entries) {
    if (kept.number != invoice.number || invoice.number.empty() ||
        SellerKey(kept.sellerVatId, kept.seller) !=
            SellerKey(invoice.seller.vatId, invoice.seller.name))
      continue;
    entry.findings.push_back(
        "Vom selben Lieferanten ist schon eine Rechnung mit dieser Nummer abgelegt: " +
        Describe(kept) + ", Gesamtbetrag " +
        frame::Amount(frame::FigureStyle::German, ReadAmount(kept.total).value) + " " +
        kept.currency +
        ". Eine Korrektur oder eine doppelte Rechnung: vor dem Bezahlen "
        "vergleichen.");
    break;
  }
  for (const Finding& f : findings) entry.findings.push_back(f.text);

  entry.id = list.nextId();
  entry.received = orders::FormatDate(*app.clock);
  entry.sha256 = digest;
  entry.fileName = KeptName(entry.id, opened);
  entry.originalName = originalName;
  entry.format = FormatName(opened);
  entry.seller = invoice.seller.name;
  entry.sellerVatId = invoice.seller.vatId;
  entry.number = invoice.number;
  entry.issueDate = invoice.issueDate;
  entry.currency = invoice.currency;
  entry.net = invoice.totals.taxBasis.text;
  entry.tax = invoice.totals.tax.text;
  entry.total = invoice.totals.total.text;
  entry.due = invoice.totals.due.text;
  entry.dueDate = invoice.dueDate;
  entry.iban = invoice.iban();

  // The number is ours while the lock is held: a file of that name is one
  // an add that failed left behind.
  const std::string kept = KeptPath(app, entry);
  if (!platform::WriteOutputFile(*app.fileSystem, kept, bytes)) {
    app.fileSystem->remove(kept);
    return Refuse(platform::OutputFailureText(kept), AddResult::Failed);
  }
  list.entries.push_back(entry);
  if (!WriteList(app, list)) {
    // Only the flush of the folder may have failed after the list was put
    // in place: then the entry stands, and so must its file.
    InboxList now;
    const InboxEntry* listed = ReadInbox(app, now) ? now.find(entry.id) : nullptr;
    if (!listed || listed->sha256 != digest) {
      app.fileSystem->remove(kept);
      return Refuse(platform::OutputFailureText(app.dataDirectory + kInboxListName),
                    AddResult::Failed);
    }
  }
  AddOutcome outcome;
  outcome.result = AddResult::Kept;
  outcome.entry = std::move(entry);
  outcome.opened = std::move(opened);
  return outcome;
}

OpenedInvoice OpenKept(frame::AppState& app, const InboxEntry& entry, std::string* bytesOut) {
  std::string bytes;
  const std::string path = KeptPath(app, entry);
  const platform::ReadRefusal refusal = platform::ReadRegularFile(
      *app.fileSystem, path, kLargestIncoming, bytes, platform::Share::DenyNone);
  OpenedInvoice opened;
  if (refusal != platform::ReadRefusal::None) {
    opened.message = platform::ReadRefusalText(path, refusal, kLargestIncoming);
    return opened;
  }
  if (frame::HexDigest(frame::Sha256Of(bytes)) != entry.sha256) {
    opened.message = "Die abgelegte Datei " + path + " ist nicht mehr die, die am " +
                     entry.received + " aufgenommen wurde (die Prüfsumme stimmt nicht).";
    return opened;
  }
  opened = ReadIncoming(bytes, entry.originalName);
  if (bytesOut) *bytesOut = std::move(bytes);
  return opened;
}

bool MarkPaid(frame::AppState& app, int id, const std::string& date, std::string& message) {
  InboxLock lock(app);
  if (!lock.held()) {
    message = "Die Eingangsrechnungen werden gerade von einem anderen Arbeitsplatz geändert.";
    return false;
  }
  InboxList list;
  if (!ReadInbox(app, list, &message)) return false;
  InboxEntry* entry = list.find(id);
  if (!entry) {
    message = frame::Format("Es gibt keine Eingangsrechnung %d.", id);
    return false;
  }
  entry->paidOn = date;
  if (!WriteList(app, list)) {
    message = platform::OutputFailureText(app.dataDirectory + kInboxListName);
    return false;
  }
  return true;
}

std::string AttachmentFileName(const Attachment& attachment, std::size_t index) {
  std::string name = std::filesystem::path(attachment.fileName).filename().string();
  if (name.empty() || name == "." || name == "..") name = attachment.id;
  std::string safe;
  for (char c : name)
    safe += (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
  if (safe.empty() || safe == "." || safe == "..") safe = "Anhang-" + std::to_string(index + 1);
  return safe;
}

}  // namespace receive
