#include "bank/statement_text.h"

namespace bank {

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::optional<std::int64_t> DecimalCents(std::string_view text) {
  const std::string trimmed = Trimmed(text);
  std::int64_t units = 0;
  int decimals = -1;  // -1: no separator yet
  bool digits = false;
  for (char c : trimmed) {
    if (c >= '0' && c <= '9') {
      if (decimals >= 2) return std::nullopt;
      if (units > 900'000'000'000'000) return std::nullopt;
      units = units * 10 + (c - '0');
      if (decimals >= 0) ++decimals;
      digits = true;
    } else if ((c == '.' || c == ',') && decimals < 0) {
      decimals = 0;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  for (int d = decimals < 0 ? 0 : decimals; d < 2; ++d) units *= 10;
  return units;
}

std::string FoldedName(std::string_view utf8) {
  std::string out;
  bool blank = true;  // no blank at the start
  auto put = [&](std::string_view s) {
    out += s;
    blank = false;
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC3 && i + 1 < utf8.size()) {
      const unsigned char n = static_cast<unsigned char>(utf8[++i]);
      switch (n) {
        case 0xA4: case 0x84: put("ae"); continue;
        case 0xB6: case 0x96: put("oe"); continue;
        case 0xBC: case 0x9C: put("ue"); continue;
        case 0x9F: put("ss"); continue;
        default: break;
      }
      // Other accented letters keep their place as a letter of their own.
      put(std::string_view(utf8.data() + i - 1, 2));
      continue;
    }
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      out += static_cast<char>(c);
      blank = false;
    } else if (c >= 'A' && c <= 'Z') {
      out += static_cast<char>(c - 'A' + 'a');
      blank = false;
    } else if (c >= 0x80) {
      out += static_cast<char>(c);
      blank = false;
    } else if (!blank) {
      out += ' ';
      blank = true;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace bank
