#include "store/settings_lines.h"

#include <sstream>

#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "platform/utf8.h"

namespace store {

std::optional<std::string> ReadSettingsFile(const std::string& path, std::uint64_t cap,
                                            std::string* problem) {
  std::string text;
  const platform::ReadRefusal why =
      platform::ReadRegularFile(platform::SystemFileSystem(), path, cap, text);
  if (why == platform::ReadRefusal::None) return text;
  if (problem && why != platform::ReadRefusal::Missing)
    *problem = platform::ReadRefusalText(path, why, cap);
  return std::nullopt;
}

bool SaveDirectorySettings(const std::string& dataDirectory, const char* fileName,
                           std::string_view text) {
  return platform::WriteOutputFile(platform::SystemFileSystem(), dataDirectory + fileName, text);
}

namespace {

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

void ForEachSetting(std::string_view text, std::string_view fileName, std::string& refused,
                    const std::function<void(const std::string& key, const std::string& value)>& take) {
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trimmed(std::string_view(line).substr(0, equals));
    const std::string value = Trimmed(std::string_view(line).substr(equals + 1));
    if (!platform::IsUtf8(value)) {
      if (platform::IsUtf8(key))
        refused += std::string(fileName) + ": Der Wert von \"" + key +
                   "\" ist kein gültiger UTF-8-Text und wird nicht verwendet.\n";
      continue;
    }
    take(key, value);
  }
}

KeyedValues ParseKeyedValues(std::string_view text) {
  KeyedValues values;
  std::string refused;  // a value that is no UTF-8 is none of ours either
  ForEachSetting(text, "", refused, [&values](const std::string& key, const std::string& value) {
    if (!key.empty() && !value.empty()) values[key] = value;
  });
  return values;
}

std::string KeyedValuesText(std::string_view section, const KeyedValues& values) {
  std::string text = "[" + std::string(section) + "]\n";
  for (const auto& [key, value] : values) text += key + "=" + value + "\n";
  return text;
}

KeyedValues LoadKeyedValues(const frame::AppState& app, const char* fileName, std::uint64_t cap) {
  std::string text;
  if (platform::ReadRegularFile(*app.fileSystem, app.path(fileName), cap, text,
                                platform::Share::DenyNone) != platform::ReadRefusal::None)
    return {};
  return ParseKeyedValues(text);
}

bool SaveKeyedValues(frame::AppState& app, const char* fileName, std::string_view section,
                     const KeyedValues& values) {
  return platform::WriteOutputFile(*app.fileSystem, app.path(fileName),
                                   KeyedValuesText(section, values));
}

}  // namespace store
