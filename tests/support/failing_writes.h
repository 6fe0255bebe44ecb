// A file system that fails every write while the file opened last is the
// named one (RECHNUNG.DAT, KUNDEN.DAT, BELVON.PAR ...): the write of an
// operation that reaches that file fails, the writes before it do not.
#ifndef BELVON_TESTS_SUPPORT_FAILING_WRITES_H
#define BELVON_TESTS_SUPPORT_FAILING_WRITES_H

#include <string>

#include "platform/file.h"

namespace testsupport {

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

#endif  // BELVON_TESTS_SUPPORT_FAILING_WRITES_H
