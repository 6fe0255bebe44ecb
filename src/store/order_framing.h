// Reading an order out of "RECHNUNG.DAT": the head, then its lines one after
// another, each starting where the previous one's stored length ends.
// Layout: doc/formats/order-file.md.
#ifndef BELVON_STORE_ORDER_FRAMING_H
#define BELVON_STORE_ORDER_FRAMING_H

#include <cstdint>
#include <functional>
#include <span>

#include "platform/file.h"
#include "store/order_record.h"

namespace store {

// Reads the head at `offset` (at most 80 bytes over `head` as it stands).
// Returns false when it cannot be read whole: not even its length, or fewer
// bytes than its length promises before the end of the file. `failed`, when
// given, tells a read that failed from an offset past the end of the file.
bool ReadOrderHead(platform::File& data, std::uint32_t offset, OrderHead& head,
                   bool* failed = nullptr);

// Reads lines 1 .. head.lineCount into lines[1 ..] (lines[0] is the line
// being edited and stays as it is), each slot cleared first. A count beyond
// the table, a length that cannot frame a line or a line cut short by the end
// of the file stop the walk; so does a read that fails, which sets `failed`
// when given. Returns the number of whole lines read: an order is whole only
// when that is its line count.
int ReadOrderLines(platform::File& data, std::uint32_t offset, const OrderHead& head,
                   std::span<OrderLine> lines, bool* failed = nullptr);

// Walks lines 1 .. head.lineCount of the order at `offset` as ReadOrderLines
// does, handing each line with its file offset and stored length to `visit`;
// when `visit` returns true the line is written back in place with its stored
// length (at most the line size); a line cut short by the end of the file is
// never written back. Returns false when a read or a write failed.
bool RewriteOrderLines(platform::File& data, std::uint32_t offset, const OrderHead& head,
                       const std::function<bool(OrderLine& line)>& visit);

}  // namespace store

#endif  // BELVON_STORE_ORDER_FRAMING_H
