// The order of the text keys of the article and address indexes.
//
// Byte by byte; only the 26 letters a-z are folded onto A-Z (umlauts and every
// byte from 128 up compare as they are); otherwise bytes compare unsigned; a
// key that is a prefix of a longer one sorts first. Keys end at their first
// zero byte or at the field width.
#ifndef BELVON_STORE_COLLATION_H
#define BELVON_STORE_COLLATION_H

#include <string>
#include <string_view>

namespace store {

inline unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// < 0, 0, > 0 like strcmp, under the collation.
int CompareKeys(std::string_view a, std::string_view b);

// Upper-cases a-z only.
std::string UpperAscii(std::string_view text);

// The selection test of the criteria dialogs: an empty criterion passes; a
// criterion starting with "#" passes when the field does not contain the rest;
// any other passes when the field contains it. Both sides upper-cased (a-z).
bool MatchCriterion(std::string_view criterion, std::string_view field);

}  // namespace store

#endif  // BELVON_STORE_COLLATION_H
