#include "maintenance/file_images.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "store/bytes.h"
#include "store/file_replacement.h"

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

void ForEachLine(const Bytes& data, std::uint32_t head, const OrderFraming& framing,
                 const std::function<void(std::size_t at, std::uint16_t length)>& visit) {
  if (std::size_t{head} + 26 > data.size()) return;
  std::uint16_t headLength = Load<std::uint16_t>(&data[head]);
  if (headLength < 26) return;
  const int count = Load<std::int16_t>(&data[head + 24]);
  std::size_t at = head + std::min<std::size_t>(headLength, framing.headSize);
  for (int i = 1; i <= count && at + 2 <= data.size(); ++i) {
    std::uint16_t length = Load<std::uint16_t>(&data[at]);
    if (length < 2) return;
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

void RewriteDiscounts(Bytes& discounts, std::size_t field, const OffsetMap& map) {
  for (std::size_t at = 0; at + 10 <= discounts.size(); at += 10) {
    std::int32_t to;
    if (Mapped(map, Load<std::int32_t>(&discounts[at + field]), to))
      Store<std::int32_t>(&discounts[at + field], to);
  }
}

void RewriteLineArticles(Bytes& orderData, IndexImage& orders, const OrderFraming& framing,
                         const OffsetMap& map, const std::function<void(int percent)>& progress) {
  std::set<std::uint32_t> done;  // two entries of one order must not map it twice
  for (std::int32_t k = 0; k < orders.count; ++k) {
    if (progress) progress(Percent(20, 80, k, orders.count));
    std::uint32_t head = orders.recordOffset(k);
    if (!done.insert(head).second) continue;
    ForEachLine(orderData, head, framing, [&](std::size_t at, std::uint16_t length) {
      std::size_t field = at + framing.lineArticleRef;
      if (length < framing.lineArticleRef + 4 || field + 4 > orderData.size()) return;
      std::int32_t to = -1;
      Mapped(map, Load<std::int32_t>(&orderData[field]), to);
      Store<std::int32_t>(&orderData[field], to);
    });
  }
}

void RewriteOrderCustomers(frame::AppState& app, Bytes& orderData, IndexImage& orders,
                           const OrderFraming& framing, const OffsetMap& map,
                           const std::function<void(int percent)>& progress) {
  (void)framing;
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
    const bool headThere =
        std::size_t{head} + 10 <= orderData.size() && Load<std::uint16_t>(&orderData[head]) >= 10;
    const std::int32_t entryRef = Load<std::int32_t>(entry);
    const std::int32_t headRef = headThere ? Load<std::int32_t>(&orderData[head + 2]) : entryRef;
    std::int32_t to = -1;
    if (!Mapped(map, headRef, to) && entryRef >= 0 && app.ui) {
      char text[120];
      std::snprintf(text, sizeof text,
                    "Auftrag %8ld hat keine Adresse mehr!\nDer Auftrag wird entsprechend markiert.",
                    static_cast<long>(headThere ? Load<std::int32_t>(&orderData[head + 6])
                                                : Load<std::int32_t>(entry + 4)));
      app.ui->message(text, frame::Icon::Stop);
    }
    if (headThere) Store<std::int32_t>(&orderData[head + 2], to);
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

int Replacement::commit() {
  std::vector<store::FileSwap> swaps;
  for (const auto& [from, to] : swaps_) swaps.push_back({from, to});
  committed_ = store::ReplaceFiles(app_, swaps) == 1;
  return committed_ ? 1 : 0;
}

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

}  // namespace maintenance
