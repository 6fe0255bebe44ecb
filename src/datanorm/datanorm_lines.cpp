#include "datanorm/datanorm_lines.h"

#include <cstdlib>
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

bool LineReader::take(char& c) {
  if (begin_ == end_ && !fill()) return false;
  c = buffer_[begin_];
  if (c == '\r') {
    if (begin_ + 1 == end_) fill();
    if (begin_ + 1 < end_ && buffer_[begin_ + 1] == '\n') {
      ++begin_;
      ++consumed_;
      c = '\n';
    }
  }
  ++begin_;
  ++consumed_;
  return true;
}

bool LineReader::next(std::string& line) {
  line.clear();
  cut_ = false;
  char c = 0;
  while (take(c)) {
    if (line.size() == kLineLength && c != '\n') {
      // Too long: the rest of the line goes, up to its line feed.
      cut_ = true;
      while (c != '\n' && take(c)) {
      }
      break;
    }
    line += c;
    if (c == '\n') break;
  }
  if (line.empty()) return false;
  ++lineNumber_;
  return true;
}

std::optional<double> FieldNumber(std::string_view field) {
  const std::size_t first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  field = field.substr(first, field.find_last_not_of(' ') - first + 1);
  std::string text;
  if (field.front() == '-' || field.front() == '+') {
    if (field.front() == '-') text += '-';
    field.remove_prefix(1);
  }
  int digits = 0;
  bool separator = false;
  for (char c : field) {
    if (c >= '0' && c <= '9') {
      ++digits;
      text += c;
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
      text += '.';
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || digits > 15) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);
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
