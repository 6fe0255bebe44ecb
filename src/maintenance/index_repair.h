// Mending what the structure test finds before a maintenance run may copy
// the files: the indexes are built again from their record files, walked by
// the records' length fields and keys, so no whole record is lost.
#ifndef BELVON_MAINTENANCE_INDEX_REPAIR_H
#define BELVON_MAINTENANCE_INDEX_REPAIR_H

#include <vector>

#include "store/app_state.h"
#include "maintenance/structure_test.h"

namespace maintenance {

// Builds each index with a problem anew: a damaged index from every whole
// record of its file (for each key the record the old index reached, else
// the one stored last), an index that lost records beyond its count from its
// good entries and those records. All new indexes are put in place in one
// step. 1 when done (told), 0 when nothing changed (told).
int RepairIndexes(frame::AppState& app, const std::vector<StructureProblem>& problems);

// Run before a reorganisation, the deletion of old invoices and the
// changeover: removes what an earlier run left behind, then tests the
// structures. On damage the run is refused and the repair offered; records
// that only entries beyond the count name are offered to be taken back.
// True when the run may go on.
bool MaintenanceMayRun(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_INDEX_REPAIR_H
