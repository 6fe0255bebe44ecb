#include "masterdata/moved_article.h"

#include <algorithm>

#include "store/text_field.h"

namespace masterdata {

void FollowMovedArticle(frame::AppState& app, std::int32_t oldOffset, std::int32_t newOffset,
                        std::string_view number) {
  if (oldOffset == newOffset) return;
  const int last =
      std::clamp<int>(app.order.lineCount, 0, static_cast<int>(app.orderLines.size()) - 1);
  for (int slot = 0; slot <= last; ++slot) {
    store::OrderLine& line = app.orderLines[slot];
    if (line.articleRef != oldOffset) continue;
    line.articleRef = newOffset;
    store::SetText(line.articleNumber, number);
  }
}

}  // namespace masterdata
