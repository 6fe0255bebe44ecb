// The article file held for a whole import run.
//
// Read record by record, every insert rewrites the whole index and every
// lookup reads it whole; a catalogue of 100 000 articles would take hours.
// For the run this file holds ARTIKEL.IDX exclusively (other copies of the
// program wait in their open loop, as they wait for any index being
// written) and ARTIKEL.DAT with writing denied, keeps the index in memory
// (a hash of the keys under the collation for lookups) and appends records
// through a buffer. It stores exactly what the single operations would:
// records at the same offsets in the same order, the same entries in the
// same order; only stale entries behind the count, which a deletion leaves
// in the index file, are not kept.
//
// The index is written back whole: at the end of the run, when the run is
// stopped, and every few seconds in between, so a run that is cut off keeps
// what it had stored by then. A write-back never touches the index file in
// place. The records written so far go to ARTIKEL.DAT first; the complete
// new index is then written as ARTIKEL.NEU (locked exclusively while it is
// still a file nobody looks at), synced, and renamed over ARTIKEL.IDX. The
// rename replaces the name in one step, so whoever opens ARTIKEL.IDX -
// another copy of the program, or this one after being killed - finds
// either the previous complete index or the new complete one, each sorted
// and pointing only at records that are in ARTIKEL.DAT under their key
// (records are only appended or rewritten with their own key, never moved).
// Because the new file carries our lock from before the rename, the index
// stays held for the rest of the run; an opener that got hold of the old
// file in between finds, once it has the lock, that the name no longer
// leads to it and tries again (platform::FileSystem::open).
#ifndef BELVON_DATANORM_BULK_ARTICLE_FILE_H
#define BELVON_DATANORM_BULK_ARTICLE_FILE_H

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "datanorm/article_target.h"
#include "platform/file.h"
#include "store/index_entry.h"

namespace datanorm {

struct BulkOptions {
  // Write the index back at least this often while records change.
  std::chrono::milliseconds writeBackEvery{2000};
  // ... and after this many changes (0: by time only).
  std::int32_t writeBackAfterChanges = 0;
  std::size_t appendBuffer = std::size_t{1} << 20;
  // Records and the new index reach the disk before the rename, so that a
  // power failure, not only a killed program, leaves a sound index.
  bool sync = true;
  // Called after each complete write-back with the number of entries.
  std::function<void(std::int32_t entries)> afterWriteBack;
};

class BulkArticleFile : public ArticleTarget {
 public:
  explicit BulkArticleFile(frame::AppState& app, BulkOptions options = {});
  ~BulkArticleFile() override;

  // Takes both files and reads the index; false (files released) when they
  // cannot be had.
  bool open();

  bool find(std::string_view number, std::int32_t& handle) override;
  bool insert(store::ArticleRecord& article, std::int32_t& handle) override;
  bool rewrite(store::ArticleRecord& article, std::int32_t handle) override;
  bool read(store::ArticleRecord& article, std::int32_t handle) override;
  bool remove(std::int32_t handle) override;
  std::int32_t count() const override { return live_; }
  bool between() override;
  // Writes the index back and releases both files.
  bool finish() override;

 private:
  using Folded = std::array<std::uint8_t, 22>;

  std::int32_t addSlot(const store::ArticleIndexEntry& entry);
  void hashIn(std::int32_t slot);
  void growTable();
  bool writeAt(std::uint64_t offset, const void* bytes, std::size_t size);
  bool flush();
  bool writeBack();
  void collectOrder();
  bool changed();

  frame::AppState& app_;
  BulkOptions options_;
  platform::File index_;
  platform::File data_;
  bool open_ = false;

  std::vector<store::ArticleIndexEntry> entries_;  // by slot
  std::vector<Folded> folded_;                     // the key under the collation
  std::vector<std::uint8_t> alive_;
  std::vector<std::int32_t> table_;  // open addressing, slot or -1
  std::size_t tableUsed_ = 0;
  std::vector<std::int32_t> order_;  // slots in index order at the last write-back
  std::vector<std::int32_t> added_;  // slots inserted since
  std::int32_t live_ = 0;
  std::int32_t stored_ = 0;  // entries of the index file as it is on disk

  std::uint64_t dataEnd_ = 0;
  // Where the records that the index on disk knows end: what lies behind it
  // when the run fails is cut off, so that no half record stays.
  std::uint64_t indexedEnd_ = 0;
  std::uint64_t pendingAt_ = 0;
  std::vector<std::uint8_t> pending_;

  std::int32_t changes_ = 0;
  std::chrono::steady_clock::time_point lastWriteBack_;
};

}  // namespace datanorm

#endif  // BELVON_DATANORM_BULK_ARTICLE_FILE_H
