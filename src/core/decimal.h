// Numbers typed by the user, and numbers shown back.
//
// Every amount, quantity, percentage and rate field is read by the one rule
// of ReadNumber, so that a field never stores something other than what the
// user meant: German input ("1.234,56", "2,5", "-10") and a plain decimal
// point where it cannot be a thousands point ("2.5"). Text that is no number
// is refused, never read as 0. Numbers are shown with a decimal point
// whatever the locale says; the Qt front end pins LC_NUMERIC to "C" at
// start-up so that printf-style formats behave the same everywhere.
#ifndef BELVON_CORE_DECIMAL_H
#define BELVON_CORE_DECIMAL_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace frame {

// Blanks around the number, then an optional sign, then digits with at most
// one decimal comma; points before the comma must stand between groups of
// three digits ("1.234.567,5"). Without a comma, one point is the decimal
// separator ("2.5") and two or more are thousands points ("1.234.567"). An
// empty or blank text is 0. Anything else ("1,2,3", "12.34,5", "zwölf,50",
// "1e5", "--5") is no number.
std::optional<double> ReadNumber(std::string_view text);

// The same number in whole units of 10^-decimals (cents: 2, tenths: 1),
// rounded half away from zero on the typed digits, so "-2,505" is -251 cents
// just as "2,505" is 251. Empty when it is no number or beyond 64 bits.
std::optional<std::int64_t> ReadScaled(std::string_view text, int decimals);

// Amounts in cents and percentages in tenths, as the records hold them;
// beyond the record's range they are clamped to its ends.
std::optional<std::int32_t> ReadCents(std::string_view text);
std::optional<std::int16_t> ReadTenths(std::string_view text);

// The message that refuses a field holding no number.
std::string NotANumberMessage(std::string_view field);

// The leading whole number ("12abc" is 12), 0 when there is none. For day
// counts, copies and counters.
long ParseWhole(std::string_view text);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace frame

#endif  // BELVON_CORE_DECIMAL_H
