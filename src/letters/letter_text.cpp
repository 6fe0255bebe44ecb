#include "letters/letter_text.h"

#include "frame/decimal.h"

namespace letters {

using platform::Access;
using platform::Share;

LoadResult LoadLetterText(platform::FileSystem& fs, const std::string& path, std::string& text) {
  platform::File file = fs.open(path, Access::Read, Share::DenyWrite);
  const std::int64_t size = file ? file.size() : -1;
  if (size < 0) return LoadResult::Unreadable;
  if (static_cast<std::uint64_t>(size) >= kLetterBufferBytes) return LoadResult::TooLong;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!bytes.empty() && !file.readExact(bytes.data(), bytes.size())) return LoadResult::Unreadable;
  text = std::move(bytes);
  return LoadResult::Loaded;
}

bool SaveLetterText(platform::FileSystem& fs, const std::string& path, const std::string& text) {
  platform::File file = fs.open(path, Access::ReadWrite, Share::Exclusive,
                                platform::Disposition::CreateAlways);
  const std::size_t n = std::min(text.size(), kLetterBufferBytes);
  return file && (n == 0 || file.write(text.data(), n)) && file.sync();
}

std::string LetterFileProblem(const std::string& path, LoadResult result) {
  if (result == LoadResult::TooLong)
    return frame::Format("Die Datei %s ist zu groß für den Texteditor\n(höchstens %zu Bytes).",
                         path.c_str(), kLetterBufferBytes - 1);
  return frame::Format("Die Datei %s kann nicht gelesen werden.", path.c_str());
}

}  // namespace letters
