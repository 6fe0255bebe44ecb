// A fresh temporary directory per test, removed with everything in it.
#ifndef BELVON_TESTS_SUPPORT_TEMP_DIR_H
#define BELVON_TESTS_SUPPORT_TEMP_DIR_H

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with a trailing "/", ready to be a data directory prefix.
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// -1 when the file does not exist.
std::int64_t FileSize(const std::string& path);

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_TEMP_DIR_H
