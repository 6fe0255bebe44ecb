// The book of issued invoices against the orders: every order issued as an
// invoice has its record, every record its order with the issued mark, and
// both state the same date and total; damaged records are named. Only
// reported: nothing in the book is ever changed.
#ifndef BELVON_MAINTENANCE_ISSUE_BOOK_CHECK_H
#define BELVON_MAINTENANCE_ISSUE_BOOK_CHECK_H

#include <string>
#include <vector>

#include "maintenance/file_images.h"
#include "maintenance/record_walk.h"
#include "store/app_state.h"

namespace maintenance {

void CheckIssueBook(frame::AppState& app, IndexImage& orders, FileWindow& orderData,
                    std::vector<std::string>& problems);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_ISSUE_BOOK_CHECK_H
