#include "store/collation.h"

namespace store {

int CompareKeys(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = FoldAsciiLetter(static_cast<unsigned char>(a[i]));
    unsigned char y = FoldAsciiLetter(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(FoldAsciiLetter(static_cast<unsigned char>(c)));
  return out;
}

bool MatchCriterion(std::string_view criterion, std::string_view field) {
  if (criterion.empty()) return true;
  std::string upperField = UpperAscii(field);
  if (criterion.front() == '#')
    return upperField.find(UpperAscii(criterion.substr(1))) == std::string::npos;
  return upperField.find(UpperAscii(criterion)) != std::string::npos;
}

}  // namespace store
