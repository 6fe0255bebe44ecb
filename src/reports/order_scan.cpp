#include "reports/order_scan.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/value_check.h"

namespace reports {

namespace {

using platform::Access;
using platform::Share;

// A window onto a file that only moves forward; what lies before the
// window is read again only when asked for (never, in offset order).
class ForwardReader {
 public:
  explicit ForwardReader(platform::File& file) : file_(file) {}

  // Copies up to `n` bytes at `offset`; the number copied.
  std::size_t read(std::uint64_t offset, void* out, std::size_t n) {
    if (offset < start_ || offset + n > start_ + buffer_.size()) fill(offset, n);
    if (offset < start_ || offset >= start_ + buffer_.size()) return 0;
    const std::size_t available = static_cast<std::size_t>(start_ + buffer_.size() - offset);
    const std::size_t count = std::min(n, available);
    std::memcpy(out, buffer_.data() + (offset - start_), count);
    return count;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;

  void fill(std::uint64_t offset, std::size_t n) {
    buffer_.resize(std::max(kChunk, n));
    start_ = offset;
    std::size_t got = 0;
    if (file_.seek(offset)) got = file_.read(buffer_.data(), buffer_.size());
    buffer_.resize(got);
  }

  platform::File& file_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t start_ = 0;
};

bool HeadIsSound(const store::OrderHead& head) {
  const std::uint16_t length = head.length;
  const std::int16_t lines = head.lineCount;
  return length > store::kOrderDatePointOffset &&
         reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.' && lines >= 0 &&
         lines <= static_cast<std::int16_t>(store::kMaxOrderLines);
}

// Lines follow what was read of the head, each behind the stored length of
// the one before; a length that frames nothing ends the order.
int ReadLines(ForwardReader& reader, std::uint64_t offset, const store::OrderHead& head,
              std::vector<store::OrderLine>& lines) {
  const std::uint16_t headLength = head.length;
  std::uint64_t at = offset + std::min<std::uint64_t>(headLength, sizeof head);
  int read = 0;
  for (int i = 0; i < head.lineCount; ++i) {
    std::uint16_t length = 0;
    if (reader.read(at, &length, 2) != 2 || length < 2) break;
    store::OrderLine& line = lines[static_cast<std::size_t>(i)];
    const std::size_t want = std::min<std::size_t>(length, sizeof line);
    std::memset(static_cast<void*>(&line), 0, sizeof line);
    if (reader.read(at, &line, want) != want) break;
    at += length;
    ++read;
  }
  return read;
}

// The number (1 ..) of the first of `count` lines whose quantity no field
// can mean, 0 when there is none.
int FirstDamagedLine(const std::vector<store::OrderLine>& lines, int count) {
  for (int i = 0; i < count; ++i)
    if (!store::QuantityIsSound(lines[static_cast<std::size_t>(i)].quantity)) return i + 1;
  return 0;
}

}  // namespace

ScanResult ScanOrders(frame::AppState& app, bool withLines,
                      const std::function<void(const std::string&)>& reportDamaged,
                      const std::function<void(const ScannedOrder&)>& visit) {
  ScanResult result;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read, Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) return result;
  }
  const std::int32_t count = block.count;
  app.orders.lastIndex = count - 1;
  result.seen.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
  if (count <= 0) return result;
  std::vector<store::OrderIndexEntry> entries(static_cast<std::size_t>(count));
  std::memcpy(entries.data(), block.entry(0), entries.size() * sizeof(store::OrderIndexEntry));
  std::vector<std::int32_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
    return entries[a].offset < entries[b].offset;
  });

  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  if (!data) return result;
  ForwardReader reader(data);
  std::vector<store::OrderLine> lines(store::kMaxOrderLines);
  int shown = -1;
  for (std::int32_t n = 0; n < count; ++n) {
    const int percent = static_cast<int>((std::int64_t{n} + 1) * 100 / count);
    if (percent != shown || n % 256 == 0) {
      shown = percent;
      if (app.ui && app.ui->progress(percent)) {
        result.escaped = true;
        break;
      }
    }
    const std::int32_t position = order[static_cast<std::size_t>(n)];
    const store::OrderIndexEntry& entry = entries[static_cast<std::size_t>(position)];
    store::OrderHead head{};
    const std::uint32_t offset = entry.offset;
    std::uint16_t length = 0;
    bool readable = reader.read(offset, &length, 2) == 2;
    if (readable) {
      const std::size_t want = std::min<std::size_t>(length, sizeof head);
      readable = want >= 2 && reader.read(offset, &head, want) == want;
    }
    // An order is listed whole or not at all: one whose lines are not all
    // there would add up to less than it is.
    const int read = readable && HeadIsSound(head) && withLines
                         ? ReadLines(reader, offset, head, lines) : 0;
    if (!readable || !HeadIsSound(head) || (withLines && read != head.lineCount)) {
      if (reportDamaged)
        reportDamaged(frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.",
                                    static_cast<long>(entry.orderNumber)));
      continue;
    }
    // Nor is a quantity that no field can mean printed or added up.
    const int damaged = FirstDamagedLine(lines, read);
    if (damaged > 0) {
      if (reportDamaged)
        reportDamaged(store::DamagedQuantityText(entry.orderNumber, damaged,
                                                 "Der Auftrag wird nicht mitgezählt."));
      continue;
    }
    result.seen[static_cast<std::size_t>(position)] = 1;
    visit(ScannedOrder{position, entry, head,
                       std::span<const store::OrderLine>(lines.data(), static_cast<std::size_t>(read))});
  }
  return result;
}

struct CustomerBook::Impl {
  frame::AppState& app;
  platform::File file;
  bool opened = false;
  std::unordered_map<std::int32_t, store::AddressRecord> read;
  store::AddressRecord empty{};
};

CustomerBook::CustomerBook(frame::AppState& app) : impl_(new Impl{app, {}, false, {}, {}}) {}

CustomerBook::~CustomerBook() { delete impl_; }

const store::AddressRecord& CustomerBook::at(std::int32_t reference) {
  if (reference < 0) return impl_->empty;
  auto found = impl_->read.find(reference);
  if (found != impl_->read.end()) return found->second;
  if (!impl_->opened) {
    impl_->opened = true;
    impl_->file = store::OpenData(impl_->app, store::kAddressDataName, Access::Read, Share::DenyWrite);
  }
  store::AddressRecord& address = impl_->read[reference];
  address = store::AddressRecord{};
  if (impl_->file)
    store::ReadFramedRecord(impl_->file, static_cast<std::uint64_t>(reference),
                            std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(&address),
                                                    sizeof address),
                            true);
  return address;
}

}  // namespace reports
