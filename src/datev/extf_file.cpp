#include "datev/extf_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace datev {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Number(long value) { return std::to_string(value); }

std::string Joined(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ';';
    line += fields[i];
  }
  return line + kLineEnd;
}

}  // namespace

std::string Quoted(std::string_view cp1252, std::size_t width) {
  std::string out = "\"";
  std::size_t taken = 0;
  for (char c : cp1252) {
    if (taken == width) break;
    if (c == '\r' || c == '\n' || c == ';') c = ' ';
    ++taken;
    out += c;
    if (c == '"') out += '"';
  }
  return out + '"';
}

std::string Amount(std::int64_t cents) {
  const std::int64_t value = std::llabs(cents);
  char text[32];
  std::snprintf(text, sizeof text, "%lld,%02lld", static_cast<long long>(value / 100),
                static_cast<long long>(value % 100));
  return text;
}

std::string Rate(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", rate);
  std::string out = text;
  for (char& c : out)
    if (c == '.') c = ',';
  return out;
}

std::string DayMonth(std::string_view date) {
  return date.size() >= 5 ? std::string(date.substr(0, 2)) + std::string(date.substr(3, 2))
                          : std::string();
}

std::string DayMonthYear(std::string_view date) {
  return date.size() == 10 ? DayMonth(date) + std::string(date.substr(6, 4)) : std::string();
}

std::string YearMonthDay(std::string_view date) {
  return date.size() == 10 ? std::string(date.substr(6, 4)) + std::string(date.substr(3, 2)) +
                                 std::string(date.substr(0, 2))
                           : std::string();
}

ExtfWriter::ExtfWriter(const ExtfHeader& h, const std::vector<std::string>& columns)
    : columns_(columns.size()) {
  header(h);
  text_ += Joined(columns);
}

void ExtfWriter::header(const ExtfHeader& h) {
  const bool batch = !h.from.empty();
  char created[32];
  // Milliseconds are not kept by the clock: 000.
  std::snprintf(created, sizeof created, "%04d%02d%02d%02d%02d%02d000", h.createdAt.year % 10000,
                h.createdAt.month % 100, h.createdAt.day % 100, h.createdAt.hour % 100,
                h.createdAt.minute % 100, h.createdAt.second % 100);
  const std::vector<std::string> fields = {
      Quoted("EXTF"),
      Number(kExtfVersion),
      Number(h.category),
      Quoted(h.formatName),
      Number(h.formatVersion),
      created,
      "",             // imported: set by DATEV
      Quoted("RE"),   // origin: "Rechnungswesen"
      Quoted(""),     // exported by
      Quoted(""),     // imported by
      Number(h.advisor),
      Number(h.client),
      h.yearStart,
      Number(h.accountLength),
      batch ? h.from : "",
      batch ? h.to : "",
      Quoted(h.label, 30),
      Quoted(""),     // dictation initials
      batch ? "1" : "",  // booking type: financial accounting
      batch ? "0" : "",  // accounting purpose: independent of it
      batch ? (h.fixed ? "1" : "0") : "",
      Quoted(batch ? h.currency : ""),
      "",             // reserved
      Quoted(""),     // derivative mark
      "",             // reserved
      "",             // reserved
      Quoted(h.chart),
      "",             // industry solution
      "",             // reserved
      Quoted(""),     // reserved
      Quoted(""),     // application information
  };
  text_ += Joined(fields);
}

void ExtfWriter::row(const std::vector<std::string>& fields) {
  std::vector<std::string> all = fields;
  all.resize(columns_);
  text_ += Joined(all);
}

}  // namespace datev
