#include "store/order_framing.h"

#include <algorithm>

#include "store/bytes.h"
#include "store/data_file.h"

namespace store {

namespace {

// Whether every byte a record's length promises, as far as it is read into
// `room` bytes, lies in the file. A record cut short by the end of the file
// would otherwise be read with the tail of whatever the buffer held before.
bool ReadWhole(platform::File& data, std::uint64_t at, std::int32_t length, std::size_t room) {
  const std::int64_t size = data.size();
  return length >= 0 && size >= 0 &&
         at + std::min<std::uint64_t>(static_cast<std::uint64_t>(length), room) <=
             static_cast<std::uint64_t>(size);
}

std::uint64_t FirstLineOffset(std::uint32_t offset, const OrderHead& head) {
  // The first line follows what was read of the head.
  std::uint16_t length = head.length;
  return std::uint64_t{offset} + (length < sizeof head ? length : sizeof head);
}
}  // namespace

bool ReadOrderHead(platform::File& data, std::uint32_t offset, OrderHead& head, bool* failed) {
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&head), sizeof head);
  std::int32_t length = ReadFramedRecord(data, offset, bytes, false);
  if (failed) *failed = length == kReadFailed;
  return ReadWhole(data, offset, length, sizeof head);
}

int ReadOrderLines(platform::File& data, std::uint32_t offset, const OrderHead& head,
                   std::span<OrderLine> lines, bool* failed) {
  if (failed) *failed = false;
  std::uint16_t headLength = head.length;
  if (headLength < 2) return 0;
  std::uint64_t at = FirstLineOffset(offset, head);
  const int count = head.lineCount;
  int read = 0;
  for (int i = 1; i <= count && static_cast<std::size_t>(i) < lines.size(); ++i) {
    // Cleared first: a shorter line never shows the tail of another order's.
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&lines[i]), sizeof(OrderLine));
    std::int32_t length = ReadFramedRecord(data, at, bytes, true);
    if (length == kReadFailed && failed) *failed = true;
    if (length < 2 || !ReadWhole(data, at, length, sizeof(OrderLine))) break;
    at += static_cast<std::uint64_t>(length);
    ++read;
  }
  return read;
}

bool RewriteOrderLines(platform::File& data, std::uint32_t offset, const OrderHead& head,
                       const std::function<bool(OrderLine& line)>& visit) {
  if (head.length < 2) return true;
  std::uint64_t at = FirstLineOffset(offset, head);
  OrderLine line{};
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&line), sizeof line);
  for (int i = 1; i <= head.lineCount; ++i) {
    std::int32_t length = ReadFramedRecord(data, at, bytes, true);
    if (length == kReadFailed) return false;
    if (length < 2 || !ReadWhole(data, at, length, sizeof line)) break;
    if (visit(line)) {
      std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), sizeof line);
      if (!data.seek(at) || !data.write(&line, n)) return false;
    }
    at += static_cast<std::uint64_t>(length);
  }
  return true;
}

}  // namespace store
