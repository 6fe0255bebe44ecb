// Numbers typed by the user, and numbers shown back.
//
// The program reads and shows numbers with a decimal point whatever the
// locale says; the Qt front end pins LC_NUMERIC to "C" at start-up so that
// printf-style formats behave the same everywhere.
#ifndef BELVON_FRAME_DECIMAL_H
#define BELVON_FRAME_DECIMAL_H

#include <string>
#include <string_view>

namespace frame {

// Commas become points in the first 20 characters, then the leading number
// is read (leading blanks and a sign allowed); text that is not a number
// reads as 0. Quantities, prices, discounts and tax rates are read this way.
double ParseDecimal(std::string_view text);

// The leading number with a decimal point only: a comma ends it.
double ParsePointDecimal(std::string_view text);

// The leading whole number ("12abc" is 12), 0 when there is none.
long ParseWhole(std::string_view text);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace frame

#endif  // BELVON_FRAME_DECIMAL_H
