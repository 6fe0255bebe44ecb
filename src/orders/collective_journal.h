// SAMMEL.JNL, the journal of a collective invoice being issued. It is held
// exclusively from the moment its number is drawn until the invoice is
// issued whole or taken back whole, so that two copies never issue at once
// and a start finds a journal that no one holds only when the copy that
// wrote it was killed. It names numbers, never files or offsets a
// reorganisation could move: the invoice number and the counter before it,
// the delivery notes, and the length of RECHNUNG.DAT before the invoice was
// appended.
//
// Whether a killed issue is finished or taken back is decided by the book
// of issued invoices: with the invoice's record in AUSGANG.DAT it was issued
// and its delivery notes get their marks; without, its entry and stored
// record are taken out again and its number is given back while no later
// one was drawn.
//
// Layout: doc/formats/collective-journal.md
#ifndef BELVON_ORDERS_COLLECTIVE_JOURNAL_H
#define BELVON_ORDERS_COLLECTIVE_JOURNAL_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "store/app_state.h"
#include "store/indexed_file.h"

namespace orders {

inline constexpr const char* kCollectiveJournalName = "SAMMEL.JNL";

struct CollectiveIntent {
  std::int32_t invoiceNumber = 0;
  std::uint32_t drawnCounter = 0;  // the counter before the number was drawn
  std::vector<std::int32_t> notes;
  std::int64_t dataEnd = -1;  // RECHNUNG.DAT's length before the append; -1: not yet
};

// The journal's text, and back; false for anything that is not one. A last
// line without its line end is left out: its write was cut off.
std::string JournalText(const CollectiveIntent& intent);
bool ParseJournal(const std::string& text, CollectiveIntent& out);

class CollectiveJournal {
 public:
  // Takes the journal, waiting while another copy issues; one that a
  // killed copy left is finished first. False (told) when it cannot be had.
  bool take(frame::AppState& app);
  // The first lines, into the empty journal taken.
  bool record(const CollectiveIntent& intent);
  // Later lines are appended, so that the journal never stands empty or
  // half rewritten between two writes: a line without its end was never
  // written, and of a key given twice the last one counts.
  bool append(const std::string& lines);
  // Nothing is left to finish: the journal is removed and let go.
  void close();
  // Something is left to finish: the journal stays for the next start.
  void leave() { file_ = {}; }
  bool held() const { return file_.isOpen(); }

 private:
  frame::AppState* app_ = nullptr;
  platform::File file_;
};

// The record offset of the order numbered `number` in the index read as
// `block` (its position into `at`); -1 when none has the number.
std::int64_t OrderOffset(const store::IndexBlock& block, std::int32_t number,
                         std::int32_t* at = nullptr);

// Sets the billed mark of each delivery note named, found by its number in
// the exclusively held order index `block`, in RECHNUNG.DAT open as `data`;
// true when every one has it.
bool MarkBilled(platform::File& data, const store::IndexBlock& block,
                const std::vector<std::int32_t>& notes);

// Run at every start: finishes or takes back the issue a killed copy left
// in its journal. True when there was none, another copy still holds it or
// it was done; false (told) when it could not be done (the journal stays).
bool FinishCollectiveInvoice(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_COLLECTIVE_JOURNAL_H
