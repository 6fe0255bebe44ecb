#include "letters/letter_text.h"

#include <algorithm>

#include "frame/decimal.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"

namespace letters {


LoadResult LoadLetterText(platform::FileSystem& fs, const std::string& path, std::string& text) {
  std::string bytes;
  switch (platform::ReadRegularFile(fs, path, kLetterBufferBytes - 1, bytes)) {
    case platform::ReadRefusal::None:
      text = std::move(bytes);
      return LoadResult::Loaded;
    case platform::ReadRefusal::TooLarge:
      return LoadResult::TooLong;
    default:
      return LoadResult::Unreadable;
  }
}

bool SaveLetterText(platform::FileSystem& fs, const std::string& path, const std::string& text) {
  const std::size_t n = std::min(text.size(), kLetterBufferBytes);
  return platform::WriteOutputFile(fs, path, std::string_view(text).substr(0, n));
}

std::string LetterFileProblem(const std::string& path, LoadResult result) {
  if (result == LoadResult::TooLong)
    return frame::Format("Die Datei %s ist zu groß für den Texteditor\n(höchstens %zu Bytes).",
                         path.c_str(), kLetterBufferBytes - 1);
  return frame::Format("Die Datei %s kann nicht gelesen werden.", path.c_str());
}

}  // namespace letters
