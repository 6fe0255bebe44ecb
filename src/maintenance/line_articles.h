// Order lines that name another article than the one they refer to: a line
// typed by hand in an older program kept the reference 0, the first article,
// and booking would take its quantity off that article's stock. Such lines
// are only reported; the user decides what to do with them.
#ifndef BELVON_MAINTENANCE_LINE_ARTICLES_H
#define BELVON_MAINTENANCE_LINE_ARTICLES_H

#include <string>
#include <vector>

#include "maintenance/file_images.h"
#include "maintenance/record_walk.h"

namespace maintenance {

// One message per line of an indexed order whose article reference points
// at an article with another number than the line's (or at no article).
void CheckLineArticles(IndexImage& orders, FileWindow& orderData, FileWindow& articleData,
                       std::vector<std::string>& problems);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_LINE_ARTICLES_H
