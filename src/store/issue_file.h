// AUSGANG.DAT, the book of issued invoices: 384-byte records (IssueRecord),
// one per invoice, credit note or collective invoice, appended when it is
// issued and never changed. A second copy of the program sees a record as
// soon as it is appended; each operation reads the file anew.
//
// Layout: doc/formats/issue-file.md
#ifndef BELVON_STORE_ISSUE_FILE_H
#define BELVON_STORE_ISSUE_FILE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/app_state.h"
#include "store/issue_record.h"

namespace store {

inline constexpr const char* kIssueFileName = "AUSGANG.DAT";
// The folder of the documents that left the program at issue, named by
// invoice number ("ARCHIV/126120001.pdf", "ARCHIV/126120001.xml").
inline constexpr const char* kArchiveFolderName = "ARCHIV";

// The records of the book as one operation found them.
class IssueBook {
 public:
  // The record of an invoice number; the first one when a number was
  // recorded twice. nullptr when the number has none.
  const IssueRecord* find(std::int32_t invoiceNumber) const;
  const std::vector<IssueRecord>& records() const { return records_; }
  // Records whose check bytes do not match (left out of records()).
  int damaged() const { return damaged_; }
  // Bytes at the end that make no whole record: an append that was cut off.
  std::uint64_t tornTail() const { return tornTail_; }
  bool present() const { return present_; }

 private:
  friend bool ReadIssueBook(frame::AppState& app, IssueBook& book);
  std::vector<IssueRecord> records_;
  std::unordered_map<std::int32_t, std::size_t> byNumber_;
  int damaged_ = 0;
  std::uint64_t tornTail_ = 0;
  bool present_ = false;
};

// Reads the whole book. A missing file is an empty book (present() false);
// false when the file is there but cannot be read (told by the open).
bool ReadIssueBook(frame::AppState& app, IssueBook& book);

// The first sound record of `invoiceNumber`, read in pieces: only the
// record found is checked, so that looking up one invoice (every reprint,
// e-invoice and mail of it) does not hash the whole book. False when the
// number has none or the book cannot be read.
bool FindIssueRecord(frame::AppState& app, std::int32_t invoiceNumber, IssueRecord& out);

// Appends `record` (sealed here) held exclusively, flushed to the disk
// before it returns: from then on the invoice is issued. A tail that an
// interrupted append left is cut off first, so that records stay aligned.
// The file is made when it is missing. False, with the file as it was, when
// anything failed.
bool AppendIssueRecord(frame::AppState& app, IssueRecord record);

// The book opened for reading and writing, held exclusively; made when it
// is missing. Not open when that failed (told).
platform::File OpenIssueBookForWriting(frame::AppState& app);

// The same for several records at once (the takeover of an older
// directory): all of them or none.
bool AppendIssueRecords(frame::AppState& app, std::vector<IssueRecord> records);

}  // namespace store

#endif  // BELVON_STORE_ISSUE_FILE_H
