#include "store/indexed_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "core/user_interface.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/journal_names.h"
#include "store/record_append.h"
#include "store/text_field.h"

namespace store {

using platform::Access;
using platform::Share;

const IndexLayout kArticleLayout{
    kArticleIndexName, kArticleDataName, "Artikel", 4, 26, true, 22, 2, 22, 520, true,
    Share::DenyWrite, INT32_MAX, "der Artikelnummer"};
const IndexLayout kAddressLayout{
    kAddressIndexName, kAddressDataName, "Adressen", 2, 46, true, 42, 56, 42, 1192, false,
    Share::Exclusive, 32768, "der Zeile Name 2"};
const IndexLayout kOrderLayout{
    kOrderIndexName, kOrderDataName, "Aufträge", 2, 12, false, 0, 0, 8, 80, false,
    Share::DenyWrite, 32768, "der Auftragsnummer"};

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
  // Keys equal under the collation ("abc", "ABC") are different records: a
  // new one goes behind all its equals, wherever the probe met them, so that
  // the order of an index does not depend on the way it was filled.
  auto behindEquals = [&](std::int32_t at) {
    while (at < n && cmp(at) == 0) ++at;
    return at;
  };
  // Bisection with a step that halves down to 1; with a step of 1 the probe
  // only moves towards the gap, so it always ends.
  std::int32_t p = n / 2;
  std::int32_t d = p / 2;
  for (;;) {
    p = std::clamp(p, 0, n - 2);
    int atP = cmp(p);
    int atNext = cmp(p + 1);
    if (atP <= 0 && atNext >= 0) return behindEquals(p + 1);
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

bool ReadLastIndex(const IndexLayout& layout, platform::File& index, std::int32_t& last) {
  last = -1;
  const std::int64_t size = index.size();
  if (size < 0) return false;
  if (size < layout.headerSize) return true;  // not even a header: nothing indexed
  std::uint8_t header[4] = {};
  if (!index.seek(0) || !index.readExact(header, layout.headerSize)) return false;
  std::int64_t stored = layout.headerSize == 4 ? Load<std::int32_t>(header)
                                               : Load<std::int16_t>(header);
  std::int64_t available = (size - layout.headerSize) / layout.entrySize;
  last = static_cast<std::int32_t>(std::clamp<std::int64_t>(stored + 1, 0, available) - 1);
  return true;
}

std::int32_t ReadLastIndex(const IndexLayout& layout, platform::File& index) {
  std::int32_t last = -1;
  return ReadLastIndex(layout, index, last) ? last : -1;
}

bool IndexedFile::ReadIndex(platform::File& index, IndexBlock& block) {
  block.layout = &layout_;
  block.count = 0;
  block.bytes.clear();
  std::int32_t last = -1;
  if (!ReadLastIndex(layout_, index, last)) return false;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(last + 1) * layout_.entrySize);
  if (!bytes.empty() && !index.readExact(bytes.data(), bytes.size())) return false;
  block.bytes = std::move(bytes);
  block.count = last + 1;
  setLastIndex(last);
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

std::string IndexedFile::replacementName() const {
  const std::string name = layout_.indexName;
  return name.substr(0, name.find('.')) + ".NDX";
}

bool IndexedFile::replaceTail(platform::File& index, std::int32_t from,
                              std::span<const std::uint8_t> newTail, std::int32_t newLast) {
  // The changed index is written whole under a name of its own and renamed
  // over the old one while both are held, so that a copy killed at any call
  // leaves the old index or the new one, never entries moved under the old
  // count or a new count over the old entries. The file keeps its size and
  // whatever stale entries it held behind the count.
  const std::int64_t size = index.size();
  if (size < 0) return false;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!index.seek(0) || (!bytes.empty() && !index.readExact(bytes.data(), bytes.size())))
    return false;
  const std::size_t at = layout_.headerSize + static_cast<std::size_t>(from) * layout_.entrySize;
  bytes.resize(std::max(bytes.size(), at + newTail.size()));
  std::copy(newTail.begin(), newTail.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  if (layout_.headerSize == 4)
    Store<std::int32_t>(bytes.data(), newLast);
  else
    Store<std::int16_t>(bytes.data(), static_cast<std::int16_t>(newLast));
  const std::string name = replacementName();
  const std::string path = app_.path(name.c_str());
  platform::FileSystem& fs = *app_.fileSystem;
  platform::OpenFailure why = platform::OpenFailure::LinkOutside;
  platform::File fresh;
  fs.clearLastError();
  if (!fs.linkLeaves(path, DataFolder(app_)))
    fresh = fs.open(path, Access::ReadWrite, Share::Exclusive, platform::Disposition::CreateAlways,
                    &why);
  if (fresh && fresh.write(bytes.data(), bytes.size()) &&
      fs.rename(path, app_.path(layout_.indexName))) {
    // Whoever waits for the old index finds the new one under its name, and
    // waits for it as long as we hold it.
    index = std::move(fresh);
    return true;
  }
  // The message names the file that failed and why: the new index, not the
  // record file the caller was about to change.
  if (app_.ui)
    app_.ui->message(fresh ? WriteFailureText(path, fs.lastError()) : OpenFailureText(path, why),
                     frame::Icon::Stop);
  // Only what we made is taken away; a folder, a pipe or a link that stands
  // under the name is left for the user to look at.
  if (fresh) {
    fresh.close();
    fs.remove(path);
  }
  return false;
}

int IndexedFile::DeleteIndexEntry(std::int32_t& position) {
  platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  if (!ReadIndex(index, block)) return 0;
  std::int32_t last = block.count - 1;
  if (position < 0 || position > last) return 0;
  // The entries behind the position move one up; the file keeps its size,
  // so a stale copy of the last entry stays behind the count.
  std::span<const std::uint8_t> tail(block.entry(position),
                                     static_cast<std::size_t>(last - position + 1) * layout_.entrySize);
  if (!replaceTail(index, position, tail.subspan(layout_.entrySize), last - 1)) return 0;
  setLastIndex(last - 1);
  position = std::max(position - 1, 0);
  return 1;
}

int IndexedFile::DeleteEntry(platform::File& index, const IndexBlock& block,
                             std::int32_t position) {
  const std::int32_t last = block.count - 1;
  if (position < 0 || position > last) return 0;
  std::vector<std::uint8_t> tail(block.entry(position + 1), block.entry(last + 1));
  if (last > 0) tail.insert(tail.end(), block.entry(last), block.entry(last + 1));
  else tail.assign(layout_.entrySize, 0);
  if (!replaceTail(index, position, tail, last - 1)) return 0;
  setLastIndex(last - 1);
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
  if (!replaceTail(index, p, tail, n)) return 0;
  setLastIndex(n);
  position = p;
  return 1;
}

bool IndexedFile::writeRecordAt(std::uint32_t offset, std::span<std::uint8_t> record,
                                std::size_t length) {
  platform::File data = OpenData(app_, layout_.dataName, Access::Write, layout_.recordWriteShare);
  return data && WriteRecordBytes(data, offset, record.data(), length);
}

int IndexedFile::insertRecord(platform::File& index, const IndexBlock& block,
                              std::span<std::uint8_t> record, std::int32_t& position) {
  if (RefuseWhenFull(block)) return 0;
  std::vector<std::uint8_t> entry(layout_.entrySize);
  makeEntry(record, entry.data());
  std::uint32_t offset = 0;
  if (!NextRecordOffset(block, offset)) return 0;
  Store<std::uint32_t>(entry.data() + layout_.offsetInEntry, offset);
  // The record goes in before the index learns of it: an interrupted
  // insert leaves an unreferenced record, never an entry without one.
  Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout_.recordSize));
  if (!writeRecordAt(offset, record, layout_.recordSize)) return 0;
  std::int32_t p = 0;
  if (!InsertEntry(index, block, entry, p)) return 0;
  position = p;
  currentPosition_ = p;
  std::memcpy(currentEntry_.data(), entry.data(), layout_.entrySize);
  return 1;
}

int IndexedFile::rewriteInPlace(platform::File& index, std::span<std::uint8_t> record,
                                std::int32_t position, std::span<const std::uint8_t> entry,
                                std::span<const std::uint8_t> newEntry) {
  std::size_t length = layout_.recordSize;
  if (layout_.rewriteWithStoredLength) {
    // A record keeps the size it was stored with, so that it never grows
    // over the record behind it.
    std::uint16_t stored = Load<std::uint16_t>(record.data());
    length = std::clamp<std::size_t>(stored, 2, layout_.recordSize);
  } else {
    Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout_.recordSize));
  }
  // A key typed in another letter case keeps its place under the collation,
  // but the index takes the case as typed: the entry is rewritten where it
  // stands, and put back when the record cannot follow.
  const bool newCase = layout_.textKey &&
                       GetText(reinterpret_cast<const char*>(entry.data()), layout_.keyWidth) !=
                           GetText(reinterpret_cast<const char*>(newEntry.data()), layout_.keyWidth);
  const std::uint64_t at = layout_.headerSize + static_cast<std::uint64_t>(position) * layout_.entrySize;
  if (newCase && !(index.seek(at) && index.write(newEntry.data(), newEntry.size()))) return 0;
  if (!writeRecordAt(Load<std::uint32_t>(entry.data() + layout_.offsetInEntry), record, length)) {
    if (newCase && index.seek(at)) index.write(entry.data(), entry.size());
    return 0;
  }
  currentPosition_ = position;
  std::memcpy(currentEntry_.data(), (newCase ? newEntry : entry).data(), layout_.entrySize);
  return 1;
}

bool IndexedFile::replaceEntry(platform::File& index, const IndexBlock& block,
                               std::int32_t position, std::span<const std::uint8_t> entry,
                               std::int32_t& newPosition) {
  const std::size_t size = layout_.entrySize;
  IndexBlock rest;
  rest.layout = &layout_;
  rest.count = block.count - 1;
  rest.bytes.assign(block.bytes.begin(), block.bytes.end());
  rest.bytes.erase(rest.bytes.begin() + position * size, rest.bytes.begin() + (position + 1) * size);
  const std::int32_t p = InsertionPosition(rest, entry.data());
  std::vector<std::uint8_t> moved = std::move(rest.bytes);
  moved.insert(moved.begin() + p * size, entry.begin(), entry.end());
  const std::int32_t from = std::min(position, p);
  std::span<const std::uint8_t> newTail(moved.data() + from * size, moved.size() - from * size);
  if (!replaceTail(index, from, newTail, block.count - 1)) return false;
  newPosition = p;
  return true;
}

std::string IndexedFile::moveJournalName() const {
  const std::string name = layout_.indexName;
  return name.substr(0, name.find('.')) + ".UMZ";
}

platform::File IndexedFile::beginMove(std::uint32_t from, std::uint32_t to) {
  const std::string name = moveJournalName();
  // Another copy is still following its own move (or one was cut short
  // after our start): ours waits for a later try.
  if (app_.fileSystem->kind(app_.path(name.c_str())) != platform::PathKind::Missing) {
    if (app_.ui)
      app_.ui->message(std::string("Eine andere Änderung ") + layout_.keyName +
                           " ist noch nicht abgeschlossen.\nBitte später noch einmal versuchen.",
                       frame::Icon::Stop);
    return {};
  }
  const std::string draft = name.substr(0, name.find('.')) + ".UMN";
  const std::string text = std::string(kMoveJournalHeading) + "\n" + std::to_string(from) + "\t" +
                           std::to_string(to) + "\n";
  platform::File journal = OpenDataOnce(app_, draft.c_str(), Access::ReadWrite, Share::Exclusive,
                                        platform::Disposition::CreateAlways);
  if (journal && journal.write(text.data(), text.size()) &&
      app_.fileSystem->rename(app_.path(draft.c_str()), app_.path(name.c_str())))
    return journal;  // held, so that nobody takes it for one cut short
  journal.close();
  app_.fileSystem->remove(app_.path(draft.c_str()));
  return {};
}

void IndexedFile::endMove(platform::File& journal) {
  app_.fileSystem->remove(app_.path(moveJournalName().c_str()));
  journal.close();
}

int IndexedFile::moveRecord(platform::File& index, const IndexBlock& block,
                            std::span<std::uint8_t> record, std::int32_t& position,
                            std::span<const std::uint8_t> newEntry) {
  // The record is appended first; then a journal names the move, the entry
  // moves in one replacement of the index, the references follow, and the
  // journal goes. A copy killed on the way leaves the old state (no
  // journal yet) or a journal, which the next start finishes.
  std::vector<std::uint8_t> entry(block.entry(position), block.entry(position) + layout_.entrySize);
  std::vector<std::uint8_t> moved(newEntry.begin(), newEntry.end());
  std::uint32_t newOffset = 0;
  if (!NextRecordOffset(block, newOffset)) return 0;
  Store<std::uint32_t>(moved.data() + layout_.offsetInEntry, newOffset);
  Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout_.recordSize));
  if (!writeRecordAt(newOffset, record, layout_.recordSize)) return 0;
  platform::File journal = beginMove(block.recordOffset(position), newOffset);
  if (!journal) return 0;
  std::int32_t p = 0;
  if (!replaceEntry(index, block, position, moved, p)) {
    endMove(journal);
    return 0;
  }
  index.close();  // the passes open other files; nothing waits on us meanwhile
  currentPosition_ = p;
  std::memcpy(currentEntry_.data(), moved.data(), layout_.entrySize);
  std::int32_t at = p;
  bool undone = false;
  const bool followed = followReferences(entry, moved, at, &undone);
  // A change only partly taken back keeps its journal: the next start
  // carries it through.
  if (followed || undone) endMove(journal);
  position = at;
  return followed ? 1 : 0;
}

namespace {

// "BELVON-UMZUG", then "from<TAB>to", each line ending in a newline, and
// nothing else: the offsets the record moved from and to.
bool ParseMoveJournal(std::string_view text, std::uint32_t& from, std::uint32_t& to) {
  const std::string heading = std::string(kMoveJournalHeading) + "\n";
  if (!text.starts_with(heading)) return false;
  text.remove_prefix(heading.size());
  auto number = [&text](char end, std::uint32_t& out) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    while (i < text.size() && i < 10 && text[i] >= '0' && text[i] <= '9')
      value = value * 10 + static_cast<std::uint64_t>(text[i++] - '0');
    if (i == 0 || i >= text.size() || text[i] != end || value > UINT32_MAX) return false;
    out = static_cast<std::uint32_t>(value);
    text.remove_prefix(i + 1);
    return true;
  };
  return number('\t', from) && number('\n', to) && text.empty();
}

}  // namespace

std::string IndexedFile::checkMove(platform::File& data, const IndexBlock& block,
                                   std::uint32_t from, std::uint32_t to,
                                   std::vector<std::uint8_t>& moved) {
  // A move appends the record behind everything, whole and in the current
  // length, and leaves the record it left where it was.
  const std::int64_t size = data.size();
  std::vector<std::uint8_t> record(layout_.recordSize);
  if (size < 0) return "die Datei " + std::string(layout_.dataName) + " kann nicht gelesen werden.";
  if (from >= to || std::uint64_t{to} + layout_.recordSize > static_cast<std::uint64_t>(size))
    return "die Stellen " + std::to_string(from) + " und " + std::to_string(to) +
           " liegen nicht so in " + layout_.dataName + ", wie ein Umzug sie hinterlässt.";
  const std::int32_t oldLength = ReadFramedRecord(data, from, record, true);
  const std::int32_t newLength = ReadFramedRecord(data, to, record, true);
  if (oldLength < 2 || oldLength > layout_.recordSize ||
      std::uint64_t{from} + static_cast<std::uint32_t>(oldLength) > to ||
      newLength != layout_.recordSize)
    return "an den Stellen " + std::to_string(from) + " und " + std::to_string(to) + " von " +
           layout_.dataName + " beginnt kein Datensatz.";
  makeEntry(record, moved.data());
  Store<std::uint32_t>(moved.data() + layout_.offsetInEntry, to);
  // The entry points at one of the two records, never at both; and the
  // moved record's key belongs to no other entry.
  int atFrom = 0, atTo = 0, sameKey = 0;
  for (std::int32_t i = 0; i < block.count; ++i) {
    const std::uint32_t offset = block.recordOffset(i);
    atFrom += offset == from;
    atTo += offset == to;
    if (offset != from && offset != to && CompareEntries(layout_, block.entry(i), moved.data()) == 0)
      ++sameKey;
  }
  if (atFrom + atTo != 1 || sameKey != 0)
    return std::string("der Umzug passt nicht zu ") + layout_.indexName +
           " (der Datensatz an Stelle " + std::to_string(from) +
           " ist nicht der eine, der nach Stelle " + std::to_string(to) + " umzieht).";
  return {};
}

int IndexedFile::FinishInterruptedMove() {
  const std::string name = moveJournalName();
  const std::string path = app_.path(name.c_str());
  platform::FileSystem& fs = *app_.fileSystem;
  if (fs.kind(path) == platform::PathKind::Missing) return 1;
  auto refuse = [this](const std::string& text) {
    if (app_.ui) app_.ui->message(text, frame::Icon::Stop);
    return 0;
  };
  if (fs.linkLeaves(path, DataFolder(app_)))
    return refuse(OpenFailureText(path, platform::OpenFailure::LinkOutside));
  platform::OpenFailure why = platform::OpenFailure::None;
  // The open never waits on a FIFO: only a regular file is opened.
  platform::File journal = fs.open(path, Access::ReadWrite, Share::Exclusive,
                                   platform::Disposition::OpenExisting, &why);
  if (!journal) {
    if (why == platform::OpenFailure::Busy) return 1;  // its copy goes on
    return refuse(OpenFailureText(path, why));
  }
  char text[64] = {};
  const std::int64_t size = journal.size();
  if (size == 0) {
    endMove(journal);  // never committed: the draft is renamed only once written
    return 1;
  }
  std::uint32_t from = 0, to = 0;
  if (size < 0 || size >= static_cast<std::int64_t>(sizeof text) ||
      !journal.readExact(text, static_cast<std::size_t>(size)) ||
      !ParseMoveJournal(std::string_view(text, static_cast<std::size_t>(size)), from, to))
    return refuse(RefusedJournalText(path, "sie ist kein Umzugsprotokoll dieses Programms."));
  std::vector<std::uint8_t> moved(layout_.entrySize);
  {
    platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
    platform::File data;
    if (index) data = OpenData(app_, layout_.dataName, Access::Read, Share::DenyWrite);
    IndexBlock block;
    if (!data || !ReadIndex(index, block)) return 0;
    // Nothing is carried out before the journal is seen to describe a move
    // that this data directory really holds.
    if (const std::string wrong = checkMove(data, block, from, to, moved); !wrong.empty())
      return refuse(RefusedJournalText(path, wrong));
    data.close();
    // The entry moves unless it did before the cut.
    for (std::int32_t i = 0; i < block.count; ++i) {
      if (block.recordOffset(i) != from) continue;
      std::int32_t p = 0;
      if (!replaceEntry(index, block, i, moved, p)) return 0;
      break;
    }
  }
  // Every pass points what still refers to the old offset at the new one;
  // what it did before the cut it finds done.
  for (const ReferencePass& pass : referencePasses) {
    bool wrote = false;
    if (!pass.run(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to), moved.data(), wrote))
      return 0;
  }
  endMove(journal);
  return 1;
}

int IndexedFile::WriteRecord(std::span<std::uint8_t> record, std::int32_t& position,
                             bool isNew) {
  platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  if (!ReadIndex(index, block)) return 0;
  if (isNew) return insertRecord(index, block, record, position);

  if (position < 0 || position >= block.count) return 0;
  std::span<const std::uint8_t> entry(block.entry(position), layout_.entrySize);
  std::vector<std::uint8_t> newEntry(layout_.entrySize);
  makeEntry(record, newEntry.data());
  std::memcpy(newEntry.data() + layout_.offsetInEntry, entry.data() + layout_.offsetInEntry, 4);
  if (!layout_.textKey || CompareEntries(layout_, entry.data(), newEntry.data()) == 0)
    return rewriteInPlace(index, record, position, entry, newEntry);
  // The key changed: the record moves to the end of the record file under a
  // new entry, and every reference to the old offset follows it.
  return moveRecord(index, block, record, position, newEntry);
}

bool IndexedFile::followReferences(std::span<const std::uint8_t> oldEntry,
                                   std::span<const std::uint8_t> newEntry, std::int32_t& position,
                                   bool* undone) {
  const std::uint32_t oldOffset = Load<std::uint32_t>(oldEntry.data() + layout_.offsetInEntry);
  const std::uint32_t newOffset = Load<std::uint32_t>(newEntry.data() + layout_.offsetInEntry);
  std::vector<char> changed(referencePasses.size(), 0);
  std::size_t failed = referencePasses.size();
  for (std::size_t i = 0; i < referencePasses.size(); ++i) {
    bool wrote = false;
    const int done = referencePasses[i].run(oldOffset, newOffset, newEntry.data(), wrote);
    changed[i] = wrote;
    if (!done) {
      failed = i;
      break;
    }
  }
  if (failed == referencePasses.size()) return true;

  // Half a rewrite is worse than none: what the passes changed goes back to
  // the old offset, and so does the entry.
  std::string stuck;
  for (std::size_t i = failed + 1; i-- > 0;) {
    bool wrote = false;
    if (changed[i] && !referencePasses[i].run(newOffset, oldOffset, oldEntry.data(), wrote))
      stuck += std::string(stuck.empty() ? "" : ", ") + referencePasses[i].what;
  }
  const bool back = stuck.empty() && putEntryBack(newEntry, oldEntry, position);
  if (undone) *undone = back;
  if (app_.ui) {
    const std::string oldKey(GetText(reinterpret_cast<const char*>(oldEntry.data()), layout_.keyWidth));
    const std::string newKey(GetText(reinterpret_cast<const char*>(newEntry.data()), layout_.keyWidth));
    std::string text = std::string("Die Änderung ") + layout_.keyName + " von \"" + oldKey +
                       "\" in \"" + newKey + "\" ";
    const std::string what = referencePasses[failed].what;
    if (back)
      text += "wurde nicht gespeichert, weil " + what +
              " nicht angepasst werden konnten.\nEs bleibt alles wie vorher; bitte später noch "
              "einmal versuchen.";
    else
      text += "ist nur zum Teil ausgeführt, weil " + what +
              " nicht angepasst werden konnten und sich die Änderung nicht ganz zurücknehmen "
              "ließ" + (stuck.empty() ? std::string() : " (" + stuck + ")") +
              ".\nBitte die Datenstrukturen testen und die Dateien reorganisieren, sobald sie "
              "frei sind.";
    app_.ui->message(text, frame::Icon::Stop);
  }
  return false;
}

bool IndexedFile::putEntryBack(std::span<const std::uint8_t> newEntry,
                               std::span<const std::uint8_t> oldEntry, std::int32_t& position) {
  platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return false;
  IndexBlock block;
  if (!ReadIndex(index, block)) return false;
  // Another copy may have changed the index since: the entry is found by
  // what it holds, not by where it was.
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (std::memcmp(block.entry(i), newEntry.data(), layout_.entrySize) != 0) continue;
    std::int32_t p = 0;
    if (!replaceEntry(index, block, i, oldEntry, p)) return false;
    position = p;
    currentPosition_ = p;
    std::memcpy(currentEntry_.data(), oldEntry.data(), layout_.entrySize);
    return true;
  }
  return false;
}

int IndexedFile::ReadRecordAt(std::span<std::uint8_t> record, std::int32_t position) {
  std::vector<std::uint8_t> entry(layout_.entrySize);
  {
    platform::File index = OpenData(app_, layout_.indexName, Access::Read, Share::DenyWrite);
    if (!index) return 0;
    std::int32_t last = -1;
    if (!ReadLastIndex(layout_, index, last)) return 0;
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
  if (!ReadIndex(index, block) || block.count == 0) return 0;
  std::string_view keyCriterion =
      GetText(reinterpret_cast<const char*>(criteria.data()) + layout_.keyInRecord,
              layout_.keyWidth);
  std::vector<std::uint8_t> record(layout_.recordSize);
  const std::int32_t step = forward ? 1 : -1;
  for (std::int64_t i = std::int64_t{position} + step; i >= 0 && i < block.count; i += step) {
    auto at = static_cast<std::int32_t>(i);
    if (!MatchCriterion(keyCriterion, block.key(at))) continue;
    std::int32_t length = ReadFramedRecord(data, block.recordOffset(at), record, true);
    if (length == kReadFailed) return 0;
    if (length < 0) continue;
    if (test && !test(record)) continue;
    position = at;
    return 1;
  }
  return 0;
}

int IndexedFile::KeyInUse(std::span<const std::uint8_t> record, bool isNew) {
  frame::WaitCursor wait(app_.ui);
  IndexBlock block;
  if (!readAll(block)) return -1;
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

int IndexedFile::LookupExactKey(std::span<const std::uint8_t> record, std::int32_t& position,
                                std::vector<std::int32_t>* alike) {
  std::int32_t found = 0;
  if (LookupKey(record, found) != 1) return 0;
  if (!layout_.textKey) {
    position = found;
    return 1;
  }
  IndexBlock block;
  if (!readAll(block) || found >= block.count) return 0;
  std::vector<std::uint8_t> key(layout_.entrySize);
  makeEntry(record, key.data());
  // Equal keys stand together in the index: the run around the one found.
  auto equal = [&](std::int32_t i) { return CompareEntries(layout_, block.entry(i), key.data()) == 0; };
  std::int32_t first = found, last = found;
  while (first > 0 && equal(first - 1)) --first;
  while (last + 1 < block.count && equal(last + 1)) ++last;
  const std::string_view exact = GetText(reinterpret_cast<const char*>(key.data()), layout_.keyWidth);
  for (std::int32_t i = first; i <= last; ++i) {
    if (block.key(i) != exact) continue;
    position = i;
    return 1;
  }
  if (alike)
    for (std::int32_t i = first; i <= last; ++i) alike->push_back(i);
  return 0;
}

int IndexedFile::ChangeRecord(std::span<const std::uint8_t> record,
                              const std::function<bool(std::span<std::uint8_t> stored)>& change) {
  platform::File index = OpenData(app_, layout_.indexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  if (!ReadIndex(index, block)) return 0;
  const std::string_view key =
      GetText(reinterpret_cast<const char*>(record.data()) + layout_.keyInRecord, layout_.keyWidth);
  std::int32_t at = 0;
  while (at < block.count && block.key(at) != key) ++at;
  if (at == block.count) return -1;
  platform::File data = OpenData(app_, layout_.dataName, Access::ReadWrite, layout_.recordWriteShare);
  if (!data) return 0;
  const std::uint32_t offset = block.recordOffset(at);
  std::vector<std::uint8_t> stored(layout_.recordSize);
  const std::int32_t length = ReadFramedRecord(data, offset, stored, true);
  if (length < 2 || !change(stored)) return 0;
  Store<std::uint16_t>(stored.data(), static_cast<std::uint16_t>(length));
  if (!data.seek(offset) ||
      !data.write(stored.data(), std::min<std::size_t>(static_cast<std::size_t>(length), stored.size())))
    return 0;
  currentPosition_ = at;
  std::memcpy(currentEntry_.data(), block.entry(at), layout_.entrySize);
  return 1;
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
