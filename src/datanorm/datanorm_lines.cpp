#include "datanorm/datanorm_lines.h"

#include <cstring>

namespace datanorm {

LineReader::LineReader(platform::File& file, std::size_t bufferSize)
    : file_(file), buffer_(bufferSize < 2 ? 2 : bufferSize) {}

bool LineReader::fill() {
  if (atEnd_) return false;
  // What is left moves to the front, so a carriage return at the end of the
  // buffer can still see the byte after it.
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  const std::size_t got = file_.read(buffer_.data() + end_, buffer_.size() - end_);
  if (got == 0) {
    atEnd_ = true;
    // read() tells an error from the end only by the size it knew of.
    failed_ = file_.size() > static_cast<std::int64_t>(consumed_ + end_);
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::next(std::string& line) {
  line.clear();
  while (line.size() < kLineLength) {
    if (begin_ == end_ && !fill()) break;
    const char c = buffer_[begin_];
    if (c == '\r') {
      if (begin_ + 1 == end_) fill();
      if (begin_ + 1 < end_ && buffer_[begin_ + 1] == '\n') {
        ++begin_;
        ++consumed_;
        continue;
      }
    }
    line += c;
    ++begin_;
    ++consumed_;
    if (c == '\n') break;
  }
  return !line.empty();
}

Fields::Fields(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  std::size_t start = 0;
  while (count_ < kMaxFields) {
    const std::size_t semicolon = line.find(';', start);
    fields_[count_++] = line.substr(start, semicolon == std::string_view::npos
                                               ? std::string_view::npos
                                               : semicolon - start);
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
}

std::string_view Fields::operator[](std::size_t number) const {
  if (number < 1 || number > count_) return {};
  std::string_view field = fields_[number - 1];
  return field.find_first_not_of(' ') == std::string_view::npos ? std::string_view() : field;
}

}  // namespace datanorm
