// Reading a Datanorm file: lines as the import has always taken them, and the
// fields of an article line.
#ifndef BELVON_DATANORM_DATANORM_LINES_H
#define BELVON_DATANORM_DATANORM_LINES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace datanorm {

// At most this many characters make one line.
inline constexpr std::size_t kLineLength = 291;

// Reads a file as text: a carriage return right before a line feed is
// dropped; a line ends after its line feed. Of a longer line only the first
// kLineLength characters are handed out and the rest up to its line feed is
// dropped (cut() says so): the rest is no record of its own, whatever it
// looks like.
class LineReader {
 public:
  explicit LineReader(platform::File& file, std::size_t bufferSize = std::size_t{1} << 20);
  // The next line with its line feed (when it had one and was not cut);
  // false at the end.
  bool next(std::string& line);
  // Whether the line handed out last was cut, and its number (from 1).
  bool cut() const { return cut_; }
  long lineNumber() const { return lineNumber_; }
  // Bytes of the file taken so far.
  std::uint64_t position() const { return consumed_; }
  bool failed() const { return failed_; }

 private:
  bool fill();
  // Takes the next byte (false at the end) and drops a carriage return
  // right before a line feed.
  bool take(char& c);

  platform::File& file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t consumed_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
  bool cut_ = false;
  long lineNumber_ = 0;
};

// A number of an article line (a price, a price mark): blanks around, an
// optional sign, digits with at most one decimal point or comma among them
// ("1234", "12,5"), at most 15 digits. Empty for anything else: "12a45",
// "12.345,67", "0x1F", "1e400", "nan", "99999999999999999".
std::optional<double> FieldNumber(std::string_view field);

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
