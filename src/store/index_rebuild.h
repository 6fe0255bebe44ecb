// Building a lost index again from its record file.
//
// The records of a ".DAT" file are length-prefixed and lie one after another
// (an order head is followed by its lines), so the file can be walked from
// its start. Nothing in the record file says which records were deleted or
// replaced: for each key the record stored last (the one furthest into the
// file) is taken, and a record deleted earlier comes back with its key.
#ifndef BELVON_STORE_INDEX_REBUILD_H
#define BELVON_STORE_INDEX_REBUILD_H

#include <cstdint>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "platform/file.h"
#include "store/indexed_file.h"

namespace store {

// What a walk over a record file found.
struct RecordWalk {
  std::vector<std::uint8_t> entries;  // sorted index entries, one per key
  std::int32_t count = 0;
  // Where the walk stopped: the end of the file, or a record that cannot be
  // framed (a length below 2, a record running past the end, an order head
  // with an impossible line count), which ends what can be trusted.
  std::uint64_t walkedTo = 0;
  std::uint64_t fileSize = 0;
};

// Walks the open record file of `layout`; false when a read failed.
bool WalkRecords(const IndexLayout& layout, platform::File& data, RecordWalk& walk);

// Asks whether the index of `layout`, which is missing while its record file
// holds records, is to be built from the record file; on Yes builds it (under
// a temporary name, renamed into place once complete) and sets `lastIndex`.
// Returns 1 when the index is in place, 0 when nothing was written (the user
// said No, or the record file could not be read).
int OfferIndexRebuild(frame::AppState& app, const IndexLayout& layout, std::int32_t& lastIndex);

}  // namespace store

#endif  // BELVON_STORE_INDEX_REBUILD_H
