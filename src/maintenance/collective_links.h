// The links between collective invoices and the delivery notes they bill:
// every line of a collective invoice names an order of the same customer
// that is marked as billed by a collective invoice, and every order so
// marked is named by exactly one collective invoice. Only reported.
#ifndef BELVON_MAINTENANCE_COLLECTIVE_LINKS_H
#define BELVON_MAINTENANCE_COLLECTIVE_LINKS_H

#include <string>
#include <vector>

#include "maintenance/file_images.h"
#include "maintenance/record_walk.h"

namespace maintenance {

void CheckCollectiveLinks(IndexImage& orders, FileWindow& orderData,
                          std::vector<std::string>& problems);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_COLLECTIVE_LINKS_H
