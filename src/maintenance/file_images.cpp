#include "maintenance/file_images.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "store/bytes.h"
#include "store/data_file.h"
#include "store/file_replacement.h"
#include "store/text_field.h"

namespace maintenance {

using store::Load;
using store::Store;

bool ReadWhole(platform::File& file, Bytes& bytes) {
  std::int64_t size = file.size();
  if (size < 0 || !file.seek(0)) return false;
  bytes.assign(static_cast<std::size_t>(size), 0);
  return file.read(bytes.data(), bytes.size()) == bytes.size();
}

IndexImage MakeIndexImage(const store::IndexLayout& layout, Bytes bytes) {
  IndexImage image;
  image.layout = &layout;
  image.bytes = std::move(bytes);
  std::int64_t last = -1;
  if (image.bytes.size() >= static_cast<std::size_t>(layout.headerSize))
    last = layout.headerSize == 4 ? Load<std::int32_t>(image.bytes.data())
                                  : Load<std::int16_t>(image.bytes.data());
  std::int64_t held =
      image.bytes.size() < static_cast<std::size_t>(layout.headerSize)
          ? 0
          : static_cast<std::int64_t>((image.bytes.size() - layout.headerSize) / layout.entrySize);
  image.count = static_cast<std::int32_t>(std::clamp<std::int64_t>(last + 1, 0, held));
  return image;
}

Bytes IndexBytes(const store::IndexLayout& layout, std::int32_t count, const Bytes& entries) {
  Bytes bytes(static_cast<std::size_t>(layout.headerSize), 0);
  if (layout.headerSize == 4)
    Store<std::int32_t>(bytes.data(), count - 1);
  else
    Store<std::int16_t>(bytes.data(), static_cast<std::int16_t>(count - 1));
  bytes.insert(bytes.end(), entries.begin(),
               entries.begin() + static_cast<std::ptrdiff_t>(count * layout.entrySize));
  return bytes;
}

bool ReadIndexImage(platform::File& file, const store::IndexLayout& layout, IndexImage& image) {
  const std::int64_t size = file.size();
  if (size < 0) return false;
  const std::size_t headerSize = static_cast<std::size_t>(layout.headerSize);
  Bytes header(headerSize, 0);
  if (static_cast<std::uint64_t>(size) >= headerSize &&
      (!file.seek(0) || !file.readExact(header.data(), headerSize)))
    return false;
  if (static_cast<std::uint64_t>(size) < headerSize) header.clear();
  image = MakeIndexImage(layout, std::move(header));
  const std::int64_t last = image.bytes.empty()           ? -1
                            : layout.headerSize == 4 ? Load<std::int32_t>(image.bytes.data())
                                                     : Load<std::int16_t>(image.bytes.data());
  const std::uint64_t held =
      static_cast<std::uint64_t>(size) < headerSize
          ? 0
          : (static_cast<std::uint64_t>(size) - headerSize) / layout.entrySize;
  image.count = static_cast<std::int32_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max<std::int64_t>(last + 1, 0)), held));
  image.bytes.resize(headerSize + static_cast<std::size_t>(image.count) * layout.entrySize);
  return image.count == 0 || file.readExact(image.bytes.data() + headerSize,
                                            image.bytes.size() - headerSize);
}

bool CopyWithPatches(frame::AppState& app, platform::File& source, const std::string& temporary,
                     const Patches& patches) {
  platform::File out = store::OpenDataOnce(app, temporary.c_str(), platform::Access::Write,
                                           platform::Share::Exclusive,
                                           platform::Disposition::CreateAlways);
  const std::int64_t size = source.size();
  if (!out || size < 0) return false;
  const std::uint64_t end = static_cast<std::uint64_t>(size);
  Bytes piece(std::size_t{1} << 20);
  for (std::uint64_t at = 0; at < end;) {
    // A hole of the source stays a hole (no patch lies in one: patches are
    // made from records that were read).
    const std::uint64_t data = source.dataFrom(at);
    const auto patch = patches.lower_bound(at);
    const std::uint64_t next = std::min(data, patch == patches.end() ? end : patch->first);
    if (next > at) {
      at = std::min(next, end);
      continue;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), end - at));
    if (!source.seek(at) || source.read(piece.data(), n) != n) return false;
    for (auto p = patches.lower_bound(at < 3 ? 0 : at - 3); p != patches.end() && p->first < at + n;
         ++p) {
      std::uint8_t bytes[4];
      Store<std::int32_t>(bytes, p->second);
      for (std::uint64_t b = 0; b < 4; ++b)
        if (p->first + b >= at && p->first + b < at + n) piece[p->first + b - at] = bytes[b];
    }
    const bool zeros = std::all_of(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(n),
                                   [](std::uint8_t byte) { return byte == 0; });
    if (!zeros && (!out.seek(at) || !out.write(piece.data(), n))) return false;
    at += n;
  }
  return out.truncate(end) && out.sync();
}

void ForEachLine(FileWindow& data, std::uint32_t head, const OrderFraming& framing,
                 const std::function<void(std::uint64_t at, std::uint16_t length)>& visit) {
  std::uint16_t headLength = 0;
  std::int16_t count = 0;
  if (!data.read(head, &headLength, 2) || headLength < 26 || !data.read(head + 24, &count, 2))
    return;
  std::uint64_t at = head + std::min<std::size_t>(headLength, framing.headSize);
  for (int i = 1; i <= count; ++i) {
    std::uint16_t length = 0;
    if (!data.read(at, &length, 2) || length < 2) return;
    visit(at, length);
    at += length;
  }
}

namespace {

// The map's new offset for `ref`, or false.
bool Mapped(const OffsetMap& map, std::int32_t ref, std::int32_t& to) {
  auto found = map.find(static_cast<std::uint32_t>(ref));
  if (found == map.end()) return false;
  to = static_cast<std::int32_t>(found->second);
  return true;
}

int Percent(int from, int span, std::int32_t k, std::int32_t count) {
  return from + static_cast<int>(static_cast<std::int64_t>(span) * std::min(k + 2, count) /
                                 std::max(count, 1));
}

}  // namespace

bool RewriteDiscounts(frame::AppState& app, platform::File& discounts, std::size_t field,
                      const OffsetMap& map, const std::string& temporary) {
  platform::File out = store::OpenDataOnce(app, temporary.c_str(), platform::Access::Write,
                                           platform::Share::Exclusive,
                                           platform::Disposition::CreateAlways);
  if (!out) return false;
  FileWindow in(discounts);
  Bytes kept;
  std::uint8_t entry[10];
  for (std::uint64_t at = 0; at + 10 <= in.size(); at += 10) {
    // Entries in a hole are all zero (no discount): passed over unread.
    if (const std::uint64_t data = in.skipHole(at); data >= at + 10) {
      at += (data - at) / 10 * 10 - 10;
      continue;
    }
    if (!in.read(at, entry, 10)) return false;
    const std::int32_t ref = Load<std::int32_t>(entry + field);
    std::int32_t to = ref;
    if (Load<std::int16_t>(entry + 8) == 0 || (ref >= 0 && !Mapped(map, ref, to))) continue;
    Store<std::int32_t>(entry + field, to);
    kept.insert(kept.end(), entry, entry + 10);
    if (kept.size() >= (std::size_t{1} << 16)) {
      if (!out.write(kept.data(), kept.size())) return false;
      kept.clear();
    }
  }
  return !in.failed() && (kept.empty() || out.write(kept.data(), kept.size())) && out.sync();
}

void RewriteLineArticles(FileWindow& orderData, IndexImage& orders, const OrderFraming& framing,
                         const OffsetMap& map, const KeptNumbers* numbers,
                         const std::function<void(int percent)>& progress, Patches& patches) {
  std::set<std::uint32_t> done;  // two entries of one order must not map it twice
  for (std::int32_t k = 0; k < orders.count; ++k) {
    if (progress) progress(Percent(20, 80, k, orders.count));
    std::uint32_t head = orders.recordOffset(k);
    if (!done.insert(head).second) continue;
    ForEachLine(orderData, head, framing, [&](std::uint64_t at, std::uint16_t length) {
      const std::uint64_t field = at + framing.lineArticleRef;
      std::int32_t from = 0;
      if (length < framing.lineArticleRef + 4 || !orderData.read(field, &from, 4)) return;
      std::int32_t to = -1;
      char number[22] = {};
      if (!Mapped(map, from, to) && numbers && length >= kCurrentOrders.lineSize &&
          orderData.read(at + 10, number, sizeof number)) {
        auto kept = numbers->find(std::string(store::GetText(number, sizeof number)));
        if (kept != numbers->end()) to = static_cast<std::int32_t>(kept->second);
      }
      patches[field] = to;
    });
  }
}

void RewriteOrderCustomers(frame::AppState& app, FileWindow& orderData, IndexImage& orders,
                           const std::function<void(int percent)>& progress,
                           const OffsetMap& map, Patches& patches) {
  std::unordered_map<std::uint32_t, std::int32_t> done;  // head offset -> its new reference
  for (std::int32_t k = 0; k < orders.count; ++k) {
    if (progress) progress(Percent(10, 90, k, orders.count));
    std::uint8_t* entry = orders.entry(k);
    const std::uint32_t head = orders.recordOffset(k);
    auto seen = done.find(head);
    if (seen != done.end()) {
      Store<std::int32_t>(entry, seen->second);
      continue;
    }
    std::uint8_t bytes[10] = {};
    const bool headThere = orderData.read(head, bytes, sizeof bytes) && Load<std::uint16_t>(bytes) >= 10;
    const std::int32_t entryRef = Load<std::int32_t>(entry);
    const std::int32_t headRef = headThere ? Load<std::int32_t>(bytes + 2) : entryRef;
    std::int32_t to = -1;
    if (!Mapped(map, headRef, to) && entryRef >= 0 && app.ui) {
      char text[120];
      std::snprintf(text, sizeof text,
                    "Auftrag %8ld hat keine Adresse mehr!\nDer Auftrag wird entsprechend markiert.",
                    static_cast<long>(headThere ? Load<std::int32_t>(bytes + 6)
                                                : Load<std::int32_t>(entry + 4)));
      app.ui->message(text, frame::Icon::Stop);
    }
    if (headThere) patches[head + 2] = to;
    Store<std::int32_t>(entry, to);
    done[head] = to;
  }
}

Replacement::~Replacement() {
  if (committed_) return;
  for (const auto& [from, to] : swaps_)
    if (!to.empty()) app_.fileSystem->remove(app_.path(from.c_str()));
}

bool Replacement::write(const std::string& temporary, const std::string& target,
                        const Bytes& bytes) {
  swaps_.push_back({temporary, target});
  return store::WriteWholeFile(app_, temporary, bytes);
}

bool Replacement::add(const std::string& temporary, const std::string& target,
                      const std::function<bool()>& write) {
  swaps_.push_back({temporary, target});
  return write();
}

int Replacement::commit() {
  std::vector<store::FileSwap> swaps;
  for (const auto& [from, to] : swaps_) swaps.push_back({from, to});
  committed_ = store::ReplaceFiles(app_, swaps) == 1;
  return committed_ ? 1 : 0;
}

std::string NotWrittenText(const frame::AppState& app) {
  return "Die neuen Dateien konnten nicht geschrieben werden: " +
         store::WriteFailureCause(app.fileSystem->lastError()) + ".\nEs wurde nichts verändert.";
}

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

}  // namespace maintenance
