#include "core/decimal.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace frame {

namespace {

// A typed number split into its parts: sign, the digits before the decimal
// separator (thousands points removed) and those after it.
struct TypedNumber {
  bool negative = false;
  std::string whole;
  std::string fraction;
};

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "1.234.567": groups of three behind a first group of one to three digits.
bool ThousandsGrouped(std::string_view s, std::string& digits) {
  std::size_t start = 0;
  bool first = true;
  while (true) {
    std::size_t point = s.find('.', start);
    std::string_view group = s.substr(start, point == s.npos ? s.npos : point - start);
    if (!AllDigits(group) || group.empty() || group.size() > 3 || (!first && group.size() != 3))
      return false;
    digits += group;
    first = false;
    if (point == s.npos) return true;
    start = point + 1;
  }
}

std::optional<TypedNumber> Split(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  TypedNumber number;
  if (text.empty()) {
    number.whole = "0";
    return number;
  }
  if (text.front() == '-' || text.front() == '+') {
    number.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t comma = text.find(',');
  const std::size_t points = static_cast<std::size_t>(std::count(text.begin(), text.end(), '.'));
  std::string_view whole = text, fraction;
  if (comma != text.npos) {
    if (text.find(',', comma + 1) != text.npos) return std::nullopt;
    whole = text.substr(0, comma);
    fraction = text.substr(comma + 1);
  } else if (points == 1) {
    const std::size_t point = text.find('.');
    whole = text.substr(0, point);
    fraction = text.substr(point + 1);
  }
  if (!AllDigits(fraction)) return std::nullopt;
  if (whole.find('.') != whole.npos) {
    if (!ThousandsGrouped(whole, number.whole)) return std::nullopt;
  } else {
    if (!AllDigits(whole)) return std::nullopt;
    number.whole = whole;
  }
  number.fraction = fraction;
  if (number.whole.empty() && number.fraction.empty()) return std::nullopt;
  if (number.whole.empty()) number.whole = "0";
  return number;
}

}  // namespace

std::optional<double> ReadNumber(std::string_view text) {
  std::optional<TypedNumber> number = Split(text);
  if (!number) return std::nullopt;
  const std::string plain = number->whole + "." + number->fraction + "0";
  double value = 0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                std::chars_format::fixed);
  if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return number->negative ? -value : value;
}

std::optional<std::int64_t> ReadScaled(std::string_view text, int decimals) {
  std::optional<TypedNumber> number = Split(text);
  if (!number) return std::nullopt;
  std::string digits = number->whole;
  std::string fraction = number->fraction;
  fraction.resize(std::max<std::size_t>(fraction.size(), static_cast<std::size_t>(decimals) + 1),
                  '0');
  digits += fraction.substr(0, static_cast<std::size_t>(decimals));
  // Half away from zero: the first dropped digit decides, for either sign.
  const bool roundUp = fraction[static_cast<std::size_t>(decimals)] >= '5';
  std::int64_t value = 0;
  for (char c : digits) {
    if (value > (INT64_MAX - 9) / 10) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (roundUp) ++value;
  return number->negative ? -value : value;
}

std::optional<std::int32_t> ReadCents(std::string_view text) {
  std::optional<std::int64_t> cents = ReadScaled(text, 2);
  if (!cents) return std::nullopt;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(*cents, INT32_MIN, INT32_MAX));
}

std::optional<std::int16_t> ReadTenths(std::string_view text) {
  std::optional<std::int64_t> tenths = ReadScaled(text, 1);
  if (!tenths) return std::nullopt;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(*tenths, INT16_MIN, INT16_MAX));
}

std::string NotANumberMessage(std::string_view field) {
  return "Im Feld \"" + std::string(field) +
         "\" steht keine gültige Zahl.\nBitte z. B. 1.234,56 eingeben.";
}

long ParseWhole(std::string_view text) {
  std::string copy(text);
  return std::strtol(copy.c_str(), nullptr, 10);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  std::string out;
  if (n < 0) {
    va_end(args);
    return out;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(n));
  } else {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

}  // namespace frame
