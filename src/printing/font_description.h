// How a font chosen for the letterhead is kept in its 60-byte parameter
// slot: "family,points,weight,italic" (e.g. "Liberation Sans,14,700,0"). An
// empty slot means the letterhead's built-in font.
#ifndef BELVON_PRINTING_FONT_DESCRIPTION_H
#define BELVON_PRINTING_FONT_DESCRIPTION_H

#include <optional>
#include <string>
#include <string_view>

namespace frame {

struct FontDescription {
  std::string family;
  int points = 0;     // size in points
  int weight = 400;   // 100 .. 900, 700 = bold
  bool italic = false;
};

// At most 59 bytes: a long family name is shortened, never the numbers.
std::string EncodeFont(const FontDescription& font);
// Empty or damaged slots give no font.
std::optional<FontDescription> DecodeFont(std::string_view slot);

}  // namespace frame

#endif  // BELVON_PRINTING_FONT_DESCRIPTION_H
