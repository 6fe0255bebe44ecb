#include "store/discount_file.h"

#include <algorithm>
#include <vector>

#include "core/user_interface.h"
#include "store/data_file.h"
#include "store/discount_entry.h"
#include "store/record_append.h"

namespace store {

namespace {

using platform::Access;
using platform::Share;

constexpr std::int64_t kEntriesPerBlock = 4096;

// Rewrites, in place, every entry for which `pick` returns the field to move.
template <typename Pick>
int RewriteReference(frame::AppState& app, std::int32_t oldRef, std::int32_t newRef, Pick pick,
                     bool* changedAny) {
  platform::File file = OpenData(app, kDiscountFileName, Access::ReadWrite, Share::Exclusive);
  if (!file) return 0;
  std::int64_t count = std::max<std::int64_t>(file.size(), 0) / kDiscountEntrySize;
  std::vector<DiscountEntry> block;
  for (std::int64_t first = 0; first < count; first += kEntriesPerBlock) {
    std::int64_t n = std::min(kEntriesPerBlock, count - first);
    block.resize(static_cast<std::size_t>(n));
    if (!file.seek(static_cast<std::uint64_t>(first) * kDiscountEntrySize) ||
        !file.readExact(block.data(), block.size() * kDiscountEntrySize))
      return 0;
    bool changed = false;
    for (DiscountEntry& entry : block) {
      std::int32_t value = pick(entry);
      if (value != oldRef) continue;
      pick(entry, newRef);
      changed = true;
    }
    if (!changed) continue;
    if (changedAny) *changedAny = true;
    if (!file.seek(static_cast<std::uint64_t>(first) * kDiscountEntrySize) ||
        !file.write(block.data(), block.size() * kDiscountEntrySize))
      return 0;
  }
  return 1;
}

struct ArticleField {
  std::int32_t operator()(const DiscountEntry& e) const { return e.articleRef; }
  void operator()(DiscountEntry& e, std::int32_t v) const { e.articleRef = v; }
};

struct CustomerField {
  std::int32_t operator()(const DiscountEntry& e) const { return e.customerRef; }
  void operator()(DiscountEntry& e, std::int32_t v) const { e.customerRef = v; }
};

}  // namespace

std::int16_t LookupDiscount(frame::AppState& app, std::int32_t customerRef,
                            std::int32_t articleRef) {
  frame::WaitCursor wait(app.ui);
  platform::File file = OpenData(app, kDiscountFileName, Access::Read, Share::DenyWrite);
  if (!file) return 0;
  // From the end backwards, a block at a time: the newest entry wins. A
  // trailing partial entry is never read.
  std::int64_t count = std::max<std::int64_t>(file.size(), 0) / kDiscountEntrySize;
  std::vector<DiscountEntry> block;
  for (std::int64_t end = count; end > 0;) {
    std::int64_t first = std::max<std::int64_t>(end - kEntriesPerBlock, 0);
    block.resize(static_cast<std::size_t>(end - first));
    if (!file.seek(static_cast<std::uint64_t>(first) * kDiscountEntrySize) ||
        !file.readExact(block.data(), block.size() * kDiscountEntrySize))
      return 0;
    for (auto it = block.rbegin(); it != block.rend(); ++it)
      if (it->customerRef == customerRef && it->articleRef == articleRef) return it->discount;
    end = first;
  }
  return 0;
}

int AppendDiscount(frame::AppState& app, const OrderLine& line) {
  // A line without article has no article to remember a discount for.
  if (line.discount == 0 || line.articleRef < 0) return 1;
  DiscountEntry entry{};
  entry.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
  entry.articleRef = line.articleRef;
  entry.discount = line.discount;
  platform::File file = OpenData(app, kDiscountFileName, Access::ReadWrite, Share::Exclusive);
  if (!file) return 0;
  std::uint64_t end = 0;
  if (!file.seekToEnd(&end)) return 0;
  // Append after the last whole entry, so that a torn tail cannot shift
  // every later entry out of step.
  end -= end % kDiscountEntrySize;
  return WriteRecordBytes(file, end, &entry, sizeof entry) ? 1 : 0;
}

int RewriteArticleReference(frame::AppState& app, std::int32_t oldRef, std::int32_t newRef,
                            bool* changed) {
  return RewriteReference(app, oldRef, newRef, ArticleField{}, changed);
}

int RewriteCustomerReference(frame::AppState& app, std::int32_t oldRef, std::int32_t newRef,
                             bool* changed) {
  return RewriteReference(app, oldRef, newRef, CustomerField{}, changed);
}

}  // namespace store
