#include "cli/json_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/cp1252.h"
#include "store/bytes.h"
#include "store/text_field.h"

namespace cli {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonReal(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[40];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void JsonLine::key(std::string_view name) {
  if (text_.size() > 1) text_ += ',';
  text_ += JsonString(name);
  text_ += ':';
}

JsonLine& JsonLine::number(std::string_view name, std::int64_t value) {
  key(name);
  text_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::real(std::string_view name, double value) {
  key(name);
  text_ += JsonReal(value);
  return *this;
}

JsonLine& JsonLine::string(std::string_view name, std::string_view utf8) {
  key(name);
  text_ += JsonString(utf8);
  return *this;
}

JsonLine& JsonLine::raw(std::string_view name, std::string_view json) {
  key(name);
  text_ += json;
  return *this;
}

namespace {

std::string Element(store::FieldKind kind, const std::uint8_t* at) {
  using store::FieldKind;
  using store::Load;
  switch (kind) {
    case FieldKind::U8: return std::to_string(*at);
    case FieldKind::U16: return std::to_string(Load<std::uint16_t>(at));
    case FieldKind::I16: return std::to_string(Load<std::int16_t>(at));
    case FieldKind::U32: return std::to_string(Load<std::uint32_t>(at));
    case FieldKind::I32: return std::to_string(Load<std::int32_t>(at));
    case FieldKind::F32: return JsonReal(Load<float>(at));
    case FieldKind::F64: return JsonReal(Load<double>(at));
    default: return "null";
  }
}

}  // namespace

JsonLine& JsonLine::record(store::FieldTable fields, const void* record) {
  const auto* bytes = static_cast<const std::uint8_t*>(record);
  for (const store::FieldDescriptor& field : fields) {
    const std::uint8_t* at = bytes + field.offset;
    if (field.kind == store::FieldKind::Reserved) continue;
    if (field.kind == store::FieldKind::Text) {
      string(field.name, platform::Cp1252ToUtf8(
                             store::GetText(reinterpret_cast<const char*>(at), field.width)));
      continue;
    }
    if (field.count == 1) {
      key(field.name);
      text_ += Element(field.kind, at);
      continue;
    }
    key(field.name);
    text_ += '[';
    std::size_t step = field.width / field.count;
    for (std::size_t i = 0; i < field.count; ++i) {
      if (i) text_ += ',';
      text_ += Element(field.kind, at + i * step);
    }
    text_ += ']';
  }
  return *this;
}

}  // namespace cli
