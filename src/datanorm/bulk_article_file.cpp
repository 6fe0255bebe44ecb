#include "datanorm/bulk_article_file.h"

#include <algorithm>
#include <cstring>

#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace datanorm {

namespace {

using platform::Access;
using platform::Share;

// The new index is complete under this name before it takes the place of
// ARTIKEL.IDX.
constexpr const char* kNewIndexName = "ARTIKEL.NEU";

std::array<std::uint8_t, 22> Fold(std::string_view key) {
  std::array<std::uint8_t, 22> folded{};
  for (std::size_t i = 0; i < key.size() && i < folded.size(); ++i)
    folded[i] = store::FoldAsciiLetter(static_cast<unsigned char>(key[i]));
  return folded;
}

std::size_t Hash(const std::array<std::uint8_t, 22>& folded) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint8_t byte : folded) {
    if (byte == 0) break;
    h = (h ^ byte) * 1099511628211ull;
  }
  return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

BulkArticleFile::BulkArticleFile(frame::AppState& app, BulkOptions options)
    : app_(app), options_(std::move(options)) {}

BulkArticleFile::~BulkArticleFile() {
  if (open_) finish();
}

bool BulkArticleFile::open() {
  index_ = store::OpenData(app_, store::kArticleIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index_) return false;
  data_ = store::OpenData(app_, store::kArticleDataName, Access::ReadWrite, Share::DenyWrite);
  store::IndexBlock block;
  const std::int64_t dataSize = data_ ? data_.size() : -1;
  if (dataSize < 0 || !store::ArticleFile(app_).ReadIndex(index_, block)) {
    data_.close();
    index_.close();
    return false;
  }
  dataEnd_ = static_cast<std::uint64_t>(dataSize);
  indexedEnd_ = dataEnd_;
  entries_.reserve(block.count + 1024);
  folded_.reserve(block.count + 1024);
  for (std::int32_t i = 0; i < block.count; ++i) {
    store::ArticleIndexEntry entry;
    std::memcpy(&entry, block.entry(i), sizeof entry);
    order_.push_back(addSlot(entry));
  }
  stored_ = block.count;
  open_ = true;
  lastWriteBack_ = std::chrono::steady_clock::now();
  return true;
}

std::int32_t BulkArticleFile::addSlot(const store::ArticleIndexEntry& entry) {
  const auto slot = static_cast<std::int32_t>(entries_.size());
  entries_.push_back(entry);
  folded_.push_back(Fold(store::GetText(entry.key)));
  alive_.push_back(1);
  ++live_;
  hashIn(slot);
  return slot;
}

void BulkArticleFile::hashIn(std::int32_t slot) {
  if ((tableUsed_ + 1) * 2 > table_.size()) growTable();
  const std::size_t mask = table_.size() - 1;
  std::size_t at = Hash(folded_[slot]) & mask;
  while (table_[at] >= 0) at = (at + 1) & mask;
  table_[at] = slot;
  ++tableUsed_;
}

void BulkArticleFile::growTable() {
  // Removed slots are left out when the table is rebuilt.
  std::size_t size = 1024;
  while (size < (static_cast<std::size_t>(live_) + 1) * 4) size *= 2;
  table_.assign(size, -1);
  tableUsed_ = 0;
  const std::size_t mask = size - 1;
  for (std::int32_t slot = 0; slot < static_cast<std::int32_t>(entries_.size()); ++slot) {
    if (!alive_[slot]) continue;
    std::size_t at = Hash(folded_[slot]) & mask;
    while (table_[at] >= 0) at = (at + 1) & mask;
    table_[at] = slot;
    ++tableUsed_;
  }
}

bool BulkArticleFile::find(std::string_view number, std::int32_t& handle) {
  if (table_.empty()) return false;
  const Folded folded = Fold(number);
  char exact[sizeof entries_.front().key] = {};
  store::SetText(exact, number);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t at = Hash(folded) & mask; table_[at] >= 0; at = (at + 1) & mask) {
    const std::int32_t slot = table_[at];
    // Numbers equal under the collation share a fold; only the exact one
    // is the article the catalogue names ("ABC" never changes "abc").
    if (alive_[slot] && folded_[slot] == folded &&
        store::GetText(entries_[slot].key) == store::GetText(exact)) {
      handle = slot;
      return true;
    }
  }
  return false;
}

bool BulkArticleFile::changed() {
  ++changes_;
  return true;
}

bool BulkArticleFile::flush() {
  if (pending_.empty()) return true;
  if (!data_.seek(pendingAt_) || !data_.write(pending_.data(), pending_.size())) return false;
  pending_.clear();
  return true;
}

bool BulkArticleFile::writeAt(std::uint64_t offset, const void* bytes, std::size_t size) {
  // Writes that follow on one another (the appends, and the rewrites of a
  // catalogue that comes again in the order it was stored) gather in one
  // run and go to the file in one piece.
  const auto* in = static_cast<const std::uint8_t*>(bytes);
  const std::uint64_t pendingEnd = pendingAt_ + pending_.size();
  if (!pending_.empty() && offset >= pendingAt_ && offset + size <= pendingEnd) {
    std::memcpy(pending_.data() + (offset - pendingAt_), in, size);
  } else {
    if (!pending_.empty() && offset != pendingEnd && !flush()) return false;
    if (pending_.empty()) pendingAt_ = offset;
    pending_.insert(pending_.end(), in, in + size);
  }
  dataEnd_ = std::max<std::uint64_t>(dataEnd_, offset + size);
  return pending_.size() < options_.appendBuffer || flush();
}

bool BulkArticleFile::insert(store::ArticleRecord& article, std::int32_t& handle) {
  store::ArticleIndexEntry entry{};
  const std::string_view key = store::GetText(article.number);
  std::memcpy(entry.key, key.data(), key.size());
  // The first record of an empty index goes to the start of the file, over
  // whatever is there; the index on disk must not point at it any more.
  const std::uint64_t offset = live_ == 0 ? 0 : dataEnd_;
  if (offset == 0 && stored_ > 0 && dataEnd_ > 0 && !writeBack()) return false;
  if (offset + store::kArticleRecordSize > UINT32_MAX) return false;
  entry.offset = static_cast<std::uint32_t>(offset);
  article.length = store::kArticleRecordSize;
  if (!writeAt(offset, &article, sizeof article)) return false;
  handle = addSlot(entry);
  added_.push_back(handle);
  return changed();
}

bool BulkArticleFile::rewrite(store::ArticleRecord& article, std::int32_t handle) {
  if (handle < 0 || handle >= static_cast<std::int32_t>(entries_.size()) || !alive_[handle])
    return false;
  const std::size_t length = std::clamp<std::size_t>(article.length, 2, sizeof article);
  if (!writeAt(entries_[handle].offset, &article, length)) return false;
  // The entry takes the number as it is written now (its letter case).
  store::SetText(entries_[handle].key, store::GetText(article.number));
  return changed();
}

bool BulkArticleFile::read(store::ArticleRecord& article, std::int32_t handle) {
  if (handle < 0 || handle >= static_cast<std::int32_t>(entries_.size()) || !alive_[handle])
    return false;
  const std::uint64_t offset = entries_[handle].offset;
  const std::uint64_t runEnd = pendingAt_ + pending_.size();
  // A record wholly in the run is read from there, as the file would give it.
  if (!pending_.empty() && offset >= pendingAt_ && offset + 2 <= runEnd) {
    const std::uint8_t* at = pending_.data() + (offset - pendingAt_);
    const std::uint16_t stored = store::Load<std::uint16_t>(at);
    const std::size_t length = stored < 2 ? 2 : std::min<std::size_t>(stored, sizeof article);
    if (offset + length <= runEnd) {
      std::memset(&article, 0, sizeof article);
      std::memcpy(&article, at, length);
      return true;
    }
  }
  if (!pending_.empty() && offset < runEnd && offset + sizeof article > pendingAt_ && !flush())
    return false;
  return store::ReadFramedRecord(data_, offset, store::AsBytes(article), true) >= 0;
}

bool BulkArticleFile::remove(std::int32_t handle) {
  if (handle < 0 || handle >= static_cast<std::int32_t>(entries_.size()) || !alive_[handle])
    return false;
  alive_[handle] = 0;
  --live_;
  return changed();
}

void BulkArticleFile::collectOrder() {
  auto less = [this](std::int32_t a, std::int32_t b) {
    const int c = std::memcmp(folded_[a].data(), folded_[b].data(), sizeof(Folded));
    return c != 0 ? c < 0 : a < b;
  };
  std::sort(added_.begin(), added_.end(), less);
  std::vector<std::int32_t> merged;
  merged.reserve(live_);
  auto from = order_.begin();
  auto next = added_.begin();
  while (from != order_.end() || next != added_.end()) {
    std::int32_t slot;
    if (next == added_.end() || (from != order_.end() && !less(*next, *from)))
      slot = *from++;
    else
      slot = *next++;
    if (alive_[slot]) merged.push_back(slot);
  }
  order_ = std::move(merged);
  added_.clear();
}

bool BulkArticleFile::writeBack() {
  if (!flush() || (options_.sync && !data_.sync())) return false;
  collectOrder();
  std::vector<std::uint8_t> bytes(4 + order_.size() * sizeof(store::ArticleIndexEntry));
  store::Store<std::int32_t>(bytes.data(), static_cast<std::int32_t>(order_.size()) - 1);
  std::uint8_t* out = bytes.data() + 4;
  for (std::int32_t slot : order_) {
    std::memcpy(out, &entries_[slot], sizeof(store::ArticleIndexEntry));
    out += sizeof(store::ArticleIndexEntry);
  }
  platform::File next = store::CreateDataTemporary(app_, kNewIndexName);
  if (!next) return false;
  if (!next.write(bytes.data(), bytes.size()) || (options_.sync && !next.sync()) ||
      !app_.fileSystem->rename(app_.path(kNewIndexName), app_.path(store::kArticleIndexName))) {
    next.close();
    app_.fileSystem->remove(app_.path(kNewIndexName));
    return false;
  }
  // The old file is gone from the directory; the new one carries our lock.
  index_ = std::move(next);
  indexedEnd_ = dataEnd_;
  stored_ = static_cast<std::int32_t>(order_.size());
  app_.articles.lastIndex = stored_ - 1;
  changes_ = 0;
  lastWriteBack_ = std::chrono::steady_clock::now();
  if (options_.afterWriteBack) options_.afterWriteBack(stored_);
  return true;
}

bool BulkArticleFile::between() {
  if (changes_ == 0) return true;
  if ((options_.writeBackAfterChanges > 0 && changes_ >= options_.writeBackAfterChanges) ||
      std::chrono::steady_clock::now() - lastWriteBack_ >= options_.writeBackEvery)
    return writeBack();
  return true;
}

bool BulkArticleFile::finish() {
  if (!open_) return true;
  const bool saved = changes_ == 0 ? flush() : writeBack();
  // A failed run (a full disk) leaves the index on disk as it was written
  // back last: the records appended since are nobody's, and a record cut
  // short among them would stand in the way of every later append.
  if (!saved && dataEnd_ > indexedEnd_) data_.truncate(indexedEnd_);
  open_ = false;
  data_.close();
  index_.close();
  return saved;
}

}  // namespace datanorm
