// Writing a record at the end of a record file without leaving half of it.
//
// A write that fails part way (a full disk writes what fits and then
// refuses the rest) leaves the bytes it got out at the end of the file,
// where every later append would stand behind them and `check` would read
// them as a damaged record. A write that reaches past the old end is
// therefore taken back to the old length when it fails.
#ifndef BELVON_STORE_RECORD_APPEND_H
#define BELVON_STORE_RECORD_APPEND_H

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace store {

// Writes `n` bytes at `offset`. When the write fails and would have grown
// the file, the file is cut back to the length it had before; a rewrite
// inside the file is left as the failed write left it. The caller holds the
// file so that nobody else appends meanwhile.
bool WriteRecordBytes(platform::File& file, std::uint64_t offset, const void* bytes, std::size_t n);

}  // namespace store

#endif  // BELVON_STORE_RECORD_APPEND_H
