#include "store/product_group_table.h"

#include <algorithm>

#include "store/app_state.h"
#include "store/data_file.h"
#include "store/text_field.h"

namespace store {

std::string_view ProductGroupTable::name(int i) const {
  if (i < 0 || i >= kProductGroupCapacity) return {};
  return GetText(entries[static_cast<std::size_t>(i)].data(), kProductGroupNameSize);
}

std::vector<std::string_view> ProductGroupTable::offered() const {
  std::vector<std::string_view> names;
  for (int i = 1; i <= lastIndex && i < kProductGroupCapacity; ++i) names.push_back(name(i));
  return names;
}

void LoadProductGroups(frame::AppState& app) {
  ProductGroupTable& table = app.productGroups;
  std::fill(table.entries.begin(), table.entries.end(), ProductGroupTable::Name{});
  table.lastIndex = 0;
  platform::File file =
      OpenDataOnce(app, kProductGroupFileName, platform::Access::Read, platform::Share::DenyWrite);
  if (!file) return;
  std::int64_t size = std::max<std::int64_t>(file.size(), 0);
  // A file of more than 3000 names is read up to the table's end; the rest
  // would have nowhere to go.
  std::int64_t count = std::min<std::int64_t>(size / kProductGroupNameSize, kProductGroupCapacity);
  std::size_t got = 0;
  if (count > 0)
    got = file.read(table.entries.data(), static_cast<std::size_t>(count) * kProductGroupNameSize);
  table.lastIndex = static_cast<std::int16_t>(got / kProductGroupNameSize) - 1;
}

}  // namespace store
