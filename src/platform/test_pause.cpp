#include "platform/test_pause.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace platform {

void PauseAt(const char* point) {
  const char* setting = std::getenv("BELVON_PAUSE_AT");
  if (!setting) return;
  const std::string text(setting);
  const std::string prefix = std::string(point) + ":";
  if (text.rfind(prefix, 0) != 0) return;
  const std::filesystem::path folder = text.substr(prefix.size());
  std::ofstream(folder / "angehalten").put('x');
  std::error_code error;
  for (int i = 0; i < 6000 && !std::filesystem::exists(folder / "weiter", error); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace platform
