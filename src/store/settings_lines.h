// The lines of a settings file of the data directory ("Key=Value" under a
// section heading), read the one way every such file is read.
#ifndef BELVON_STORE_SETTINGS_LINES_H
#define BELVON_STORE_SETTINGS_LINES_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace store {

// The text of the settings file at `path` (at most `cap` bytes). None when
// it is missing, or when it cannot be read: then `problem` (when given)
// says why in German.
std::optional<std::string> ReadSettingsFile(const std::string& path, std::uint64_t cap,
                                            std::string* problem);

// Calls `take` with the trimmed key and value of every line holding "=".
// A value that is no UTF-8 is skipped and, when its key is UTF-8 (else it is
// none of ours), named in `refused` with `fileName`.
void ForEachSetting(std::string_view text, std::string_view fileName, std::string& refused,
                    const std::function<void(const std::string& key, const std::string& value)>& take);

}  // namespace store

#endif  // BELVON_STORE_SETTINGS_LINES_H
