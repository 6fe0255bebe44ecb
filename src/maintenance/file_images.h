// The data files of a rebuild, changed only under a temporary name, so that
// the files on the disk are never touched before the replacement commits.
// The record files are read in pieces and copied with their changes
// (patches) applied; only the counted part of an index is held in memory.
#ifndef BELVON_MAINTENANCE_FILE_IMAGES_H
#define BELVON_MAINTENANCE_FILE_IMAGES_H

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/app_state.h"
#include "core/user_interface.h"
#include "maintenance/record_walk.h"
#include "platform/file.h"
#include "store/indexed_file.h"

namespace maintenance {

using Bytes = std::vector<std::uint8_t>;
// Old record offset -> new record offset of every record a rebuild kept.
using OffsetMap = std::unordered_map<std::uint32_t, std::uint32_t>;

// The whole of an open file; false when a read failed.
bool ReadWhole(platform::File& file, Bytes& bytes);

// An index file in memory: its header, clamped to the entries it holds.
struct IndexImage {
  const store::IndexLayout* layout = nullptr;
  Bytes bytes;
  std::int32_t count = 0;

  std::uint8_t* entry(std::int32_t i) {
    return bytes.data() + layout->headerSize + static_cast<std::size_t>(i) * layout->entrySize;
  }
  std::uint32_t recordOffset(std::int32_t i) {
    std::uint32_t offset;
    std::memcpy(&offset, entry(i) + layout->offsetInEntry, 4);
    return offset;
  }
};
IndexImage MakeIndexImage(const store::IndexLayout& layout, Bytes bytes);
// The header and the entries it counts of an open index (no stale entries
// behind them); false when a read failed.
bool ReadIndexImage(platform::File& file, const store::IndexLayout& layout, IndexImage& image);

// File offset -> the 4 bytes (little-endian) to be written there.
using Patches = std::map<std::uint64_t, std::int32_t>;
// Writes `temporary` (flushed) as a copy of the open `source` with the
// patches applied, in pieces; stretches of zeros stay holes.
bool CopyWithPatches(frame::AppState& app, platform::File& source, const std::string& temporary,
                     const Patches& patches);
// A header followed by `count` entries of `entries`.
Bytes IndexBytes(const store::IndexLayout& layout, std::int32_t count, const Bytes& entries);

// Where the fields of an order lie: the current layout, or the previous one
// whose heads and lines were shorter.
struct OrderFraming {
  std::size_t headSize;
  std::size_t lineSize;
  std::size_t lineArticleRef;
};
inline constexpr OrderFraming kCurrentOrders{80, 402, 392};
inline constexpr OrderFraming kPreviousOrders{78, 168, 158};

// Hands every line of the order whose head lies at `head` to `visit` (the
// offset of the line and its stored length), walking by the stored lengths
// as far as the bytes go.
void ForEachLine(FileWindow& data, std::uint32_t head, const OrderFraming& framing,
                 const std::function<void(std::uint64_t at, std::uint16_t length)>& visit);

// Reference passes, each order and discount entry changed once; the order
// file's changes are collected as patches.
// Article references in RABATT.DAT (field at entry byte 4) or customer
// references (byte 0): found in the map they take the new offset; an entry
// whose record was not kept goes, or it would later match whatever record
// comes to lie at the old offset. Entries without a record (-1) stay, and
// entries of no discount (never written; a file's hole reads so) go. The
// result is written to `temporary`.
bool RewriteDiscounts(frame::AppState& app, platform::File& discounts, std::size_t field,
                      const OffsetMap& map, const std::string& temporary);
// The new offset of each kept article by its exact number.
using KeptNumbers = std::unordered_map<std::string, std::uint32_t>;
// Every line of every indexed order: the article's new offset; a line whose
// old offset was not kept but whose article number was (it still pointed at
// an old copy of a renamed article) takes that article; else -1.
void RewriteLineArticles(FileWindow& orderData, IndexImage& orders, const OrderFraming& framing,
                         const OffsetMap& map, const KeptNumbers* numbers,
                         const std::function<void(int percent)>& progress, Patches& patches);
// The customer reference of every indexed order, in its head and its entry;
// an order whose address was not kept is marked with -1 (told when it had one).
void RewriteOrderCustomers(frame::AppState& app, FileWindow& orderData, IndexImage& orders,
                           const std::function<void(int percent)>& progress,
                           const OffsetMap& map, Patches& patches);

// Temporary files written and swapped in by one replacement; the remains are
// removed again when it could not commit.
class Replacement {
 public:
  // A failure is explained by what failed from here on (NotWrittenText).
  explicit Replacement(frame::AppState& app) : app_(app) { app.fileSystem->clearLastError(); }
  ~Replacement();
  // Writes `temporary` (flushed) to take the name `target` at the commit.
  bool write(const std::string& temporary, const std::string& target, const Bytes& bytes);
  // `temporary`, written by `write` (flushed), takes the name `target`.
  bool add(const std::string& temporary, const std::string& target, const std::function<bool()>& write);
  void remove(const std::string& name) { swaps_.push_back({name, {}}); }
  // 1 when committed (see store::ReplaceFiles), 0 when not.
  int commit();

 private:
  frame::AppState& app_;
  std::vector<std::pair<std::string, std::string>> swaps_;
  bool committed_ = false;
};

// "Die neuen Dateien konnten nicht geschrieben werden: <cause>.\nEs wurde
// nichts verändert." with the cause of the last failed call of the file
// system (a full disk, a read-only folder), not a guess.
std::string NotWrittenText(const frame::AppState& app);

// "Zu wenig Speicher für diese Operation !" and the like, to the user.
void Tell(frame::AppState& app, const std::string& text, frame::Icon icon);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_FILE_IMAGES_H
