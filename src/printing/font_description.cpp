#include "printing/font_description.h"

#include <algorithm>
#include <charconv>

namespace frame {

std::string EncodeFont(const FontDescription& font) {
  std::string tail = "," + std::to_string(font.points) + "," + std::to_string(font.weight) + "," +
                     (font.italic ? "1" : "0");
  std::string family = font.family;
  family.erase(std::remove(family.begin(), family.end(), ','), family.end());
  if (family.size() + tail.size() > 59) family.resize(59 - tail.size());
  return family + tail;
}

std::optional<FontDescription> DecodeFont(std::string_view slot) {
  // Read from the right: the family may be anything but a comma.
  int numbers[3];
  for (int i = 2; i >= 0; --i) {
    std::size_t comma = slot.rfind(',');
    if (comma == std::string_view::npos) return std::nullopt;
    std::string_view part = slot.substr(comma + 1);
    auto result = std::from_chars(part.data(), part.data() + part.size(), numbers[i]);
    if (result.ec != std::errc() || result.ptr != part.data() + part.size()) return std::nullopt;
    slot = slot.substr(0, comma);
  }
  if (slot.empty() || numbers[0] <= 0 || numbers[0] > 500) return std::nullopt;
  return FontDescription{std::string(slot), numbers[0], std::clamp(numbers[1], 100, 900),
                         numbers[2] != 0};
}

}  // namespace frame
