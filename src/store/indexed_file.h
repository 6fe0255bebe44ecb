// A record file (".DAT") with its sorted index (".IDX").
//
// Layout: doc/formats/index-files.md. One implementation serves articles,
// addresses and orders; the instances differ only in an IndexLayout.
//
// Every operation opens the files it needs, works and closes them before it
// returns, re-reads the index header and leaves the count in the AppState
// cursor of its file. Results follow the program's convention: 1 = done,
// 0 = not done (nothing changed). A read that fails is never taken for an
// empty index or a missing record: the operation ends with 0 instead.
//
// A copy of the program killed at any file call leaves each operation done
// or not done, by the order of its writes:
//  - a record goes into the record file (appended, or in place of itself)
//    before the index learns of it, so an unreferenced record is the most
//    a cut leaves behind;
//  - the index is never changed in place: an insert, a deletion or a moved
//    entry writes the whole changed index under its own name ("KUNDEN.NDX")
//    and renames it over the old one while holding both, one rename being
//    the step from the old index to the new;
//  - a record that moves under a changed key (and every reference to it
//    in other files) goes by a journal ("KUNDEN.UMZ", renamed into place
//    whole before the entry moves, removed once the references followed);
//    the next start finds it and carries the move through
//    (FinishInterruptedMove). Whole files that the maintenance runs replace
//    go by the swap journal of store/file_replacement.h instead.
// Changing one field of a stored record goes through ChangeRecord (and
// ChangeOrderHead for orders): it holds the index from the lookup to the
// write, so that what another copy wrote meanwhile is kept and nothing is
// written at an offset the record has left.
#ifndef BELVON_STORE_INDEXED_FILE_H
#define BELVON_STORE_INDEXED_FILE_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/app_state.h"
#include "platform/file.h"

namespace store {

struct IndexLayout {
  const char* indexName;
  const char* dataName;
  const char* displayName;      // for messages: "Adressen"
  int headerSize;               // 4 (articles) or 2 (addresses, orders)
  int entrySize;                // 26, 46, 12
  bool textKey;                 // text key at entry offset 0, else order number at 4
  int keyWidth;                 // text key width in the entry and the record
  int keyInRecord;              // offset of the key inside the record
  int offsetInEntry;            // record offset field of an entry
  int recordSize;               // written and maximum read
  bool rewriteWithStoredLength; // in-place rewrite keeps the record's own length
  platform::Share recordWriteShare;
  std::int64_t maxEntries;      // the positions are 16-bit for addresses and orders
  const char* keyName;          // for messages: "der Artikelnummer"
};

// The first line of a move journal ("ARTIKEL.UMZ", "KUNDEN.UMZ").
inline constexpr char kMoveJournalHeading[] = "BELVON-UMZUG";

extern const IndexLayout kArticleLayout;
extern const IndexLayout kAddressLayout;
extern const IndexLayout kOrderLayout;

// An index read whole into memory.
struct IndexBlock {
  const IndexLayout* layout = nullptr;
  std::vector<std::uint8_t> bytes;  // count entries
  std::int32_t count = 0;

  const std::uint8_t* entry(std::int32_t i) const {
    return bytes.data() + static_cast<std::size_t>(i) * layout->entrySize;
  }
  std::uint32_t recordOffset(std::int32_t i) const;
  std::string_view key(std::int32_t i) const;  // text keys
  std::int32_t orderNumber(std::int32_t i) const;
};

// The header of an open index, clamped to the entries the file really holds
// (a damaged header never makes a reader run past the end); -1 when empty.
// A file too short to hold a header is empty; false when the header is there
// but cannot be read.
bool ReadLastIndex(const IndexLayout& layout, platform::File& index, std::int32_t& last);
// The same for readers that only list: a header that cannot be read lists
// nothing (-1). Nothing that writes may use it.
std::int32_t ReadLastIndex(const IndexLayout& layout, platform::File& index);

// Compares an entry with a key entry under the index's order.
int CompareEntries(const IndexLayout& layout, const std::uint8_t* a, const std::uint8_t* b);

// The insertion probe: the position a new entry with `key` lands on among
// the n sorted entries (equal keys go next to their equals).
std::int32_t InsertionPosition(const IndexBlock& block, const std::uint8_t* key);

// One pass over another file that follows a record to its new offset after
// its key changed: points every reference to `from` at `to` (whose index
// entry is `toEntry`) and sets `changed` once it wrote anything. Run from the
// new offset back to the old one it undoes itself, because nothing referred
// to the freshly appended record before.
struct ReferencePass {
  const char* what;  // for messages: "die Rabatte (RABATT.DAT)"
  std::function<int(std::uint32_t from, std::uint32_t to, const std::uint8_t* toEntry,
                    bool& changed)>
      run;
};

class IndexedFile {
 public:
  using RecordTest = std::function<bool(std::span<const std::uint8_t> record)>;

  IndexedFile(frame::AppState& app, const IndexLayout& layout, std::int32_t& lastIndex,
              std::int32_t& currentPosition, std::span<std::uint8_t> currentEntry);

  int DeleteIndexEntry(std::int32_t& position);
  // The same in the open, exclusively held index read as `block`. The slot
  // behind the new count is given a copy of the last entry, so that no
  // entry beyond the count names the record taken out.
  int DeleteEntry(platform::File& index, const IndexBlock& block, std::int32_t position);
  // A new record is inserted. A rewrite whose key is equal under the
  // collation stays in place (the entry takes the key's new letter case); a
  // changed key appends the record, moves its entry in one write of the index
  // and then runs the reference passes. When a pass fails, the passes that
  // wrote are undone, the old entry is put back, the user is told what could
  // not be updated and the result is 0.
  int WriteRecord(std::span<std::uint8_t> record, std::int32_t& position, bool isNew);
  int ReadRecordAt(std::span<std::uint8_t> record, std::int32_t position);
  int ScanRecords(std::span<const std::uint8_t> criteria, const RecordTest& test,
                  std::int32_t& position, bool forward);
  // 1 when another entry holds exactly the record's key, 0 when none does,
  // -1 when the index could not be read (a caller must not store then).
  int KeyInUse(std::span<const std::uint8_t> record, bool isNew);
  int LookupKey(std::span<const std::uint8_t> record, std::int32_t& position);
  // The entry filed under exactly the record's key (1). The collation sets
  // "Meier" and "meier" side by side as equals, and LookupKey takes whichever
  // it meets first; they are different records. Without an exact key the
  // result is 0, with the positions of the keys equal under the collation in
  // `alike` (for the caller to choose from, or to list).
  int LookupExactKey(std::span<const std::uint8_t> record, std::int32_t& position,
                     std::vector<std::int32_t>* alike = nullptr);
  // Changes the record filed under exactly the key of `record` where it is
  // stored now: the index is held from the lookup to the write, so the record
  // neither moves nor changes its key meanwhile, and `change` works on the
  // record as the file holds it, so what another copy wrote since it was read
  // is kept. The record keeps its place and its stored length. 1 when done,
  // -1 when no entry has the key any more, 0 when `change` refused or a file
  // could not be opened, read or written.
  int ChangeRecord(std::span<const std::uint8_t> record,
                   const std::function<bool(std::span<std::uint8_t> stored)>& change);

  // Reads the header and the entries (clamped to what the file holds) of an
  // open index file; false, with the block empty, when a read failed.
  bool ReadIndex(platform::File& index, IndexBlock& block);
  // For an insert into the open, exclusively held index read as `block`:
  // RefuseWhenFull tells the user and returns true when no entry fits any
  // more; NextRecordOffset is where the new record goes (0 into an empty
  // index, else the end of the record file); InsertEntry puts `entry` (its
  // record offset already set) in its place and returns that position.
  bool RefuseWhenFull(const IndexBlock& block);
  bool NextRecordOffset(const IndexBlock& block, std::uint32_t& offset);
  int InsertEntry(platform::File& index, const IndexBlock& block,
                  std::span<const std::uint8_t> entry, std::int32_t& position);
  // Takes the entry at `position` out and puts `entry` in its place in the
  // order, in one replacement of the index; false when that failed.
  bool ReplaceEntry(platform::File& index, const IndexBlock& block, std::int32_t position,
                    std::span<const std::uint8_t> entry, std::int32_t& newPosition) {
    return replaceEntry(index, block, position, entry, newPosition);
  }

  std::vector<ReferencePass> referencePasses;

  // Run at start: carries through the move of a record whose copy was
  // killed on the way (its entry, then the reference passes, all of which
  // find done what was done before). 1 when nothing is left to do or
  // another copy is still at it, 0 when a file failed (the journal stays).
  int FinishInterruptedMove();

 private:
  bool readAll(IndexBlock& block);
  int insertRecord(platform::File& index, const IndexBlock& block, std::span<std::uint8_t> record,
                   std::int32_t& position);
  int rewriteInPlace(platform::File& index, std::span<std::uint8_t> record, std::int32_t position,
                     std::span<const std::uint8_t> entry, std::span<const std::uint8_t> newEntry);
  int moveRecord(platform::File& index, const IndexBlock& block, std::span<std::uint8_t> record,
                 std::int32_t& position, std::span<const std::uint8_t> newEntry);
  bool writeRecordAt(std::uint32_t offset, std::span<std::uint8_t> record, std::size_t length);
  // Takes the entry at `position` out and puts `entry` in its place in the
  // order, in one write of the changed stretch (the count stays).
  bool replaceEntry(platform::File& index, const IndexBlock& block, std::int32_t position,
                    std::span<const std::uint8_t> entry, std::int32_t& newPosition);
  // Runs the reference passes; on a failure undoes them and puts `oldEntry`
  // back in place of `newEntry`, tells the user and returns false.
  bool followReferences(std::span<const std::uint8_t> oldEntry,
                        std::span<const std::uint8_t> newEntry, std::int32_t& position,
                        bool* undone = nullptr);
  // The journal of a record that moves to another offset: written (under a
  // draft name, then renamed) before its entry moves, held while the
  // references follow, removed once they all did or all were taken back.
  std::string moveJournalName() const;
  platform::File beginMove(std::uint32_t from, std::uint32_t to);
  // Whether a journal found at the start names a move this directory holds:
  // both offsets on records inside the record file, the record at `to`
  // appended whole behind the one at `from`, and the index pointing at
  // exactly one of them. Empty when it does (`moved` then holds the moved
  // entry); else why not, for the message.
  std::string checkMove(platform::File& data, const IndexBlock& block, std::uint32_t from,
                        std::uint32_t to, std::vector<std::uint8_t>& moved);
  void endMove(platform::File& journal);
  bool putEntryBack(std::span<const std::uint8_t> newEntry, std::span<const std::uint8_t> oldEntry,
                    std::int32_t& position);
  void setLastIndex(std::int32_t last);
  // Puts `newTail` from entry `from` on and the header `newLast` in place of
  // the open index, which then holds the new file; false, with the index as
  // it was, when that failed.
  bool replaceTail(platform::File& index, std::int32_t from, std::span<const std::uint8_t> newTail,
                   std::int32_t newLast);
  std::string replacementName() const;
  void makeEntry(std::span<const std::uint8_t> record, std::uint8_t* entry) const;

  frame::AppState& app_;
  const IndexLayout& layout_;
  std::int32_t& lastIndex_;
  std::int32_t& currentPosition_;
  std::span<std::uint8_t> currentEntry_;
};

// The IndexedFile of each instance, bound to its AppState cursor.
IndexedFile ArticleFile(frame::AppState& app);
IndexedFile AddressFile(frame::AppState& app);
IndexedFile OrderFile(frame::AppState& app);

}  // namespace store

#endif  // BELVON_STORE_INDEXED_FILE_H
