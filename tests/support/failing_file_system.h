// File systems that fail on purpose: the Nth call of one kind (the Nth read,
// the Nth write, ...) counted over every file, or every write while the file
// opened last is the named one (RECHNUNG.DAT, KUNDEN.DAT, BELVON.PAR ...).
#ifndef BELVON_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H
#define BELVON_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H

#include <string>

#include "platform/file.h"

namespace testsupport {

class FailingFileSystem : public platform::FileSystem {
 public:
  FailingFileSystem(platform::IoOp op, int failAt) : op_(op), failAt_(failAt) {}

  bool injectFault(platform::IoOp op, const std::string&) override {
    return op == op_ && ++calls_ == failAt_;
  }
  // Whether the operation got as far as the call that fails.
  bool reached() const { return calls_ >= failAt_; }

 private:
  platform::IoOp op_;
  int failAt_;
  int calls_ = 0;
};

class FailingWritesTo : public platform::FileSystem {
 public:
  explicit FailingWritesTo(std::string file = {}) : file(std::move(file)) {}
  bool injectFault(platform::IoOp op, const std::string& path) override {
    if (op == platform::IoOp::Open) opened_ = path;
    return op == platform::IoOp::Write && !file.empty() && opened_.ends_with(file);
  }
  std::string file;

 private:
  std::string opened_;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H
