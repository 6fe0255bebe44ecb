#include "maintenance/record_walk.h"

#include <algorithm>
#include <cstring>

#include "store/bytes.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using store::Load;

constexpr std::size_t kWindow = std::size_t{1} << 20;
constexpr std::size_t kLineCountAt = 24;

}  // namespace

FileWindow::FileWindow(platform::File& file) : file_(file) {
  const std::int64_t size = file.size();
  failed_ = size < 0;
  size_ = size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

bool FileWindow::load(std::uint64_t at) {
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - at));
  buffer_.resize(n);
  start_ = at;
  if (!file_.seek(at) || file_.read(buffer_.data(), n) != n) {
    buffer_.clear();
    failed_ = true;
    return false;
  }
  return true;
}

bool FileWindow::read(std::uint64_t at, void* out, std::size_t n) {
  if (at > size_ || n > size_ - at || n > kWindow) return false;
  if (at < start_ || at + n > start_ + buffer_.size())
    if (!load(at)) return false;
  std::memcpy(out, buffer_.data() + (at - start_), n);
  return true;
}

std::uint64_t FileWindow::find(std::uint64_t from, std::uint64_t to, std::uint8_t byte) {
  to = std::min(to, size_);
  while (from < to) {
    if (from < start_ || from >= start_ + buffer_.size()) {
      const std::uint64_t data = skipHole(from);
      if (data > from) {
        if (byte == 0) return from;
        from = data;
        continue;
      }
      if (!load(from)) return to;
    }
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(to, start_ + buffer_.size()) - from);
    const std::uint8_t* begin = buffer_.data() + (from - start_);
    if (const void* hit = std::memchr(begin, byte, n))
      return from + static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) - begin);
    from += n;
  }
  return to;
}

std::uint64_t FileWindow::skipHole(std::uint64_t at) {
  if (at >= start_ && at < start_ + buffer_.size()) return at;
  return std::min(file_.dataFrom(at), size_);
}

const WalkedRecord* RecordFileWalk::at(std::uint64_t offset) const {
  auto found = std::lower_bound(records.begin(), records.end(), offset,
                                [](const WalkedRecord& r, std::uint64_t o) { return r.offset < o; });
  return found != records.end() && found->offset == offset ? &*found : nullptr;
}

std::size_t MinimumRecordLength(const store::IndexLayout& layout) {
  return layout.textKey ? static_cast<std::size_t>(layout.keyInRecord) + 1 : kLineCountAt + 2;
}

bool FrameRecord(const store::IndexLayout& layout, FileWindow& data, std::uint64_t at,
                 WalkedRecord& record) {
  std::uint8_t head[store::kOrderHeadSize > 1192 ? store::kOrderHeadSize : 1192] = {};
  std::uint16_t length = 0;
  if (!data.read(at, &length, 2) || length < MinimumRecordLength(layout) ||
      length > static_cast<std::size_t>(layout.recordSize) || length > data.size() - at)
    return false;
  const std::size_t headBytes = std::min<std::size_t>(length, layout.recordSize);
  if (!data.read(at, head, headBytes)) return false;
  record.offset = at;
  record.end = at + length;
  if (layout.textKey) {
    record.key = std::string(store::GetText(reinterpret_cast<const char*>(head) + layout.keyInRecord,
                                            std::min<std::size_t>(layout.keyWidth,
                                                                  headBytes - layout.keyInRecord)));
    return true;
  }
  const std::int16_t count = Load<std::int16_t>(head + kLineCountAt);
  if (count < 0 || static_cast<std::size_t>(count) > store::kMaxOrderLines) return false;
  record.customerRef = Load<std::int32_t>(head + 2);
  record.orderNumber = Load<std::int32_t>(head + 6);
  record.key = std::to_string(record.orderNumber);
  for (int i = 0; i < count; ++i) {
    std::uint16_t line = 0;
    if (!data.read(record.end, &line, 2) || line < 2 || line > store::kOrderLineSize ||
        line > data.size() - record.end)
      return false;
    record.end += line;
  }
  return true;
}

namespace {

// Where the chain breaks, a record is looked for only where one was written
// whole: its length field holds the full size and its key reads as text.
bool LooksWritten(const store::IndexLayout& layout, FileWindow& data, std::uint64_t at,
                  WalkedRecord& record) {
  std::uint8_t bytes[14] = {};
  if (!data.read(at, bytes, 2) || Load<std::uint16_t>(bytes) != layout.recordSize) return false;
  if (layout.textKey) {
    std::uint8_t first = 0;
    if (!data.read(at + layout.keyInRecord, &first, 1) || first < 0x20) return false;
  } else if (!data.read(at, bytes, sizeof bytes) || bytes[store::kOrderDatePointOffset] != '.') {
    return false;
  }
  return FrameRecord(layout, data, at, record);
}

}  // namespace

bool WalkRecordFile(const store::IndexLayout& layout, FileWindow& data, RecordFileWalk& walk) {
  const std::uint8_t low = static_cast<std::uint8_t>(layout.recordSize & 0xFF);
  WalkedRecord record;
  for (std::uint64_t at = 0; at < data.size();) {
    if (FrameRecord(layout, data, at, record)) {
      walk.records.push_back(record);
      at = record.end;
      continue;
    }
    std::uint64_t next = data.size();
    for (std::uint64_t p = data.find(at + 1, next, low); p < next; p = data.find(p + 1, next, low))
      if (LooksWritten(layout, data, p, record)) {
        next = p;
        break;
      }
    if (data.failed()) return false;
    if (!walk.unreadable.empty() && walk.unreadable.back().to == at)
      walk.unreadable.back().to = next;
    else
      walk.unreadable.push_back({at, next});
    at = next;
  }
  return !data.failed();
}

void AddRecordAt(const store::IndexLayout& layout, FileWindow& data, const std::uint8_t* entry,
                 RecordFileWalk& walk) {
  const std::uint64_t offset = Load<std::uint32_t>(entry + layout.offsetInEntry);
  WalkedRecord record;
  if (walk.at(offset) || !FrameRecord(layout, data, offset, record) ||
      record.key != EntryKey(layout, entry))
    return;
  auto place = std::lower_bound(
      walk.records.begin(), walk.records.end(), offset,
      [](const WalkedRecord& r, std::uint64_t o) { return r.offset < o; });
  walk.records.insert(place, record);
}

std::string EntryKey(const store::IndexLayout& layout, const std::uint8_t* entry) {
  if (layout.textKey)
    return std::string(store::GetText(reinterpret_cast<const char*>(entry), layout.keyWidth));
  return std::to_string(Load<std::int32_t>(entry + 4));
}

}  // namespace maintenance
