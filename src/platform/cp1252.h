// Windows-1252, the code page of every text inside the data files.
#ifndef BELVON_PLATFORM_CP1252_H
#define BELVON_PLATFORM_CP1252_H

#include <string>
#include <string_view>

namespace platform {

std::string Cp1252ToUtf8(std::string_view bytes);

// Characters that Windows-1252 cannot hold become "?"; `replaced` (when
// given) is set to whether that happened. Invalid UTF-8 bytes count as
// unrepresentable.
std::string Utf8ToCp1252(std::string_view utf8, bool* replaced = nullptr);

}  // namespace platform

#endif  // BELVON_PLATFORM_CP1252_H
