// A data directory of its own for one benchmark, removed afterwards.
#ifndef BELVON_BENCH_BENCH_DIRECTORY_H
#define BELVON_BENCH_BENCH_DIRECTORY_H

#include <cstdlib>
#include <filesystem>
#include <string>

struct BenchDirectory {
  BenchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "belvon-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern + "/";
  }
  ~BenchDirectory() { std::filesystem::remove_all(path); }
  BenchDirectory(const BenchDirectory&) = delete;
  BenchDirectory& operator=(const BenchDirectory&) = delete;
  std::string path;
};

#endif  // BELVON_BENCH_BENCH_DIRECTORY_H
