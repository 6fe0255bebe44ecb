#include "orders/collective_journal.h"

#include <algorithm>
#include <chrono>
#include <charconv>
#include <sstream>
#include <thread>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "store/data_file.h"
#include "store/issue_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

constexpr const char* kFirstLine = "BELVON-SAMMEL";

void Tell(frame::AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

template <typename T>
bool Whole(std::string_view text, T& value) {
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Whether the order at `offset` is the collective invoice the journal
// names: its number, and every line naming one of its delivery notes (a
// number the journal names may have been drawn by another copy instead).
bool IsTheInvoice(platform::File& data, std::int64_t offset, const CollectiveIntent& intent,
                  store::OrderHead& head) {
  std::vector<store::OrderLine> lines(store::kOrderLineSlots);
  if (offset < 0 || !store::ReadOrderHead(data, static_cast<std::uint32_t>(offset), head) ||
      head.orderNumber != intent.invoiceNumber || !(head.flags & store::kOrderCollectiveInvoice) ||
      head.lineCount < 0 || head.lineCount > static_cast<int>(store::kMaxOrderLines) ||
      store::ReadOrderLines(data, static_cast<std::uint32_t>(offset), head, lines) != head.lineCount)
    return false;
  for (int i = 1; i <= head.lineCount; ++i)
    if (std::find(intent.notes.begin(), intent.notes.end(), std::int32_t{lines[i].orderNumber}) ==
        intent.notes.end())
      return false;
  return true;
}

// What the killed copy wrote is taken out again: the invoice's entry, its
// stored record while it is the last one of the file (any other record
// without an entry is never read again), and its number while no later
// one was drawn. An order of that number that is not the invoice (the kill
// came before the draw, and another copy drew it) is left alone.
bool TakeBack(frame::AppState& app, const CollectiveIntent& intent) {
  store::IndexedFile file = store::OrderFile(app);
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  store::IndexBlock block;
  if (!index || !file.ReadIndex(index, block)) return false;
  platform::File data =
      store::OpenData(app, store::kOrderDataName, Access::ReadWrite, Share::DenyWrite);
  if (!data) return false;
  std::int32_t at = -1;
  const std::int64_t entered = OrderOffset(block, intent.invoiceNumber, &at);
  store::OrderHead head{};
  std::int64_t recordAt = -1;
  if (entered >= 0) {
    if (!IsTheInvoice(data, entered, intent, head)) return true;
    if (!file.DeleteEntry(index, block, at)) return false;
    recordAt = entered;
  } else if (IsTheInvoice(data, intent.dataEnd, intent, head)) {
    recordAt = intent.dataEnd;
  }
  if (recordAt >= 0) {
    const std::int64_t end = recordAt + static_cast<std::int64_t>(store::kOrderHeadSize) +
                             std::int64_t{head.lineCount} * static_cast<std::int64_t>(store::kOrderLineSize);
    if (data.size() == end && !data.truncate(static_cast<std::uint64_t>(recordAt))) return false;
  }
  data = {};
  std::int32_t next = 0;
  std::uint32_t counter = 0;
  if (store::GiveBackOrderNumber(app, intent.invoiceNumber, intent.drawnCounter) ||
      !store::PeekOrderNumber(app, next, counter) || counter <= intent.drawnCounter)
    return true;
  // Drawn, and another number after it: it stays unused, and is told.
  if (app.ui)
    app.ui->message(frame::Format("Die Sammelrechnung Nr. %ld wurde nicht ausgestellt; "
                                  "ihre Nummer bleibt unbenutzt.",
                                  static_cast<long>(intent.invoiceNumber)),
                    frame::Icon::Information);
  return true;
}

bool FinishIssued(frame::AppState& app, const CollectiveIntent& intent) {
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  store::IndexBlock block;
  if (!index || !store::OrderFile(app).ReadIndex(index, block)) return false;
  platform::File data =
      store::OpenData(app, store::kOrderDataName, Access::ReadWrite, Share::DenyWrite);
  return data && MarkBilled(data, block, intent.notes);
}

// Finishes what the journal held in `journal` names; true when nothing is
// left to do.
bool FinishWith(frame::AppState& app, platform::File& journal) {
  const std::int64_t size = journal.size();
  if (size == 0) return true;
  std::string text(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)), '\0');
  CollectiveIntent intent;
  if (size < 0 || size > 1 << 20 || !journal.seek(0) || !journal.readExact(text.data(), text.size()) ||
      !ParseJournal(text, intent)) {
    Tell(app, frame::Format("Die Datei %s%s ist beschädigt und wird nicht ausgeführt.\n"
                            "Bitte die Datenstruktur prüfen.",
                            app.dataDirectory.c_str(), kCollectiveJournalName));
    return false;
  }
  if (intent.invoiceNumber == 0) return true;
  store::IssueRecord record;
  const bool issued = store::FindIssueRecord(app, intent.invoiceNumber, record);
  if (issued ? FinishIssued(app, intent) : TakeBack(app, intent)) return true;
  Tell(app, frame::Format("Die Sammelrechnung Nr. %ld konnte nicht %s werden.\n"
                          "Bitte die Datenstruktur prüfen.",
                          static_cast<long>(intent.invoiceNumber),
                          issued ? "vervollständigt" : "zurückgenommen"));
  return false;
}

}  // namespace

std::string JournalText(const CollectiveIntent& intent) {
  std::string text = std::string(kFirstLine) + "\n";
  text += "Rechnung " + std::to_string(intent.invoiceNumber) + "\n";
  text += "Zaehler " + std::to_string(intent.drawnCounter) + "\n";
  for (std::int32_t note : intent.notes) text += "Lieferschein " + std::to_string(note) + "\n";
  if (intent.dataEnd >= 0) text += "Datenende " + std::to_string(intent.dataEnd) + "\n";
  return text;
}

bool ParseJournal(const std::string& text, CollectiveIntent& out) {
  out = CollectiveIntent{};
  const std::size_t whole = text.rfind('\n');
  std::istringstream in(whole == std::string::npos ? std::string() : text.substr(0, whole + 1));
  std::string line;
  if (!std::getline(in, line) || line != kFirstLine) return false;
  bool number = false, counter = false;
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) return false;
    const std::string key = line.substr(0, space);
    const std::string_view value = std::string_view(line).substr(space + 1);
    if (key == "Rechnung") {
      number = Whole(value, out.invoiceNumber) && out.invoiceNumber > 0;
      if (!number) return false;
    } else if (key == "Zaehler") {
      counter = Whole(value, out.drawnCounter);
      if (!counter) return false;
    } else if (key == "Lieferschein") {
      std::int32_t note = 0;
      if (!Whole(value, note) || note <= 0) return false;
      out.notes.push_back(note);
    } else if (key == "Datenende") {
      if (!Whole(value, out.dataEnd) || out.dataEnd < 0) return false;
    } else {
      return false;
    }
  }
  return number == counter && (number || (out.notes.empty() && out.dataEnd < 0));
}

bool CollectiveJournal::take(frame::AppState& app) {
  app_ = &app;
  const std::string path = app.path(kCollectiveJournalName);
  // Another copy's issue is waited for far longer than a busy data file:
  // it prints while it holds the journal.
  const auto bound = std::max<std::chrono::milliseconds>(app.retry.bound * 4, std::chrono::seconds(16));
  const auto start = std::chrono::steady_clock::now();
  while (true) {
    platform::OpenFailure why = platform::OpenFailure::None;
    if (app.fileSystem->linkLeaves(path, store::DataFolder(app))) {
      why = platform::OpenFailure::LinkOutside;
    } else {
      file_ = app.fileSystem->open(path, Access::ReadWrite, Share::Exclusive,
                                   platform::Disposition::OpenExisting, &why);
      if (file_) {
        if (!FinishWith(app, file_) || !file_.truncate(0)) {
          file_ = {};
          return false;
        }
        return true;
      }
      if (why == platform::OpenFailure::Missing) {
        file_ = app.fileSystem->open(path, Access::ReadWrite, Share::Exclusive,
                                     platform::Disposition::CreateNew, &why);
        if (file_) return true;
        if (app.fileSystem->kind(path) == platform::PathKind::Regular) why = platform::OpenFailure::Busy;
      }
    }
    if (why != platform::OpenFailure::Busy && why != platform::OpenFailure::Missing) {
      Tell(app, store::OpenFailureText(path, why) + "\nDie Sammelrechnung wird nicht ausgestellt.");
      return false;
    }
    if (std::chrono::steady_clock::now() - start >= bound) {
      Tell(app, frame::Format("Eine andere Sammelrechnung wird gerade ausgestellt (%s).\n"
                              "Bitte später noch einmal versuchen.",
                              path.c_str()));
      return false;
    }
    std::this_thread::sleep_for(app.retry.pause);
  }
}

bool CollectiveJournal::record(const CollectiveIntent& intent) {
  const std::string text = JournalText(intent);
  return file_ && file_.truncate(0) && file_.seek(0) && file_.write(text.data(), text.size()) &&
         file_.sync();
}

bool CollectiveJournal::append(const std::string& lines) {
  std::uint64_t end = 0;
  return file_ && file_.seekToEnd(&end) && file_.write(lines.data(), lines.size()) && file_.sync();
}

void CollectiveJournal::close() {
  if (!file_) return;
  // Emptied first: a journal whose removal failed names nothing to do.
  if (file_.truncate(0)) app_->fileSystem->remove(app_->path(kCollectiveJournalName));
  file_ = {};
}

std::int64_t OrderOffset(const store::IndexBlock& block, std::int32_t number, std::int32_t* at) {
  for (std::int32_t i = 0; i < block.count; ++i)
    if (block.orderNumber(i) == number) {
      if (at) *at = i;
      return block.recordOffset(i);
    }
  return -1;
}

bool MarkBilled(platform::File& data, const store::IndexBlock& block,
                const std::vector<std::int32_t>& notes) {
  bool ok = true;
  for (std::int32_t note : notes) {
    const std::int64_t offset = OrderOffset(block, note);
    store::OrderHead head{};
    if (offset < 0 || !store::ReadOrderHead(data, static_cast<std::uint32_t>(offset), head) ||
        head.orderNumber != note || head.length < offsetof(store::OrderHead, flags) + sizeof head.flags) {
      ok = false;
      continue;
    }
    if (head.flags & store::kOrderCollectivelyBilled) continue;
    head.flags |= store::kOrderCollectivelyBilled;
    const std::size_t n = std::min<std::size_t>(head.length, sizeof head);
    ok = data.seek(static_cast<std::uint64_t>(offset)) && data.write(&head, n) && ok;
  }
  return ok;
}

bool FinishCollectiveInvoice(frame::AppState& app) {
  if (!store::DataFileExists(app, kCollectiveJournalName)) return true;
  platform::File journal = store::OpenDataOnce(app, kCollectiveJournalName, Access::ReadWrite,
                                               Share::Exclusive);
  // Held by a copy that is issuing now: it finishes its own.
  if (!journal) return true;
  if (!FinishWith(app, journal)) return false;
  if (journal.truncate(0)) app.fileSystem->remove(app.path(kCollectiveJournalName));
  return true;
}

}  // namespace orders
