// The test at start-up that file locks work in the data directory. Several
// workstations share one directory on a file server; the locks that keep
// their copies of the program apart are then the network file system's, and
// a mount that ignores them (SMB "nobrl", NFS "nolock") lets two copies
// write into the same index at once.
#ifndef BELVON_MAINTENANCE_LOCK_TEST_H
#define BELVON_MAINTENANCE_LOCK_TEST_H

#include <string>

#include "store/app_state.h"

namespace maintenance {

inline constexpr const char* kLockProbeName = "SPERRE.TST";

// Two opens of a probe file: while the first holds it exclusively, the
// second must be refused. True when locks work (or the directory cannot be
// written, where there is nothing to protect).
bool LocksWork(frame::AppState& app);

// The warning naming the mount options; `mountOption` is the option found on
// the directory's mount, empty when none was recognised.
std::string LockWarningText(const std::string& directory, const std::string& mountOption);

// The lock option of the mount that holds `directory` ("nobrl", "nolock",
// "local_lock=..."), read from /proc/self/mountinfo; empty when none.
std::string LockIgnoringMountOption(const std::string& directory);

// Runs the test and warns once when locks do not work; true when they do.
bool CheckLocks(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_LOCK_TEST_H
