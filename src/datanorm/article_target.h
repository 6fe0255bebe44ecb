// Where the import stores articles: the record store one operation at a
// time, or the bulk article file of a run. A handle names an article found or
// stored; it stays valid until the next insert or removal.
#ifndef BELVON_DATANORM_ARTICLE_TARGET_H
#define BELVON_DATANORM_ARTICLE_TARGET_H

#include <cstdint>
#include <string_view>

#include "store/app_state.h"
#include "store/article_record.h"

namespace datanorm {

class ArticleTarget {
 public:
  virtual ~ArticleTarget() = default;
  // The article whose number equals `number` under the collation.
  virtual bool find(std::string_view number, std::int32_t& handle) = 0;
  virtual bool insert(store::ArticleRecord& article, std::int32_t& handle) = 0;
  // Writes the article over the one at `handle` (same number under the
  // collation), with the length its record field carries.
  virtual bool rewrite(store::ArticleRecord& article, std::int32_t handle) = 0;
  virtual bool read(store::ArticleRecord& article, std::int32_t handle) = 0;
  virtual bool remove(std::int32_t handle) = 0;
  // Articles in the file now.
  virtual std::int32_t count() const = 0;
  // Between lines: a chance to save what was stored so far. False when the
  // files cannot be written any more.
  virtual bool between() { return true; }
  // The end of the run (also when it was stopped); false when what was
  // stored could not be saved.
  virtual bool finish() { return true; }
};

// The record store's operations as they stand: every insert rewrites the
// index and every lookup reads it whole.
class RecordTarget : public ArticleTarget {
 public:
  explicit RecordTarget(frame::AppState& app) : app_(app) {}
  bool find(std::string_view number, std::int32_t& handle) override;
  bool insert(store::ArticleRecord& article, std::int32_t& handle) override;
  bool rewrite(store::ArticleRecord& article, std::int32_t handle) override;
  bool read(store::ArticleRecord& article, std::int32_t handle) override;
  bool remove(std::int32_t handle) override;
  std::int32_t count() const override { return app_.articles.lastIndex + 1; }

 private:
  frame::AppState& app_;
};

}  // namespace datanorm

#endif  // BELVON_DATANORM_ARTICLE_TARGET_H
