// A data directory by key, and runs killed at their Nth change of a file.
#ifndef BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H
#define BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "store/text_field.h"
#include "support/temp_dir.h"

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
T At(const Bytes& b, std::size_t at) {
  T v{};
  if (at + sizeof v <= b.size()) std::memcpy(&v, &b[at], sizeof v);
  return v;
}

inline std::string Text(const Bytes& b, std::int64_t at, std::size_t width) {
  if (at < 0 || static_cast<std::size_t>(at) >= b.size()) return "-";
  return std::string(store::GetText(reinterpret_cast<const char*>(&b[at]),
                                    std::min<std::size_t>(width, b.size() - at)));
}

inline std::string Span(const Bytes& b, std::size_t from, std::size_t to) {
  return from < to && to <= b.size() ? std::string(b.begin() + from, b.begin() + to) : "?";
}

// Every record reachable from an index, with every reference replaced by the
// key of what it reaches (record offsets and lengths left out).
inline std::string ByKey(const std::string& dir) {
  auto file = [&dir](const char* name) { return ReadBytes(dir + name); };
  const Bytes ai = file("ARTIKEL.IDX"), ad = file("ARTIKEL.DAT"), ki = file("KUNDEN.IDX"),
              kd = file("KUNDEN.DAT"), ri = file("RECHNUNG.IDX"), rd = file("RECHNUNG.DAT"),
              rab = file("RABATT.DAT");
  std::ostringstream out;
  for (int i = 0; i <= At<std::int32_t>(ai, 0); ++i)
    out << "A"
        << Span(ad, At<std::uint32_t>(ai, 4 + 26 * i + 22) + 2,
                At<std::uint32_t>(ai, 4 + 26 * i + 22) + 520)
        << "\n";
  for (int i = 0; i <= At<std::int16_t>(ki, 0); ++i)
    out << "K"
        << Span(kd, At<std::uint32_t>(ki, 2 + 46 * i + 42) + 2,
                At<std::uint32_t>(ki, 2 + 46 * i + 42) + 1192)
        << "\n";
  for (int i = 0; i <= At<std::int16_t>(ri, 0); ++i) {
    const std::size_t head = At<std::uint32_t>(ri, 2 + 12 * i + 8);
    out << "R" << At<std::int32_t>(ri, 2 + 12 * i + 4) << " "
        << Text(kd, At<std::int32_t>(ri, 2 + 12 * i) + 56, 42) << "|"
        << Text(kd, At<std::int32_t>(rd, head + 2) + 56, 42) << Span(rd, head + 6, head + 80);
    for (int l = 0; l < At<std::int16_t>(rd, head + 24); ++l) {
      const std::size_t line = head + 80 + 402 * l;
      out << "|" << Span(rd, line + 2, line + 392)
          << Text(ad, At<std::int32_t>(rd, line + 392) + 2, 22) << Span(rd, line + 396, line + 402);
    }
    out << "\n";
  }
  for (std::size_t at = 0; at + 10 <= rab.size(); at += 10)
    out << "D" << Text(kd, At<std::int32_t>(rab, at) + 56, 42) << "|"
        << Text(ad, At<std::int32_t>(rab, at + 4) + 2, 22) << At<std::int16_t>(rab, at + 8) << "\n";
  return out.str();
}

inline std::map<std::string, Bytes> Files(const std::string& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    files[e.path().filename().string()] = ReadBytes(e.path().string());
  return files;
}

inline void CopyFiles(const std::string& from, const std::string& to) {
  for (const auto& e : std::filesystem::directory_iterator(from))
    std::filesystem::copy_file(e.path(), to + e.path().filename().string());
}

// In memory where offered: the kill runs test the order of steps, not flushes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string root = std::filesystem::is_directory("/dev/shm")
                           ? std::string("/dev/shm")
                           : std::filesystem::temp_directory_path().string();
    std::string pattern = root + "/belvon-kill-XXXXXX";
    path_ = std::string(::mkdtemp(pattern.data()) ? pattern : root) + "/";
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs `run` in a child process that kills itself at its Nth write, flush,
// rename or removal; true when the child came to its end first.
inline bool RunsToTheEnd(int n, const std::function<void(platform::FileSystem&)>& run) {
  struct Killing : platform::FileSystem {
    int left;
    explicit Killing(int n) : left(n) {}
    bool injectFault(platform::IoOp op, const std::string&) override {
      if (op != platform::IoOp::Open && op != platform::IoOp::Read && op != platform::IoOp::Lock &&
          --left == 0)
        ::kill(::getpid(), SIGKILL);
      return false;
    }
  };
  pid_t child = ::fork();
  if (child == 0) {
    Killing fs(n);
    run(fs);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status);
}

}  // namespace testsupport

#endif  // BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H
