// A changed article number moves the article to a new record; the store
// points every stored order line at it. The order open in the order pane
// lives in memory (its lines and the edited line) and must follow as well,
// or its next save or print writes the old reference back.
#ifndef BELVON_MASTERDATA_MOVED_ARTICLE_H
#define BELVON_MASTERDATA_MOVED_ARTICLE_H

#include <cstdint>
#include <string_view>

#include "store/app_state.h"

namespace masterdata {

// Every line of the order in memory, the edited line included, that refers
// to `oldOffset` is pointed at `newOffset` and takes the new number.
void FollowMovedArticle(frame::AppState& app, std::int32_t oldOffset, std::int32_t newOffset,
                        std::string_view number);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_MOVED_ARTICLE_H
