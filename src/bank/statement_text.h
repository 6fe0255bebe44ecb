// Small text rules shared by the statement readers and the matching.
#ifndef BELVON_BANK_STATEMENT_TEXT_H
#define BELVON_BANK_STATEMENT_TEXT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bank {

// Without blanks, tabs and line ends at either end.
std::string Trimmed(std::string_view text);

// "119.00", "119,5", "119" as cents; empty for anything else (a sign, more
// than two decimals, no digits). Both separators are taken, since CAMT
// writes a point and MT940 a comma.
std::optional<std::int64_t> DecimalCents(std::string_view text);

// A name reduced for comparing: lower case, umlauts and ß spelt out
// ("Müller" and "MUELLER" meet), every other character that is no letter
// or digit a single blank.
std::string FoldedName(std::string_view utf8);

}  // namespace bank

#endif  // BELVON_BANK_STATEMENT_TEXT_H
