#include "einvoice/validation_kit.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace einvoice {

namespace {

constexpr char kScript[] = "validate-cii";

bool IsScript(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string FindValidationKit(const char* named, const std::string& programDirectory,
                              const std::string& installedDirectory) {
  if (named != nullptr && *named != '\0') return named;
  if (!programDirectory.empty()) {
    const std::filesystem::path inBuildTree =
        std::filesystem::path(programDirectory) / "validate-cii" / kScript;
    if (IsScript(inBuildTree)) return inBuildTree.string();
  }
  if (!installedDirectory.empty()) {
    const std::filesystem::path installed = std::filesystem::path(installedDirectory) / kScript;
    if (IsScript(installed)) return installed.string();
  }
  return {};
}

std::string ValidationKitScript() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return FindValidationKit(std::getenv("BELVON_CII_KIT"),
                           error ? std::string() : program.parent_path().string(),
                           BELVON_KIT_DIRECTORY);
}

}  // namespace einvoice
