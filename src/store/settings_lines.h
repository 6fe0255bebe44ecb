// The lines of a settings file of the data directory ("Key=Value" under a
// section heading), read the one way every such file is read.
#ifndef BELVON_STORE_SETTINGS_LINES_H
#define BELVON_STORE_SETTINGS_LINES_H

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "store/app_state.h"

namespace store {

// The text of the settings file at `path` (at most `cap` bytes). None when
// it is missing, or when it cannot be read: then `problem` (when given)
// says why in German.
std::optional<std::string> ReadSettingsFile(const std::string& path, std::uint64_t cap,
                                            std::string* problem);

// The settings file `fileName` of the data directory (a prefix with its
// separator) as `parse` reads its text; `Settings{}` when it is missing or
// refused, and `problem` (when given) then says why.
template <typename Settings, typename Parse>
Settings LoadDirectorySettings(const std::string& dataDirectory, const char* fileName,
                               std::uint64_t cap, std::string* problem, Parse parse) {
  if (problem) problem->clear();
  const std::optional<std::string> text = ReadSettingsFile(dataDirectory + fileName, cap, problem);
  return text ? parse(*text, problem) : Settings{};
}
// Written beside and renamed over, so that another workstation never reads
// half a file; false when that failed.
bool SaveDirectorySettings(const std::string& dataDirectory, const char* fileName,
                           std::string_view text);

// Calls `take` with the trimmed key and value of every line holding "=".
// A value that is no UTF-8 is skipped and, when its key is UTF-8 (else it is
// none of ours), named in `refused` with `fileName`.
void ForEachSetting(std::string_view text, std::string_view fileName, std::string& refused,
                    const std::function<void(const std::string& key, const std::string& value)>& take);

// The side files that map a key to a value per line under one section
// heading (MAHNUNG.INI, LEITWEG.INI): every line holding "=" with a key and
// a value, the later of two equal keys winning.
using KeyedValues = std::map<std::string, std::string>;
KeyedValues ParseKeyedValues(std::string_view text);
std::string KeyedValuesText(std::string_view section, const KeyedValues& values);
// The file of the data directory, read whole up to `cap` bytes; empty when
// it is missing or cannot be read.
KeyedValues LoadKeyedValues(const frame::AppState& app, const char* fileName, std::uint64_t cap);
// Written beside and renamed over; false when that failed.
bool SaveKeyedValues(frame::AppState& app, const char* fileName, std::string_view section,
                     const KeyedValues& values);

}  // namespace store

#endif  // BELVON_STORE_SETTINGS_LINES_H
