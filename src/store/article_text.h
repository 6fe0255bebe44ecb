// The searched text of the article file, kept in memory between word
// searches of "Artikel suchen", and checked against the files before each use.
//
// Why a copy of the text and not an index of words: the search finds a word
// anywhere inside a field ("10" in "3x10"), so a word index would have to
// hold every substring, and a trigram index needs a scan of the candidates
// anyway. The searched fields of a catalogue, upper-cased once and packed
// without their padding, are a fifth of ARTIKEL.DAT (100 MB for a million
// Datanorm articles, 150 MB with the index and the numbers), and one pass of
// memmem over them takes about 10 ms on each of two cores, well below the
// tenth of a second a search may take. Reading ARTIKEL.DAT itself, as the
// plain scan does, costs 250 ms and more for every search.
//
// What is kept:
//  - the counted entries of ARTIKEL.IDX, byte for byte, and from them the
//    article numbers as the index holds them, folded (a-z onto A-Z), in
//    index order: the search by number needs nothing else (the designation
//    of its at most 500 hits is read from ARTIKEL.DAT each time);
//  - for "allen Felder", the six searched fields of each record as the
//    plain scan reads them (number, designation, product group, remark 1,
//    remark 2, supplier), folded the same way, in buckets of consecutive
//    index positions. ARTIKEL.DAT is read once in the order of its offsets
//    (years of typing leave it far from index order), and each record goes
//    to the bucket of its index position; so a bucket holds its records in
//    file order, and its hits are sorted by position before the next bucket
//    is looked at. The search stops after the bucket in which the 501st hit
//    lies: a common word costs a few buckets, not the catalogue. The second
//    core looks through the later half of the buckets meanwhile, and gives
//    up once the earlier half alone holds 501. The text is written once
//    into fixed pages that a record never straddles (the last page of a
//    bucket cut to what it holds): no growing buffer doubles the memory
//    while it is built.
//
// When the kept text is trusted:
//  - the index is compared byte for byte with the kept entries at every
//    search (26 MB for a million articles: a few milliseconds), so any
//    insert, deletion, renaming or replaced index is seen, whatever its
//    times say;
//  - a record rewritten in place changes only ARTIKEL.DAT, which is far too
//    large to compare. Its identity (device, inode, size, modification and
//    inode change time in nanoseconds) is taken when the text is read, and
//    the text is used again only while the identity is unchanged. Two writes
//    within one tick of the file system's clock leave the same times, so a
//    text read while the file's last change was younger than `settleTime`
//    serves only the search that read it: a later write in that same tick
//    could not be told from it. A text read after that time is safe,
//    because any later write carries a later time. The three seconds cover
//    the two-second times of FAT and the coarse clocks of network shares;
//    a server whose clock runs behind ours by more than that could make two
//    writes within one of its ticks look like one.
//  - nothing is kept on the disk, so no stale or damaged file can mislead a
//    search, and another copy of the program needs to know nothing of it.
//
// A change of either file throws the field text away whole and reads
// ARTIKEL.DAT again, both halves of it at once on the two cores (at a million
// articles in well under the time of one plain scan): what changed in it
// cannot be known without reading it, and keeping the old text while the new
// one is built would double the memory. Both files are held read-locked by
// the caller throughout, as the plain scan holds them, so the text read is
// one state of the pair.
//
// No Qt, no user interface: the caller passes a test for Esc and shows the
// progress.
#ifndef BELVON_STORE_ARTICLE_TEXT_H
#define BELVON_STORE_ARTICLE_TEXT_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "store/app_state.h"
#include "store/indexed_file.h"

namespace store {

class ArticleText {
 public:
  struct Tuning {
    // Index positions per bucket of the field text.
    std::int32_t bucketEntries = 4096;
    // Bytes per page of text; at least one record's text (512).
    std::size_t pageBytes = 32768;
    // Text size from which a search runs on two threads.
    std::size_t parallelFrom = std::size_t{4} << 20;
    // Entries from which ARTIKEL.DAT is read by two threads.
    std::size_t parallelBuildFrom = 65536;
    // How old the last change of ARTIKEL.DAT must be for its text to be kept.
    std::chrono::nanoseconds settleTime = std::chrono::seconds(3);
    // Bytes read from ARTIKEL.DAT at a time.
    std::size_t readBlock = std::size_t{1} << 20;
  };
  Tuning tuning;

  // Reads the header of the open, read-locked ARTIKEL.IDX and compares its
  // entries with the kept ones; when they differ the entries are taken in,
  // the numbers folded anew and the field text dropped. `last` is the
  // header's count as ReadLastIndex gives it. False, with nothing kept, when
  // the index could not be read.
  bool takeIndex(platform::File& index, std::int32_t& last);
  // The entries taken in last.
  const IndexBlock& index() const { return index_; }

  // Up to `limit` index positions, ascending, whose article number (as the
  // index holds it, folded) contains every word. The words are folded.
  std::vector<std::int32_t> findNumbers(const std::vector<std::string>& words,
                                        std::size_t limit) const;

  // True when the field text was read from the open ARTIKEL.DAT as it is now
  // and from the entries taken in last.
  bool fieldsCurrent(platform::File& data) const;

  enum class Build { Done, Cancelled, Failed };
  // Reads the field text of every entry from the open, read-locked
  // ARTIKEL.DAT, in offset order. `stop` is asked before the k-th record
  // (k counting in that order; on two threads, k counts about the records
  // of both) and ends the reading when it says so (Cancelled): the text then
  // holds the records read until then, for one search, and is not current.
  // Failed, with no text, when a read gave less than the file holds.
  Build buildFields(platform::File& data, const std::function<bool(std::int32_t k)>& stop);

  // Up to `limit` index positions, ascending, whose fields contain every
  // word, each in one of the six fields. The words are folded.
  std::vector<std::int32_t> findFields(const std::vector<std::string>& words,
                                       std::size_t limit) const;

  void dropFields();
  // Bytes held, for the benchmark.
  std::size_t heldBytes() const;

 private:
  struct Page {
    std::unique_ptr<char[]> text;       // each record's text ends with a zero byte
    std::uint32_t size = 0;
    std::vector<std::uint32_t> starts;  // where each record begins
    std::vector<std::int32_t> positions;
  };
  using Bucket = std::vector<Page>;

  struct Filled {
    bool cancelled = false;
    bool failed = false;
    std::size_t bytes = 0;
  };
  // Reads the records at `byOffset` (ascending) into `buckets`.
  void fill(platform::File& data, std::span<const std::pair<std::uint32_t, std::int32_t>> byOffset,
            std::vector<Bucket>& buckets, const std::function<bool(std::int32_t k)>& stop,
            Filled& filled) const;
  void takeNumbers();
  void dropAll();
  void scanBuckets(std::size_t from, std::size_t to, const std::vector<std::string>& words,
                   std::size_t limit, std::vector<std::int32_t>& hits,
                   const std::function<bool()>& enough) const;

  IndexBlock index_;
  std::string numbers_;                     // folded numbers, each ended by a zero byte
  std::vector<std::uint32_t> numberStarts_;  // per index position
  std::vector<Bucket> buckets_;
  std::size_t fieldBytes_ = 0;
  bool fieldsRead_ = false;  // whole, from the entries taken in last
  bool settled_ = false;     // and ARTIKEL.DAT had been still long enough
  platform::FileIdentity data_;
};

// The kept text of the program that `app` is, made on first use.
ArticleText& KeptArticleText(frame::AppState& app);

}  // namespace store

#endif  // BELVON_STORE_ARTICLE_TEXT_H
