// UTF-8 as it comes from outside: settings files and texts the user names
// may hold bytes of another code page, and what goes into a file that must
// be UTF-8 has to be checked, not assumed.
#ifndef BELVON_PLATFORM_UTF8_H
#define BELVON_PLATFORM_UTF8_H

#include <cstddef>
#include <string_view>

namespace platform {

struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;  // bytes; 0 when the bytes there are no UTF-8
};

// The character starting at byte `at`. Not UTF-8 (length 0): a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate,
// anything beyond U+10FFFF.
CodePoint DecodeUtf8(std::string_view text, std::size_t at);

// Whether the whole text is UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace platform

#endif  // BELVON_PLATFORM_UTF8_H
