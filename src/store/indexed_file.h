// A record file (".DAT") with its sorted index (".IDX").
//
// Layout: doc/formats/index-files.md. One implementation serves articles,
// addresses and orders; the instances differ only in an IndexLayout.
//
// Every operation opens the files it needs, works and closes them before it
// returns, re-reads the index header and leaves the count in the AppState
// cursor of its file. Results follow the program's convention: 1 = done,
// 0 = not done (nothing changed).
#ifndef BELVON_STORE_INDEXED_FILE_H
#define BELVON_STORE_INDEXED_FILE_H

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "frame/app_state.h"
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
};

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
std::int32_t ReadLastIndex(const IndexLayout& layout, platform::File& index);

// Compares an entry with a key entry under the index's order.
int CompareEntries(const IndexLayout& layout, const std::uint8_t* a, const std::uint8_t* b);

// The insertion probe: the position a new entry with `key` lands on among
// the n sorted entries (equal keys go next to their equals).
std::int32_t InsertionPosition(const IndexBlock& block, const std::uint8_t* key);

class IndexedFile {
 public:
  // Called after a record moved to `newOffset` because its key changed, so
  // that every reference to `oldOffset` can be rewritten.
  using MovedHook = std::function<void(std::uint32_t oldOffset, std::uint32_t newOffset,
                                       const std::uint8_t* newEntry)>;
  using RecordTest = std::function<bool(std::span<const std::uint8_t> record)>;

  IndexedFile(frame::AppState& app, const IndexLayout& layout, std::int32_t& lastIndex,
              std::int32_t& currentPosition, std::span<std::uint8_t> currentEntry);

  int DeleteIndexEntry(std::int32_t& position);
  int WriteRecord(std::span<std::uint8_t> record, std::int32_t& position, bool isNew);
  int ReadRecordAt(std::span<std::uint8_t> record, std::int32_t position);
  int ScanRecords(std::span<const std::uint8_t> criteria, const RecordTest& test,
                  std::int32_t& position, bool forward);
  int KeyInUse(std::span<const std::uint8_t> record, bool isNew);
  int LookupKey(std::span<const std::uint8_t> record, std::int32_t& position);

  // Reads the header and the entries (clamped to what the file holds) of an
  // open index file.
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

  MovedHook onRecordMoved;

 private:
  bool readAll(IndexBlock& block);
  void setLastIndex(std::int32_t last);
  bool writeHeader(platform::File& index, std::int32_t last);
  // Writes `newTail` from entry `from` on and then the header `newLast`; when
  // either write fails, `oldTail` is put back and false returned.
  bool replaceTail(platform::File& index, std::int32_t from, std::span<const std::uint8_t> newTail,
                   std::span<const std::uint8_t> oldTail, std::int32_t newLast);
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
