// The data structure test: does each index agree with its record file and
// with itself, and do the references between the files reach records? It
// only reads, and it reads the files in pieces (maintenance/record_walk.h).
#ifndef BELVON_MAINTENANCE_STRUCTURE_TEST_H
#define BELVON_MAINTENANCE_STRUCTURE_TEST_H

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "store/indexed_file.h"

namespace maintenance {

enum class Finding {
  // The index cannot be trusted: a run that copies what it reaches would
  // lose records. Rebuilding the index from the record file mends it.
  Damage,
  // A whole record that no entry reaches, but that an entry beyond the
  // header's count still names: the header lost it, or it was the last entry
  // deleted. Only the user can tell which.
  Unindexed,
  // Worth knowing, lost by nobody: unreadable stretches between the records,
  // references that reach no record (the reorganisation mends them).
  Note,
};

struct StructureProblem {
  Finding finding;
  const store::IndexLayout* file;
  std::string text;
  std::uint64_t recordOffset = 0;  // Unindexed: the record
  // Unindexed: a record the repair does not take back, but whose stale
  // entry it drops (a collective invoice an older version stored and
  // never issued).
  bool leaveOut = false;
};

// Articles, then orders, then addresses.
std::vector<StructureProblem> ExamineDataStructures(frame::AppState& app);
bool AnyOf(const std::vector<StructureProblem>& problems, Finding finding);

// The texts of all problems found. A file that cannot be read is one problem.
std::vector<std::string> FindStructureProblems(frame::AppState& app);

// The menu command: shows each problem, then "Test beendet !"; returns the
// number of problems.
int TestDataStructures(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_STRUCTURE_TEST_H
