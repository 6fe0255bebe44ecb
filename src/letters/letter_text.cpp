#include "letters/letter_text.h"

#include <algorithm>

#include "core/decimal.h"
#include "platform/cp1252.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "platform/utf8.h"

namespace letters {


std::string DecodeUserText(std::string_view bytes, bool* replaced) {
  bool lost = false;
  const bool utf8 = platform::IsUtf8(bytes);
  // The mark some editors put in front of UTF-8 is no character of the text.
  if (utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string cp1252 = utf8 ? platform::Utf8ToCp1252(bytes, &lost) : std::string(bytes);
  if (replaced) *replaced = lost;
  std::string text;
  text.reserve(cp1252.size() + cp1252.size() / 16);
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const char c = cp1252[i];
    if (c == '\r' || c == '\n') {
      text += "\r\n";
      if (c == '\r' && i + 1 < cp1252.size() && cp1252[i + 1] == '\n') ++i;
    } else {
      text += c;
    }
  }
  return text;
}

LoadResult LoadLetterText(platform::FileSystem& fs, const std::string& path, std::string& text,
                          bool* replaced) {
  std::string bytes;
  switch (platform::ReadRegularFile(fs, path, kLetterBufferBytes - 1, bytes)) {
    case platform::ReadRefusal::None: break;
    case platform::ReadRefusal::TooLarge: return LoadResult::TooLong;
    default: return LoadResult::Unreadable;
  }
  std::string decoded = DecodeUserText(bytes, replaced);
  // Line feeds made into CR LF can take it past the buffer.
  if (decoded.size() >= kLetterBufferBytes) return LoadResult::TooLong;
  text = std::move(decoded);
  return LoadResult::Loaded;
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
