#include "store/record_append.h"

namespace store {

bool WriteRecordBytes(platform::File& file, std::uint64_t offset, const void* bytes, std::size_t n) {
  const std::int64_t before = file.size();
  if (before < 0 || !file.seek(offset)) return false;
  if (file.write(bytes, n)) return true;
  const auto oldEnd = static_cast<std::uint64_t>(before);
  if (offset + n > oldEnd) file.truncate(oldEnd);
  return false;
}

}  // namespace store
