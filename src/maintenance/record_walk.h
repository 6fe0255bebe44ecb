// Walking a record file and its index in pieces, so that neither is ever
// read whole: the structure test and the repair of the indexes both see the
// files through this.
//
// A record file is walked by the length fields of its records (an order head
// is followed by its lines). Where the chain breaks (a length that frames
// nothing, bytes that were never a record), the walk looks further on for
// the next place that starts a whole record as this program writes them, and
// notes the stretch it could not read.
#ifndef BELVON_MAINTENANCE_RECORD_WALK_H
#define BELVON_MAINTENANCE_RECORD_WALK_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "store/indexed_file.h"

namespace maintenance {

// Reads an open file through a window of bounded size.
class FileWindow {
 public:
  explicit FileWindow(platform::File& file);
  std::uint64_t size() const { return size_; }
  // n bytes at `at` into `out`; false past the end or when a read failed.
  bool read(std::uint64_t at, void* out, std::size_t n);
  // The first offset >= `from` and < `to` holding `byte`, or `to`. Holes of
  // a sparse file are passed over without reading them.
  std::uint64_t find(std::uint64_t from, std::uint64_t to, std::uint8_t byte);
  // `at`, or where data begins when `at` lies in a hole outside the window.
  std::uint64_t skipHole(std::uint64_t at);
  bool failed() const { return failed_; }

 private:
  bool load(std::uint64_t at);
  platform::File& file_;
  std::uint64_t size_ = 0;
  std::uint64_t start_ = 0;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
};

// One record as the walk found it: where it starts and ends (an order with
// its lines), and the index entry that would reach it.
struct WalkedRecord {
  std::uint64_t offset = 0;
  std::uint64_t end = 0;
  std::string key;                 // text key, or the order number as text
  std::int32_t customerRef = 0;    // orders
  std::int32_t orderNumber = 0;    // orders
};

struct UnreadableStretch {
  std::uint64_t from = 0;
  std::uint64_t to = 0;
};

struct RecordFileWalk {
  std::vector<WalkedRecord> records;  // ascending by offset
  std::vector<UnreadableStretch> unreadable;
  const WalkedRecord* at(std::uint64_t offset) const;  // the record starting there
};

// The least length a record of `layout` must have to carry its key (an
// order head its line count).
std::size_t MinimumRecordLength(const store::IndexLayout& layout);

// The record of `layout` starting at `at`, whole (an order with all its
// lines); false when none does.
bool FrameRecord(const store::IndexLayout& layout, FileWindow& data, std::uint64_t at,
                 WalkedRecord& record);

// Walks the whole record file; false when a read failed.
bool WalkRecordFile(const store::IndexLayout& layout, FileWindow& data, RecordFileWalk& walk);

// Takes a whole record that an index entry reaches with its key but the walk
// passed by (it lies in a stretch the walk could not read) into the walk.
void AddRecordAt(const store::IndexLayout& layout, FileWindow& data, const std::uint8_t* entry,
                 RecordFileWalk& walk);

// The index key of a record as a text (orders: the number), for comparing
// keys exactly.
std::string EntryKey(const store::IndexLayout& layout, const std::uint8_t* entry);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_RECORD_WALK_H
