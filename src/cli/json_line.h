// One JSON object on one line, built field by field.
#ifndef BELVON_CLI_JSON_LINE_H
#define BELVON_CLI_JSON_LINE_H

#include <cstdint>
#include <string>
#include <string_view>

#include "store/record_fields.h"

namespace cli {

class JsonLine {
 public:
  JsonLine() : text_("{") {}
  JsonLine& number(std::string_view key, std::int64_t value);
  JsonLine& real(std::string_view key, double value);
  // `utf8` is already UTF-8.
  JsonLine& string(std::string_view key, std::string_view utf8);
  // A value that is already JSON (an array of objects, say).
  JsonLine& raw(std::string_view key, std::string_view json);
  // Every field of a record by its table: texts decoded from Windows-1252,
  // numbers as they are, arrays as JSON arrays; reserved bytes left out.
  JsonLine& record(store::FieldTable fields, const void* record);
  std::string str() const { return text_ + "}"; }

 private:
  void key(std::string_view name);
  std::string text_;
};

std::string JsonString(std::string_view utf8);
std::string JsonReal(double value);

}  // namespace cli

#endif  // BELVON_CLI_JSON_LINE_H
