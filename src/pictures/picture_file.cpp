#include "pictures/picture_file.h"

#include <cstdint>
#include <vector>

#include "frame/app_state.h"
#include "pictures/jpeg_decoder.h"
#include "platform/cp1252.h"
#include "platform/file.h"

namespace pictures {

namespace {

// A photo of an article is a few megabytes at most; a bigger file is not
// read into memory at all.
constexpr std::int64_t kMaxFileSize = 64LL * 1024 * 1024;

}  // namespace

std::string PictureName(std::string_view remark2) {
  return std::string(remark2.substr(0, remark2.find_first_of(" ,:;\r\n")));
}

std::optional<Picture> LoadPicture(const frame::AppState& app, const std::string& name) {
  if (name.empty()) return std::nullopt;
  const std::string utf8 = platform::Cp1252ToUtf8(name);
  const std::string path = utf8.front() == '/' ? utf8 : app.path(utf8.c_str());
  platform::File file =
      app.fileSystem->open(path, platform::Access::Read, platform::Share::DenyWrite);
  if (!file) return std::nullopt;
  const std::int64_t size = file.size();
  if (size < 0 || size > kMaxFileSize) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!file.readExact(bytes.data(), bytes.size())) return std::nullopt;
  file.close();
  return DecodeJpeg(bytes);
}

}  // namespace pictures
