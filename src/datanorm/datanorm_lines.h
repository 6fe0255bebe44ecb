// Reading a Datanorm file: lines as the import has always taken them, and the
// fields of an article line.
#ifndef BELVON_DATANORM_DATANORM_LINES_H
#define BELVON_DATANORM_DATANORM_LINES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace datanorm {

// At most this many characters make one line; a longer physical line goes on
// as the next line.
inline constexpr std::size_t kLineLength = 291;

// Reads a file as text: a carriage return right before a line feed is
// dropped; a line ends after its line feed or after kLineLength characters.
class LineReader {
 public:
  explicit LineReader(platform::File& file, std::size_t bufferSize = std::size_t{1} << 20);
  // The next line with its line feed (when it had one); false at the end.
  bool next(std::string& line);
  // Bytes of the file taken so far.
  std::uint64_t position() const { return consumed_; }
  bool failed() const { return failed_; }

 private:
  bool fill();

  platform::File& file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t consumed_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
};

// The fields of an A or B line, split at ";" (field 1 is the record type).
// A field the line does not have, and one of blanks only (how Datanorm
// writers leave a field empty), reads as empty.
class Fields {
 public:
  explicit Fields(std::string_view line);
  std::string_view operator[](std::size_t number) const;

 private:
  static constexpr std::size_t kMaxFields = 24;
  std::array<std::string_view, kMaxFields> fields_{};
  std::size_t count_ = 0;
};

// The first `width` characters of a text.
inline std::string_view Cut(std::string_view text, std::size_t width) {
  return text.substr(0, width);
}

}  // namespace datanorm

#endif  // BELVON_DATANORM_DATANORM_LINES_H
