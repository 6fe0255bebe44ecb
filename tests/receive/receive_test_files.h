// The received e-invoices of tests/data/receive (and, where the build found
// it, the whole collection they were taken from), and the means to make
// broken variants of them.
#ifndef BELVON_TESTS_RECEIVE_RECEIVE_TEST_FILES_H
#define BELVON_TESTS_RECEIVE_RECEIVE_TEST_FILES_H

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace receivetest {

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string Fixture(const std::string& name) {
  return Read(std::string(BELVON_RECEIVE_DATA) + name);
}

// Every e-invoice below the folders (XML and PDF), sorted.
inline std::vector<std::string> InvoiceFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  if (folder.empty() || !std::filesystem::is_directory(folder, error)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".xml" || ext == ".pdf") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// `text` with the first `from` replaced by `to`; the test fails when it is not there.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) return {};
  return text.replace(at, from.size(), to);
}

// Every occurrence replaced.
inline std::string ReplacedAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace receivetest

#endif  // BELVON_TESTS_RECEIVE_RECEIVE_TEST_FILES_H
