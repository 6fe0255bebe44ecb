// A full disk for the length of a scope: the process's file size limit makes
// the system write what fits below it and refuse the rest (EFBIG), as a
// full disk does (ENOSPC), instead of ending the process.
#ifndef BELVON_TESTS_SUPPORT_FILE_SIZE_LIMIT_H
#define BELVON_TESTS_SUPPORT_FILE_SIZE_LIMIT_H

#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace testsupport {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::int64_t limit) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit now = old_;
    now.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_FSIZE, &now);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t previous_;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_FILE_SIZE_LIMIT_H
