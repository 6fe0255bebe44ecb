// File systems that fail on purpose: the Nth call of one kind (the Nth read,
// the Nth write, ...) counted over every file, or every write while the file
// opened last is the named one (RECHNUNG.DAT, KUNDEN.DAT, BELVON.PAR ...), or
// every call of one kind on a named file.
#ifndef BELVON_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H
#define BELVON_TESTS_SUPPORT_FAILING_FILE_SYSTEM_H

#include <cerrno>
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

// Fails every call of one kind on a path naming `name` (on every path when
// `name` is empty), with `error` in errno as the system would set it.
class FailingCalls : public platform::FileSystem {
 public:
  FailingCalls(platform::IoOp op, std::string name = {}, int error = 0)
      : op(op), name(std::move(name)), error(error) {}
  bool injectFault(platform::IoOp o, const std::string& path) override {
    if (o != op || (!path.empty() && path.find(name) == std::string::npos)) return false;
    errno = error;
    return true;
  }
  platform::IoOp op;
  std::string name;
  int error;
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
