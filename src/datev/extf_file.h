// The DATEV interchange format "EXTF" as the tax adviser's software reads it
// (DATEV format description, version 700): a header line, a line of column
// names, then one line per row. Windows-1252, CR LF, fields separated by
// semicolons, texts in double quotes, amounts with a decimal comma and no
// thousands separators.
//
// Layout and columns: doc/formats/datev.md
#ifndef BELVON_DATEV_EXTF_FILE_H
#define BELVON_DATEV_EXTF_FILE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace datev {

inline constexpr int kExtfVersion = 700;

// What the header line of a file states.
struct ExtfHeader {
  int category = 0;         // 21 booking batch, 16 debtors and creditors
  const char* formatName = "";
  int formatVersion = 0;    // 13 booking batch, 5 debtors and creditors
  platform::LocalTime createdAt;
  long advisor = 0;
  long client = 0;
  std::string yearStart;    // "YYYYMMDD"
  int accountLength = 4;
  std::string from, to;     // "YYYYMMDD"; only a booking batch states them
  std::string label;        // Windows-1252, at most 30 bytes
  bool fixed = false;
  std::string currency = "EUR";
  std::string chart;        // "03" or "04"
};

// One file: header, column names, rows of as many fields.
class ExtfWriter {
 public:
  ExtfWriter(const ExtfHeader& header, const std::vector<std::string>& columns);
  // A row of fields already formatted (Quoted, Amount, ...); fewer fields
  // than columns are filled up with empty ones.
  void row(const std::vector<std::string>& fields);
  const std::string& text() const { return text_; }
  std::size_t columns() const { return columns_; }

 private:
  void header(const ExtfHeader& header);
  std::string text_;
  std::size_t columns_ = 0;
};

// A text field: Windows-1252 bytes cut to `width`, a double quote doubled,
// line breaks and semicolons kept out.
std::string Quoted(std::string_view cp1252, std::size_t width = std::string_view::npos);
// Cents as "1234,56" without sign and thousands separators.
std::string Amount(std::int64_t cents);
// An exchange rate with six decimals ("1,085000").
std::string Rate(double rate);
// "dd.mm.yyyy" as "DDMM", "DDMMYYYY" or "YYYYMMDD".
std::string DayMonth(std::string_view date);
std::string DayMonthYear(std::string_view date);
std::string YearMonthDay(std::string_view date);

}  // namespace datev

#endif  // BELVON_DATEV_EXTF_FILE_H
