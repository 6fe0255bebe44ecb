#include "store/order_framing.h"

#include "store/bytes.h"
#include "store/data_file.h"

namespace store {

bool ReadOrderHead(platform::File& data, std::uint32_t offset, OrderHead& head) {
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&head), sizeof head);
  return ReadFramedRecord(data, offset, bytes, false) >= 0;
}

int ReadOrderLines(platform::File& data, std::uint32_t offset, const OrderHead& head,
                   std::span<OrderLine> lines) {
  std::uint16_t headLength = head.length;
  if (headLength < 2) return 0;
  // The first line follows what was read of the head.
  std::uint64_t at = std::uint64_t{offset} + (headLength < sizeof head ? headLength : sizeof head);
  const int count = head.lineCount;
  int read = 0;
  for (int i = 1; i <= count && static_cast<std::size_t>(i) < lines.size(); ++i) {
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&lines[i]), sizeof(OrderLine));
    std::int32_t length = ReadFramedRecord(data, at, bytes, false);
    if (length < 2) break;
    at += static_cast<std::uint64_t>(length);
    ++read;
  }
  return read;
}

}  // namespace store
