// The data structure test: does every index entry of the three record files
// point at a record with the same key, and does every order agree with its
// index entry? It only reads.
#ifndef BELVON_MAINTENANCE_STRUCTURE_TEST_H
#define BELVON_MAINTENANCE_STRUCTURE_TEST_H

#include <string>
#include <vector>

#include "frame/app_state.h"

namespace maintenance {

// The problems found, one message each: articles, then orders, then
// addresses. A file that cannot be read is one problem.
std::vector<std::string> FindStructureProblems(frame::AppState& app);

// The menu command: shows each problem, then "Test beendet !"; returns the
// number of problems.
int TestDataStructures(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_STRUCTURE_TEST_H
