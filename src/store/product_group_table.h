// The product groups offered by the article dialogs, loaded from
// "WARENGR.DAT": 21-byte zero-terminated names without a header, sorted under
// the key collation. Layout: doc/formats/article-file.md.
#ifndef BELVON_STORE_PRODUCT_GROUP_TABLE_H
#define BELVON_STORE_PRODUCT_GROUP_TABLE_H

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace frame {
struct AppState;
}

namespace store {

inline constexpr int kProductGroupNameSize = 21;
inline constexpr int kProductGroupCapacity = 3000;

struct ProductGroupTable {
  using Name = std::array<char, kProductGroupNameSize>;
  std::vector<Name> entries = std::vector<Name>(kProductGroupCapacity, Name{});
  std::int16_t lastIndex = 0;

  std::string_view name(int i) const;
  // The names the dialogs offer: entries 1 .. last index (entry 0 is the
  // lowest name, the empty one as soon as an article has no group).
  std::vector<std::string_view> offered() const;
};

// Loads the file into app.productGroups: a single attempt with writing denied
// to others. Not opened: all zero with last index 0. Opened: the first (at
// most 3000) entries; the last index never points past what was loaded.
void LoadProductGroups(frame::AppState& app);

}  // namespace store

#endif  // BELVON_STORE_PRODUCT_GROUP_TABLE_H
