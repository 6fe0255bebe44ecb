#include "store/indexed_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frame/user_interface.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/text_field.h"

namespace store {

using platform::Access;
using platform::Share;

const IndexLayout kArticleLayout{
    kArticleIndexName, kArticleDataName, "Artikel", 4, 26, true, 22, 2, 22, 520, true,
    Share::DenyWrite, INT32_MAX};
const IndexLayout kAddressLayout{
    kAddressIndexName, kAddressDataName, "Adressen", 2, 46, true, 42, 56, 42, 1192, false,
    Share::Exclusive, 32768};
const IndexLayout kOrderLayout{
    kOrderIndexName, kOrderDataName, "Aufträge", 2, 12, false, 0, 0, 8, 80, false,
    Share::DenyWrite, 32768};

std::uint32_t IndexBlock::recordOffset(std::int32_t i) const {
  return Load<std::uint32_t>(entry(i) + layout->offsetInEntry);
}

std::string_view IndexBlock::key(std::int32_t i) const {
  return GetText(reinterpret_cast<const char*>(entry(i)), layout->keyWidth);
}

std::int32_t IndexBlock::orderNumber(std::int32_t i) const {
  return Load<std::int32_t>(entry(i) + 4);
}

int CompareEntries(const IndexLayout& layout, const std::uint8_t* a, const std::uint8_t* b) {
  if (layout.textKey)
    return CompareKeys(GetText(reinterpret_cast<const char*>(a), layout.keyWidth),
                       GetText(reinterpret_cast<const char*>(b), layout.keyWidth));
  std::int32_t x = Load<std::int32_t>(a + 4);
  std::int32_t y = Load<std::int32_t>(b + 4);
  return x < y ? -1 : (x > y ? 1 : 0);
}

std::int32_t InsertionPosition(const IndexBlock& block, const std::uint8_t* key) {
  const IndexLayout& layout = *block.layout;
  const std::int32_t n = block.count;
  auto cmp = [&](std::int32_t i) { return CompareEntries(layout, block.entry(i), key); };
  if (n <= 0) return 0;
  if (n == 1) return cmp(0) <= 0 ? 1 : 0;
  // Bisection with a step that halves down to 1; with a step of 1 the probe
  // only moves towards the gap, so it always ends.
  std::int32_t p = n / 2;
  std::int32_t d = p / 2;
  for (;;) {
    p = std::clamp(p, 0, n - 2);
    int atP = cmp(p);
    int atNext = cmp(p + 1);
    if (atP <= 0 && atNext >= 0) return p + 1;
    if (atP > 0) {
      if (p == 0) return 0;
      p -= d;
    } else {
      if (p == n - 2) return n;
      p += d;
    }
    d = std::max(d / 2, 1);
  }
}

IndexedFile::IndexedFile(frame::AppState& app, const IndexLayout& layout,
                         std::int32_t& lastIndex, std::int32_t& currentPosition,
                         std::span<std::uint8_t> currentEntry)
    : app_(app),
      layout_(layout),
      lastIndex_(lastIndex),
      currentPosition_(currentPosition),
      currentEntry_(currentEntry) {}

void IndexedFile::setLastIndex(std::int32_t last) { lastIndex_ = last; }

bool IndexedFile::writeHeader(platform::File& index, std::int32_t last) {
  std::uint8_t header[4];
  if (layout_.headerSize == 4)
    Store<std::int32_t>(header, last);
  else
    Store<std::int16_t>(header, static_cast<std::int16_t>(last));
  return index.seek(0) && index.write(header, layout_.headerSize);
}

std::int32_t ReadLastIndex(const IndexLayout& layout, platform::File& index) {
  std::uint8_t header[4] = {};
  if (!index.seek(0) || !index.readExact(header, layout.headerSize)) return -1;
  std::int64_t last = layout.headerSize == 4 ? Load<std::int32_t>(header)
                                             : Load<std::int16_t>(header);
  std::int64_t size = index.size();
  std::int64_t available = size < layout.headerSize ? 0 : (size - layout.headerSize) / layout.entrySize;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(last + 1, 0, available) - 1);
}

bool IndexedFile::ReadIndex(platform::File& index, IndexBlock& block) {
  block.layout = &layout_;
  block.count = ReadLastIndex(layout_, index) + 1;
  block.bytes.assign(static_cast<std::size_t>(block.count) * layout_.entrySize, 0);
  if (block.count > 0 && !index.readExact(block.bytes.data(), block.bytes.size())) {
    block.count = 0;
    block.bytes.clear();
  }
  setLastIndex(block.count - 1);
  return true;
}

bool IndexedFile::readAll(IndexBlock& block) {
  platform::File index = OpenData(app_, layout_.indexName, Access::Read, Share::DenyWrite);
  if (!index) return false;
  return ReadIndex(index, block);
}

void IndexedFile::makeEntry(std::span<const std::uint8_t> record, std::uint8_t* entry) const {
  std::memset(entry, 0, layout_.entrySize);
  if (layout_.textKey) {
    std::string_view key =
        GetText(reinterpret_cast<const char*>(record.data()) + layout_.keyInRecord,
                layout_.keyWidth);
    std::memcpy(entry, key.data(), key.size());
  } else {
    std::memcpy(entry, record.data() + 2, 8);  // customer reference, order number
  }
}

bool IndexedFile::replaceTail(platform::File& index, std::int32_t from,
                              std::span<const std::uint8_t> newTail,
                              std::span<const std::uint8_t> oldTail, std::int32_t newLast) {
  const std::uint64_t at = layout_.headerSize + static_cast<std::uint64_t>(from) * layout_.entrySize;
  if (index.seek(at) && index.write(newTail.data(), newTail.size()) && writeHeader(index, newLast))
    return true;
  // Half done is worse than not done: the old entries go back under the old
  // header, so the index stays as it was.
  if (index.seek(at)) index.write(oldTail.data(), oldTail.size());
  return false;
}

int IndexedFile::DeleteIndexEntry(std::int32_t& position) {
  platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  ReadIndex(index, block);
  std::int32_t last = block.count - 1;
  if (position < 0 || position > last) return 0;
  // The entries behind the position move one up; the file keeps its size,
  // so a stale copy of the last entry stays behind the count.
  std::span<const std::uint8_t> oldTail(block.entry(position),
                                        static_cast<std::size_t>(last - position + 1) * layout_.entrySize);
  if (!replaceTail(index, position, oldTail.subspan(layout_.entrySize), oldTail, last - 1)) return 0;
  setLastIndex(last - 1);
  position = std::max(position - 1, 0);
  return 1;
}

bool IndexedFile::RefuseWhenFull(const IndexBlock& block) {
  if (block.count < layout_.maxEntries) return false;
  if (app_.ui) {
    char text[240];
    std::snprintf(text, sizeof text,
                  "Die Datei %s ist voll: mehr als %lld Einträge sind nicht möglich.\n"
                  "Der Eintrag wurde nicht gespeichert.",
                  layout_.indexName, static_cast<long long>(layout_.maxEntries));
    app_.ui->message(text, frame::Icon::Stop);
  }
  return true;
}

bool IndexedFile::NextRecordOffset(const IndexBlock& block, std::uint32_t& offset) {
  // Into an empty index the record goes to the start of the record file,
  // whatever the file still holds there.
  offset = 0;
  if (block.count == 0) return true;
  platform::File data = OpenData(app_, layout_.dataName, Access::Read, Share::DenyWrite);
  std::uint64_t end = 0;
  if (!data || !data.seekToEnd(&end) || end > UINT32_MAX) return false;
  offset = static_cast<std::uint32_t>(end);
  return true;
}

int IndexedFile::InsertEntry(platform::File& index, const IndexBlock& block,
                             std::span<const std::uint8_t> entry, std::int32_t& position) {
  const std::int32_t n = block.count;
  const std::int32_t p = InsertionPosition(block, entry.data());
  // The new entry and everything after it, then the header; the entries
  // before the insertion point stay where they are.
  std::vector<std::uint8_t> tail;
  tail.reserve(static_cast<std::size_t>(n - p + 1) * layout_.entrySize);
  tail.insert(tail.end(), entry.begin(), entry.end());
  if (n > p) tail.insert(tail.end(), block.entry(p), block.entry(n));
  std::span<const std::uint8_t> oldTail(block.entry(p), static_cast<std::size_t>(n - p) * layout_.entrySize);
  if (!replaceTail(index, p, tail, oldTail, n)) return 0;
  setLastIndex(n);
  position = p;
  return 1;
}

int IndexedFile::WriteRecord(std::span<std::uint8_t> record, std::int32_t& position,
                             bool isNew) {
  if (isNew) {
    platform::File index =
        OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
    if (!index) return 0;
    IndexBlock block;
    ReadIndex(index, block);
    if (RefuseWhenFull(block)) return 0;
    std::vector<std::uint8_t> entry(layout_.entrySize);
    makeEntry(record, entry.data());
    std::uint32_t offset = 0;
    if (!NextRecordOffset(block, offset)) return 0;
    Store<std::uint32_t>(entry.data() + layout_.offsetInEntry, offset);
    // The record goes in before the index learns of it: an interrupted
    // insert leaves an unreferenced record, never an entry without one.
    {
      platform::File data =
          OpenData(app_, layout_.dataName, Access::Write, layout_.recordWriteShare);
      if (!data) return 0;
      Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout_.recordSize));
      if (!data.seek(offset) || !data.write(record.data(), layout_.recordSize)) return 0;
    }
    std::int32_t p = 0;
    if (!InsertEntry(index, block, entry, p)) return 0;
    position = p;
    currentPosition_ = p;
    std::memcpy(currentEntry_.data(), entry.data(), layout_.entrySize);
    return 1;
  }

  std::vector<std::uint8_t> entry(layout_.entrySize);
  {
    platform::File index =
        OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
    if (!index) return 0;
    IndexBlock block;
    ReadIndex(index, block);
    if (position < 0 || position >= block.count) return 0;
    std::memcpy(entry.data(), block.entry(position), layout_.entrySize);
  }
  std::vector<std::uint8_t> newKey(layout_.entrySize);
  makeEntry(record, newKey.data());
  const std::uint32_t oldOffset = Load<std::uint32_t>(entry.data() + layout_.offsetInEntry);

  if (!layout_.textKey || CompareEntries(layout_, entry.data(), newKey.data()) == 0) {
    platform::File data =
        OpenData(app_, layout_.dataName, Access::Write, layout_.recordWriteShare);
    if (!data) return 0;
    std::size_t length = layout_.recordSize;
    if (layout_.rewriteWithStoredLength) {
      // A record keeps the size it was stored with, so that it never grows
      // over the record behind it.
      std::uint16_t stored = Load<std::uint16_t>(record.data());
      length = std::clamp<std::size_t>(stored, 2, layout_.recordSize);
    } else {
      Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout_.recordSize));
    }
    if (!data.seek(oldOffset) || !data.write(record.data(), length)) return 0;
    currentPosition_ = position;
    std::memcpy(currentEntry_.data(), entry.data(), layout_.entrySize);
    return 1;
  }

  // The key changed: the record moves to the end of the record file under a
  // new entry, and every reference to the old offset follows it.
  std::int32_t at = position;
  if (!DeleteIndexEntry(at)) return 0;
  std::int32_t newPosition = 0;
  if (!WriteRecord(record, newPosition, true)) return 0;
  position = newPosition;
  const std::uint32_t newOffset =
      Load<std::uint32_t>(currentEntry_.data() + layout_.offsetInEntry);
  if (onRecordMoved) onRecordMoved(oldOffset, newOffset, currentEntry_.data());
  return 1;
}

int IndexedFile::ReadRecordAt(std::span<std::uint8_t> record, std::int32_t position) {
  std::vector<std::uint8_t> entry(layout_.entrySize);
  {
    platform::File index = OpenData(app_, layout_.indexName, Access::Read, Share::DenyWrite);
    if (!index) return 0;
    std::int32_t last = ReadLastIndex(layout_, index);
    setLastIndex(last);
    if (position < 0 || position > last) return 0;
    if (!index.seek(layout_.headerSize + static_cast<std::uint64_t>(position) * layout_.entrySize) ||
        !index.readExact(entry.data(), entry.size()))
      return 0;
  }
  std::memcpy(currentEntry_.data(), entry.data(), layout_.entrySize);
  platform::File data = OpenData(app_, layout_.dataName, Access::Read, Share::DenyWrite);
  if (!data) return 0;
  std::size_t size = std::min<std::size_t>(record.size(), layout_.recordSize);
  if (ReadFramedRecord(data, Load<std::uint32_t>(entry.data() + layout_.offsetInEntry),
                       record.first(size), true) < 0)
    return 0;
  return 1;
}

int IndexedFile::ScanRecords(std::span<const std::uint8_t> criteria, const RecordTest& test,
                             std::int32_t& position, bool forward) {
  frame::WaitCursor wait(app_.ui);
  platform::File index = OpenData(app_, layout_.indexName, Access::Read, Share::DenyWrite);
  if (!index) return 0;
  platform::File data = OpenData(app_, layout_.dataName, Access::Read, Share::DenyWrite);
  if (!data) return 0;
  IndexBlock block;
  ReadIndex(index, block);
  if (block.count == 0) return 0;
  std::string_view keyCriterion =
      GetText(reinterpret_cast<const char*>(criteria.data()) + layout_.keyInRecord,
              layout_.keyWidth);
  std::vector<std::uint8_t> record(layout_.recordSize);
  const std::int32_t step = forward ? 1 : -1;
  for (std::int64_t i = std::int64_t{position} + step; i >= 0 && i < block.count; i += step) {
    auto at = static_cast<std::int32_t>(i);
    if (!MatchCriterion(keyCriterion, block.key(at))) continue;
    if (ReadFramedRecord(data, block.recordOffset(at), record, true) < 0) continue;
    if (test && !test(record)) continue;
    position = at;
    return 1;
  }
  return 0;
}

int IndexedFile::KeyInUse(std::span<const std::uint8_t> record, bool isNew) {
  frame::WaitCursor wait(app_.ui);
  IndexBlock block;
  if (!readAll(block)) return 0;
  std::string_view key =
      GetText(reinterpret_cast<const char*>(record.data()) + layout_.keyInRecord,
              layout_.keyWidth);
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (block.key(i) != key) continue;
    if (i == currentPosition_ && !isNew) continue;  // the record itself
    return 1;
  }
  return 0;
}

int IndexedFile::LookupKey(std::span<const std::uint8_t> record, std::int32_t& position) {
  IndexBlock block;
  if (!readAll(block) || block.count == 0) return 0;
  std::vector<std::uint8_t> key(layout_.entrySize);
  makeEntry(record, key.data());
  auto cmp = [&](std::int32_t i) { return CompareEntries(layout_, block.entry(i), key.data()); };
  const std::int32_t n = block.count;
  if (n == 1) {
    if (cmp(0) != 0) return 0;
    position = 0;
    return 1;
  }
  std::int32_t p = n / 2;
  std::int32_t d = p / 2;
  for (;;) {
    p = std::clamp(p, 0, n - 2);
    int atP = cmp(p);
    int atNext = cmp(p + 1);
    if (atP == 0 || atNext == 0) {
      position = atP == 0 ? p : p + 1;
      return 1;
    }
    if (atP < 0 && atNext > 0) return 0;
    if (atP > 0) {
      if (p == 0) return 0;
      p -= d;
    } else {
      if (p == n - 2) return 0;
      p += d;
    }
    d = std::max(d / 2, 1);
  }
}

IndexedFile ArticleFile(frame::AppState& app) {
  return IndexedFile(app, kArticleLayout, app.articles.lastIndex, app.articles.position,
                     AsBytes(app.articles.entry));
}

IndexedFile AddressFile(frame::AppState& app) {
  return IndexedFile(app, kAddressLayout, app.addresses.lastIndex, app.addresses.position,
                     AsBytes(app.addresses.entry));
}

IndexedFile OrderFile(frame::AppState& app) {
  return IndexedFile(app, kOrderLayout, app.orders.lastIndex, app.orders.position,
                     AsBytes(app.orders.entry));
}

}  // namespace store
