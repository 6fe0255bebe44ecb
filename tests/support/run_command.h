// Programs of the build run as their own processes, as a user runs them.
#ifndef BELVON_TESTS_SUPPORT_RUN_COMMAND_H
#define BELVON_TESTS_SUPPORT_RUN_COMMAND_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

// The path of a program of the build (BELVON_TEST_BIN names the build
// folder); empty when it is not built.
inline std::string BuiltProgram(const std::string& name) {
  const char* bin = std::getenv("BELVON_TEST_BIN");
  std::string path = bin ? std::string(bin) + "/" + name : std::string();
  return !path.empty() && std::filesystem::exists(path) ? path : std::string();
}

// Runs a shell command without input; its output is kept in `output` and
// its error output in `errors` when they are given. The exit code, -1 when
// it did not end normally.
inline int RunCommand(const std::string& command, std::string* output = nullptr,
                      std::string* errors = nullptr) {
  const std::string errorFile =
      errors ? (std::filesystem::temp_directory_path() / ("belvon-stderr-" + std::to_string(getpid()))).string()
             : "/dev/null";
  FILE* pipe = popen((command + " 2>" + errorFile + " </dev/null").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    if (output) output->append(buffer, n);
  int status = pclose(pipe);
  if (errors) {
    std::ifstream in(errorFile);
    errors->assign(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(errorFile);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_RUN_COMMAND_H
