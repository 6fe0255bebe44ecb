#include "pictures/picture_file.h"

#include <cstdint>
#include <vector>

#include "store/app_state.h"
#include "pictures/jpeg_decoder.h"
#include "platform/cp1252.h"
#include "platform/file.h"
#include "platform/file_reading.h"

namespace pictures {

namespace {

// A photo of an article is a few megabytes at most; a bigger file is not
// read into memory at all.
constexpr std::uint64_t kMaxFileSize = 64ULL * 1024 * 1024;

}  // namespace

std::string PictureName(std::string_view remark2) {
  return std::string(remark2.substr(0, remark2.find_first_of(" ,:;\r\n")));
}

std::optional<Picture> LoadPicture(const frame::AppState& app, const std::string& name) {
  if (name.empty()) return std::nullopt;
  const std::string utf8 = platform::Cp1252ToUtf8(name);
  const std::string path = utf8.front() == '/' ? utf8 : app.path(utf8.c_str());
  std::string bytes;
  if (platform::ReadRegularFile(*app.fileSystem, path, kMaxFileSize, bytes) !=
      platform::ReadRefusal::None)
    return std::nullopt;
  return DecodeJpeg(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                  bytes.size()));
}

}  // namespace pictures
