// What the article pane says about the search its browsing follows: after
// "Suchen [F5]" the keys < [F7] and > [F8] step through the hits only, and
// the pane shows so ("Suche: KABEL — 3 von 12") until the search is ended.
#ifndef BELVON_MASTERDATA_ACTIVE_SEARCH_H
#define BELVON_MASTERDATA_ACTIVE_SEARCH_H

#include <cstdint>
#include <string>

#include "store/app_state.h"

namespace masterdata {

// True while browsing follows anything but the plain run of all articles
// (a search or an article selection).
bool ArticleBrowsingFiltered(const frame::AppState& app);

// The line the pane shows while browsing is filtered, UTF-8; empty when it
// is not. A search names its text, the place of the current article among
// the hits and their number; a selection of the menu says only that it is on.
std::string ActiveArticleSearchLine(frame::AppState& app);

// True while browsing follows a word search ("Suchen [F5]").
bool BrowsingFollowsWordSearch(const frame::AppState& app);
// The hit of that search after (or before) the current article, by its
// index position; false when there is none. The keys step through exactly
// the hits the search listed, "allen Felder" too.
bool StepThroughWordSearch(frame::AppState& app, bool forward, std::int32_t& position);

// Browsing goes back to every article; the current article stays.
void EndArticleSearch(frame::AppState& app);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_ACTIVE_SEARCH_H
