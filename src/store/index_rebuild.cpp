#include "store/index_rebuild.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "core/user_interface.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace store {

namespace {

using platform::Access;
using platform::Share;

// Reads the length of the record at `at`; 0 when it cannot frame a record
// that lies wholly inside the file.
bool FramedLength(platform::File& data, std::uint64_t at, std::uint64_t end, std::uint16_t& length,
                  bool& readFailed) {
  std::uint8_t bytes[2];
  if (at + 2 > end) return false;
  if (!data.seek(at) || !data.readExact(bytes, 2)) {
    readFailed = true;
    return false;
  }
  length = Load<std::uint16_t>(bytes);
  return length >= 2 && at + length <= end;
}

// The entry of the record at `at` (`length` bytes long): its key and offset.
bool ReadEntry(const IndexLayout& layout, platform::File& data, std::uint64_t at,
               std::uint16_t length, std::vector<std::uint8_t>& entry) {
  std::vector<std::uint8_t> head(layout.textKey ? layout.keyInRecord + layout.keyWidth
                                                : sizeof(OrderHead),
                                 0);
  std::size_t want = std::min<std::size_t>(length, head.size());
  if (!data.seek(at) || !data.readExact(head.data(), want)) return false;
  entry.assign(layout.entrySize, 0);
  if (layout.textKey) {
    std::string_view key =
        GetText(reinterpret_cast<const char*>(head.data()) + layout.keyInRecord, layout.keyWidth);
    std::memcpy(entry.data(), key.data(), key.size());
  } else {
    std::memcpy(entry.data(), head.data() + 2, 8);  // customer reference, order number
  }
  Store<std::uint32_t>(entry.data() + layout.offsetInEntry, static_cast<std::uint32_t>(at));
  return true;
}

// The file offset after the lines of the order whose head is at `at`, or
// false when the head's line count or a line cannot be framed.
bool SkipOrderLines(platform::File& data, std::uint64_t at, std::uint16_t headLength,
                    std::uint64_t end, std::uint64_t& next, bool& readFailed) {
  std::uint8_t countBytes[2];
  if (headLength < offsetof(OrderHead, lineCount) + 2) return false;
  if (!data.seek(at + offsetof(OrderHead, lineCount)) || !data.readExact(countBytes, 2)) {
    readFailed = true;
    return false;
  }
  std::int16_t count = Load<std::int16_t>(countBytes);
  if (count < 0 || static_cast<std::size_t>(count) > kMaxOrderLines) return false;
  // The lines follow what a reader takes of the head.
  next = at + std::min<std::uint64_t>(headLength, sizeof(OrderHead));
  for (int i = 1; i <= count; ++i) {
    std::uint16_t length = 0;
    if (!FramedLength(data, next, end, length, readFailed)) return false;
    next += length;
  }
  return true;
}

std::string IndexRebuiltText(const frame::AppState& app, const IndexLayout& layout,
                             const RecordWalk& walk) {
  std::string text = "Der Index " + app.path(layout.indexName) + " wurde aus " +
                     std::to_string(walk.count) + " Datensätzen neu aufgebaut.";
  if (walk.walkedTo < walk.fileSize)
    text += "\n\nDie Datei " + app.path(layout.dataName) + " ist ab Byte " +
            std::to_string(walk.walkedTo) +
            " beschädigt; was dahinter steht, fehlt im Index. Bitte die Datenstrukturen testen.";
  return text;
}

// The name the new index is written under until it is complete.
std::string TemporaryIndexName(const IndexLayout& layout) {
  std::string name = layout.indexName;
  return name.substr(0, name.rfind('.') + 1) + "NEU";
}

bool WriteIndex(frame::AppState& app, const IndexLayout& layout, const RecordWalk& walk) {
  const std::string temporary = TemporaryIndexName(layout);
  platform::File index = CreateDataTemporary(app, temporary.c_str());
  if (!index) return false;
  std::uint8_t header[4];
  Store<std::int32_t>(header, walk.count - 1);
  bool written = index.write(header, layout.headerSize) &&
                 index.write(walk.entries.data(), walk.entries.size()) && index.sync();
  index.close();
  if (written && app.fileSystem->kind(app.path(layout.indexName)) == platform::PathKind::Missing &&
      app.fileSystem->rename(app.path(temporary.c_str()), app.path(layout.indexName)))
    return true;
  app.fileSystem->remove(app.path(temporary.c_str()));
  return false;
}

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

}  // namespace

bool WalkRecords(const IndexLayout& layout, platform::File& data, RecordWalk& walk) {
  std::int64_t size = data.size();
  if (size < 0) return false;
  walk.fileSize = static_cast<std::uint64_t>(size);
  // Record references are 32 bits wide: nothing further can be indexed.
  const std::uint64_t end = std::min<std::uint64_t>(walk.fileSize, UINT32_MAX);
  std::map<std::string, std::vector<std::uint8_t>> latest;  // exact key -> entry
  std::vector<std::uint8_t> entry;
  bool readFailed = false;
  std::uint64_t at = 0;
  for (std::uint16_t length = 0; FramedLength(data, at, end, length, readFailed);) {
    std::uint64_t next = at + length;
    if (!layout.textKey && !SkipOrderLines(data, at, length, end, next, readFailed)) break;
    if (!ReadEntry(layout, data, at, length, entry)) return false;
    std::size_t keySize = layout.textKey ? layout.keyWidth : 8;
    std::string key(reinterpret_cast<const char*>(entry.data()) + (layout.textKey ? 0 : 4),
                    layout.textKey ? keySize : 4);
    latest[key] = entry;  // a later copy of a key replaces the earlier one
    at = next;
  }
  if (readFailed) return false;
  walk.walkedTo = at;

  std::vector<std::vector<std::uint8_t>> sorted;
  sorted.reserve(latest.size());
  for (auto& [key, found] : latest) sorted.push_back(std::move(found));
  std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
    return CompareEntries(layout, a.data(), b.data()) < 0;
  });
  walk.count = static_cast<std::int32_t>(std::min<std::size_t>(sorted.size(), INT32_MAX));
  walk.entries.clear();
  for (const auto& e : sorted) walk.entries.insert(walk.entries.end(), e.begin(), e.end());
  return true;
}

int OfferIndexRebuild(frame::AppState& app, const IndexLayout& layout, std::int32_t& lastIndex) {
  const std::string indexPath = app.path(layout.indexName);
  const std::string dataPath = app.path(layout.dataName);
  const std::string question =
      "Die Indexdatei " + indexPath + " fehlt, aber " + dataPath +
      " enthält Datensätze.\n\nSoll der Index aus " + dataPath +
      " neu aufgebaut werden? Von jedem Schlüssel wird der zuletzt gespeicherte Datensatz "
      "übernommen; früher gelöschte Datensätze können dabei wieder erscheinen.\n\n"
      "Bitte immer erst eine Datensicherung machen !";
  if (!app.ui || !app.ui->question(question, frame::Icon::Question, true)) {
    Tell(app,
         "Der Index " + indexPath + " wurde nicht neu aufgebaut; " + dataPath +
             " bleibt unverändert.",
         frame::Icon::Exclamation);
    return 0;
  }
  frame::WaitCursor wait(app.ui);
  // Held while the index is built, so that no other copy adds a record the
  // walk would miss.
  platform::File data = OpenData(app, layout.dataName, Access::Read, Share::DenyWrite);
  if (!data) return 0;
  RecordWalk walk;
  if (!WalkRecords(layout, data, walk)) {
    Tell(app, "Die Datei " + dataPath + " kann nicht gelesen werden.", frame::Icon::Stop);
    return 0;
  }
  if (walk.count > layout.maxEntries) {
    Tell(app,
         "Die Datei " + dataPath + " enthält mehr Datensätze, als ein Index fassen kann.",
         frame::Icon::Stop);
    return 0;
  }
  if (!WriteIndex(app, layout, walk)) {
    Tell(app, "Die Datei " + indexPath + " konnte nicht geschrieben werden.", frame::Icon::Stop);
    return 0;
  }
  lastIndex = walk.count - 1;
  Tell(app, IndexRebuiltText(app, layout, walk), frame::Icon::Information);
  return 1;
}

}  // namespace store
