// Zero-terminated Windows-1252 texts in fixed-width record fields.
#ifndef BELVON_STORE_TEXT_FIELD_H
#define BELVON_STORE_TEXT_FIELD_H

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace store {

// The text of a field: up to its first zero byte, never past its width.
template <std::size_t N>
std::string_view GetText(const char (&field)[N]) {
  const void* zero = std::memchr(field, 0, N);
  return std::string_view(field, zero ? static_cast<const char*>(zero) - field : N);
}

inline std::string_view GetText(const char* field, std::size_t width) {
  const void* zero = std::memchr(field, 0, width);
  return std::string_view(field, zero ? static_cast<const char*>(zero) - field : width);
}

// Stores at most width - 1 bytes and clears the rest of the field, so the
// text is always terminated and no stale bytes survive behind it.
inline void SetText(char* field, std::size_t width, std::string_view text) {
  if (width == 0) return;
  std::size_t n = text.size() < width - 1 ? text.size() : width - 1;
  if (n) std::memcpy(field, text.data(), n);  // an empty view may have no data
  std::memset(field + n, 0, width - n);
}

template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
  SetText(field, N, text);
}

}  // namespace store

#endif  // BELVON_STORE_TEXT_FIELD_H
