#include "cli/halting_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace cli {

HaltingFileSystem::HaltingFileSystem() {
  const char* value = std::getenv("BELVON_HALT_AT");
  if (!value) return;
  const std::string text = value;
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return;
  at_ = std::atoi(text.c_str() + colon + 1);
  name_ = text.substr(0, colon);
}

bool HaltingFileSystem::injectFault(platform::IoOp op, const std::string& path) {
  if (op != platform::IoOp::Open || at_ <= 0 || !path.ends_with(name_) || ++opens_ != at_)
    return false;
  const std::string marker = path + ".HALT";
  const int fd = ::open(marker.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (::access(marker.c_str(), F_OK) == 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return false;  // the open itself is made as always
}

}  // namespace cli
