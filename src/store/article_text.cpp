#include "store/article_text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "store/article_record.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/text_field.h"

namespace store {

namespace {

constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = static_cast<char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
  return table;
}
constexpr std::array<char, 256> kFold = MakeFoldTable();

// The longest text one record can give: six fields at their widths less
// their terminators, five blanks and the zero byte.
constexpr std::size_t kLongestRecordText = 21 + 41 + 21 + 41 + 255 + 11 + 5 + 1;

// Bytes of the index compared at a time.
constexpr std::size_t kCompareChunk = std::size_t{1} << 20;

char Fold(char c) {
  return static_cast<char>(static_cast<unsigned char>(c - 'a') < 26 ? c - 'a' + 'A' : c);
}

void AppendFolded(std::string& out, std::string_view text) {
  for (char c : text) out.push_back(Fold(c));
}

// The searched fields of a record (the bytes RecordWindow::view gives, all
// else zero), folded and joined by blanks (no word holds a blank, so none
// matches across two fields), written to `out`; their length. An empty
// field, and one equal to a field before it (a Datanorm article's remark 1
// is often its designation), adds nothing a word could be found in.
std::size_t RecordText(std::span<const std::uint8_t> record, char* out) {
  struct Field {
    std::size_t offset, width;
  };
  static constexpr Field kFields[] = {
      {offsetof(ArticleRecord, number), sizeof(ArticleRecord::number)},
      {offsetof(ArticleRecord, designation), sizeof(ArticleRecord::designation)},
      {offsetof(ArticleRecord, productGroup), sizeof(ArticleRecord::productGroup)},
      {offsetof(ArticleRecord, remark1), sizeof(ArticleRecord::remark1)},
      {offsetof(ArticleRecord, remark2), sizeof(ArticleRecord::remark2)},
      {offsetof(ArticleRecord, supplier), sizeof(ArticleRecord::supplier)}};
  std::string_view texts[std::size(kFields)];
  char* to = out;
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const Field& field = kFields[i];
    if (field.offset >= record.size()) break;  // zero from here on
    const char* from = reinterpret_cast<const char*>(record.data()) + field.offset;
    const std::size_t width = std::min(field.width, record.size() - field.offset);
    const void* zero = std::memchr(from, '\0', width);
    texts[i] = {from, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - from) : width};
    if (texts[i].empty() || std::find(texts, texts + i, texts[i]) != texts + i) continue;
    if (to != out) *to++ = ' ';
    for (char c : texts[i]) *to++ = Fold(c);
  }
  return static_cast<std::size_t>(to - out);
}

// Sorts the pairs by offset, equal offsets in the order they come (which is
// index order): four passes over a byte of the offset each.
void SortByOffset(std::vector<std::pair<std::uint32_t, std::int32_t>>& pairs) {
  std::vector<std::pair<std::uint32_t, std::int32_t>> other(pairs.size());
  for (int shift = 0; shift < 32; shift += 8) {
    std::size_t counts[257] = {};
    for (const auto& p : pairs) ++counts[((p.first >> shift) & 255) + 1];
    if (std::find(std::begin(counts), std::end(counts), pairs.size()) != std::end(counts)) continue;
    for (int d = 0; d < 256; ++d) counts[d + 1] += counts[d];
    for (const auto& p : pairs) other[counts[(p.first >> shift) & 255]++] = p;
    pairs.swap(other);
  }
}

// The word searched for with memmem; the others are looked for only in the
// records that hold it. The longest word is the likeliest to be rare.
std::size_t LeadingWord(const std::vector<std::string>& words) {
  std::size_t lead = 0;
  for (std::size_t i = 1; i < words.size(); ++i)
    if (words[i].size() > words[lead].size()) lead = i;
  return lead;
}

// Calls hit(r) for each record r of `text` (records begin at `starts` and
// end with a zero byte) that holds every word, in text order, until hit
// returns false.
template <typename Hit>
void ScanRecords(std::string_view text, const std::vector<std::uint32_t>& starts,
                 const std::vector<std::string>& words, std::size_t lead, Hit&& hit) {
  const std::string& first = words[lead];
  const char* base = text.data();
  std::size_t at = 0;
  while (at < text.size()) {
    const void* found = ::memmem(base + at, text.size() - at, first.data(), first.size());
    if (!found) return;
    const auto where = static_cast<std::size_t>(static_cast<const char*>(found) - base);
    const std::size_t r = static_cast<std::size_t>(
        std::upper_bound(starts.begin(), starts.end(), where) - starts.begin() - 1);
    const std::size_t begin = starts[r];
    const char* endByte = static_cast<const char*>(std::memchr(base + where, '\0', text.size() - where));
    const std::size_t end = endByte ? static_cast<std::size_t>(endByte - base) : text.size();
    bool all = true;
    for (std::size_t i = 0; all && i < words.size(); ++i)
      all = i == lead || ::memmem(base + begin, end - begin, words[i].data(), words[i].size());
    if (all && !hit(r)) return;
    at = end + 1;
  }
}

enum class IndexComparison { Same, Differs, Failed };

// Compares the entries of the open index, read from behind its header, with
// `kept`, a piece at a time.
IndexComparison CompareIndex(platform::File& index, const std::vector<std::uint8_t>& kept) {
  std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kCompareChunk]);
  for (std::size_t at = 0; at < kept.size(); at += kCompareChunk) {
    const std::size_t n = std::min(kCompareChunk, kept.size() - at);
    if (!index.readExact(chunk.get(), n)) return IndexComparison::Failed;
    if (std::memcmp(chunk.get(), kept.data() + at, n) != 0) return IndexComparison::Differs;
  }
  return IndexComparison::Same;
}

}  // namespace

bool ArticleText::takeIndex(platform::File& index, std::int32_t& last) {
  if (ReadLastIndex(kArticleLayout, index, last)) {
    const std::size_t size = static_cast<std::size_t>(last + 1) * kArticleLayout.entrySize;
    const IndexComparison comparison =
        index_.layout && index_.count == last + 1 ? CompareIndex(index, index_.bytes) : IndexComparison::Differs;
    if (comparison == IndexComparison::Same) return true;
    // The memory of the old copy goes before the new one is read.
    dropAll();
    IndexBlock fresh;
    fresh.layout = &kArticleLayout;
    fresh.bytes.resize(size);
    fresh.count = last + 1;
    if (comparison == IndexComparison::Differs &&
        (size == 0 || (index.seek(kArticleLayout.headerSize) && index.readExact(fresh.bytes.data(), size)))) {
      index_ = std::move(fresh);
      takeNumbers();
      return true;
    }
  }
  dropAll();
  return false;
}

void ArticleText::dropAll() {
  dropFields();
  index_ = {};
  numbers_ = {};
  numberStarts_ = {};
}

void ArticleText::takeNumbers() {
  std::size_t total = 0;
  for (std::int32_t i = 0; i < index_.count; ++i) total += index_.key(i).size() + 1;
  numbers_.clear();
  numbers_.reserve(total);
  numberStarts_.resize(static_cast<std::size_t>(index_.count));
  for (std::int32_t i = 0; i < index_.count; ++i) {
    numberStarts_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(numbers_.size());
    AppendFolded(numbers_, index_.key(i));
    numbers_.push_back('\0');
  }
}

std::vector<std::int32_t> ArticleText::findNumbers(const std::vector<std::string>& words,
                                                   std::size_t limit) const {
  std::vector<std::int32_t> hits;
  if (words.empty() || limit == 0) return hits;
  ScanRecords(numbers_, numberStarts_, words, LeadingWord(words), [&](std::size_t r) {
    hits.push_back(static_cast<std::int32_t>(r));
    return hits.size() < limit;
  });
  return hits;
}

bool ArticleText::fieldsCurrent(platform::File& data) const {
  platform::FileIdentity now;
  return fieldsRead_ && settled_ && data.identity(now) && now == data_;
}

void ArticleText::dropFields() {
  std::vector<Bucket>().swap(buckets_);
  fieldBytes_ = 0;
  fieldsRead_ = false;
  settled_ = false;
  data_ = {};
}

ArticleText::Build ArticleText::buildFields(platform::File& data,
                                            const std::function<bool(std::int32_t k)>& stop) {
  dropFields();
  platform::FileIdentity before;
  if (!data.identity(before)) return Build::Failed;
  const std::int64_t startedAt = platform::NowNanoseconds();

  const std::int32_t count = index_.count;
  std::vector<std::pair<std::uint32_t, std::int32_t>> byOffset(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) byOffset[static_cast<std::size_t>(i)] = {index_.recordOffset(i), i};
  if (!std::is_sorted(byOffset.begin(), byOffset.end())) SortByOffset(byOffset);
  const std::span<const std::pair<std::uint32_t, std::int32_t>> all(byOffset);

  const std::int32_t perBucket = std::max(tuning.bucketEntries, 1);
  const auto buckets = static_cast<std::size_t>((std::int64_t{count} + perBucket - 1) / perBucket);
  buckets_.resize(buckets);
  Filled filled;
  bool parallel = false;
  if (count >= 2 && static_cast<std::size_t>(count) >= tuning.parallelBuildFrom) {
    // The second core reads the later half of the file into buckets of its
    // own; a bucket's pages from both halves together are its records, in
    // file order still. Esc stops both.
    const std::size_t half = all.size() / 2;
    std::vector<Bucket> later(buckets);
    Filled laterFilled;
    std::atomic<bool> stopped{false};
    std::thread helper;
    try {
      helper = std::thread([&] {
        fill(data, all.subspan(half), later, [&](std::int32_t) { return stopped.load(std::memory_order_relaxed); },
             laterFilled);
      });
      parallel = true;
    } catch (const std::system_error&) {
    }
    if (parallel) {
      fill(data, all.first(half), buckets_,
           [&](std::int32_t k) {
             const bool now = stop && stop(static_cast<std::int32_t>(std::int64_t{k} * count / std::int64_t(half)));
             if (now) stopped.store(true, std::memory_order_relaxed);
             return now;
           },
           filled);
      helper.join();
      for (std::size_t b = 0; b < buckets; ++b)
        for (Page& page : later[b]) buckets_[b].push_back(std::move(page));
      filled.cancelled = filled.cancelled || laterFilled.cancelled;
      filled.failed = filled.failed || laterFilled.failed;
      filled.bytes += laterFilled.bytes;
    }
  }
  if (!parallel) fill(data, all, buckets_, stop, filled);
  if (filled.failed) {
    dropFields();
    return Build::Failed;
  }
  fieldBytes_ = filled.bytes;
  if (filled.cancelled) return Build::Cancelled;

  platform::FileIdentity after;
  fieldsRead_ = true;
  data_ = before;
  settled_ = data.identity(after) && after == before &&
             std::max(before.modified, before.changed) + tuning.settleTime.count() < startedAt;
  return Build::Done;
}

void ArticleText::fill(platform::File& data, std::span<const std::pair<std::uint32_t, std::int32_t>> byOffset,
                       std::vector<Bucket>& buckets, const std::function<bool(std::int32_t k)>& stop,
                       Filled& filled) const {
  const std::int32_t perBucket = std::max(tuning.bucketEntries, 1);
  const std::size_t pageBytes = std::max(tuning.pageBytes, kLongestRecordText);
  RecordWindow window(data, tuning.readBlock, sizeof(ArticleRecord));
  for (std::size_t k = 0; k < byOffset.size(); ++k) {
    if (stop && stop(static_cast<std::int32_t>(k))) {
      filled.cancelled = true;
      break;
    }
    const auto [offset, position] = byOffset[k];
    std::span<const std::uint8_t> record;
    if (!window.view(offset, record)) continue;  // as the plain scan skips it
    Bucket& bucket = buckets[static_cast<std::size_t>(position / perBucket)];
    // A page takes records while the longest still fits.
    if (bucket.empty() || bucket.back().size + kLongestRecordText > pageBytes) {
      bucket.emplace_back();
      bucket.back().text.reset(new char[pageBytes]);
    }
    Page& page = bucket.back();
    char* out = page.text.get() + page.size;
    const std::size_t length = RecordText(record, out);
    if (length == 0) continue;
    out[length] = '\0';
    page.starts.push_back(page.size);
    page.positions.push_back(position);
    page.size += static_cast<std::uint32_t>(length + 1);
    filled.bytes += length + 1;
  }
  filled.failed = window.failed();
  // The last page of each bucket gives back what it did not use.
  for (Bucket& bucket : buckets) {
    if (bucket.empty()) continue;
    Page& last = bucket.back();
    std::unique_ptr<char[]> exact(new char[last.size]);
    std::memcpy(exact.get(), last.text.get(), last.size);
    last.text = std::move(exact);
  }
}

void ArticleText::scanBuckets(std::size_t from, std::size_t to, const std::vector<std::string>& words,
                              std::size_t limit, std::vector<std::int32_t>& hits,
                              const std::function<bool()>& enough) const {
  const std::size_t lead = LeadingWord(words);
  for (std::size_t b = from; b < to; ++b) {
    if (enough && enough()) return;
    const std::size_t before = hits.size();
    for (const Page& page : buckets_[b])
      ScanRecords({page.text.get(), page.size}, page.starts, words, lead, [&](std::size_t r) {
        hits.push_back(page.positions[r]);
        return true;
      });
    // A bucket holds its records in file order.
    std::sort(hits.begin() + static_cast<std::ptrdiff_t>(before), hits.end());
    if (hits.size() >= limit) {
      hits.resize(limit);
      return;
    }
  }
}

std::vector<std::int32_t> ArticleText::findFields(const std::vector<std::string>& words,
                                                  std::size_t limit) const {
  std::vector<std::int32_t> hits;
  if (words.empty() || limit == 0 || buckets_.empty()) return hits;
  const std::size_t n = buckets_.size();
  if (fieldBytes_ < tuning.parallelFrom || n < 2) {
    scanBuckets(0, n, words, limit, hits, {});
    return hits;
  }
  // The second core takes the later half of the text. Once the first half
  // holds `limit` hits the later one cannot add any, and its thread stops.
  std::size_t mid = 0;
  for (std::size_t bytes = 0; mid < n - 1 && 2 * bytes < fieldBytes_; ++mid)
    for (const Page& page : buckets_[mid]) bytes += page.size;
  mid = std::max<std::size_t>(mid, 1);
  std::atomic<bool> firstFull{false};
  std::vector<std::int32_t> later;
  std::thread helper;
  try {
    helper = std::thread([&] {
      scanBuckets(mid, n, words, limit, later, [&] { return firstFull.load(std::memory_order_relaxed); });
    });
  } catch (const std::system_error&) {
    scanBuckets(0, n, words, limit, hits, {});
    return hits;
  }
  scanBuckets(0, mid, words, limit, hits, {});
  if (hits.size() >= limit) firstFull.store(true, std::memory_order_relaxed);
  helper.join();
  for (std::size_t i = 0; i < later.size() && hits.size() < limit; ++i) hits.push_back(later[i]);
  return hits;
}

std::size_t ArticleText::heldBytes() const {
  std::size_t bytes = index_.bytes.capacity() + numbers_.capacity() +
                      numberStarts_.capacity() * sizeof(std::uint32_t) +
                      buckets_.capacity() * sizeof(Bucket);
  const std::size_t pageBytes = std::max(tuning.pageBytes, kLongestRecordText);
  for (const Bucket& bucket : buckets_) {
    bytes += bucket.capacity() * sizeof(Page);
    for (const Page& page : bucket)
      bytes += (&page == &bucket.back() ? page.size : pageBytes) +
               page.starts.capacity() * sizeof(std::uint32_t) +
               page.positions.capacity() * sizeof(std::int32_t);
  }
  return bytes;
}

ArticleText& KeptArticleText(frame::AppState& app) {
  if (!app.articleText.value) app.articleText.value = std::make_shared<ArticleText>();
  return *app.articleText.value;
}

}  // namespace store
