#include "core/figures.h"

#include <cstdio>

namespace frame {

namespace {

// printf's "%.*f": the one rounding both styles share.
std::string Fixed(double value, int decimals) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

struct Parts {
  bool negative = false;
  std::string whole;     // digits before the separator
  std::string fraction;  // digits after it
};

Parts Split(const std::string& fixed) {
  Parts parts;
  std::string_view text = fixed;
  if (!text.empty() && text.front() == '-') {
    parts.negative = true;
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  parts.whole = std::string(text.substr(0, point));
  if (point != std::string_view::npos) parts.fraction = std::string(text.substr(point + 1));
  if (parts.whole.find_first_not_of('0') == std::string::npos &&
      parts.fraction.find_first_not_of('0') == std::string::npos)
    parts.negative = false;  // "-0,00" is zero
  return parts;
}

std::string Grouped(const std::string& digits) {
  // "inf" and "nan" are no digits and stay as they are.
  if (digits.find_first_not_of("0123456789") != std::string::npos) return digits;
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return out;
}

std::string German(const Parts& parts, bool group) {
  std::string out = parts.negative ? "-" : "";
  out += group ? Grouped(parts.whole) : parts.whole;
  if (!parts.fraction.empty()) out += ',' + parts.fraction;
  return out;
}

Parts Trimmed(Parts parts) {
  while (!parts.fraction.empty() && parts.fraction.back() == '0') parts.fraction.pop_back();
  return parts;
}

std::string PointPercent(double percent, bool blank) {
  return Fixed(percent, 1) + (blank ? " %" : "%");
}

}  // namespace

std::string Amount(FigureStyle style, double value, int decimals) {
  if (style == FigureStyle::Point) return Fixed(value, decimals);
  return German(Split(Fixed(value, decimals)), true);
}

std::string Money(FigureStyle style, double value, std::string_view currency, int decimals) {
  return Amount(style, value, decimals) + ' ' + std::string(currency);
}

std::string Quantity(FigureStyle style, double value, int pointDecimals) {
  if (style == FigureStyle::Point) return Fixed(value, pointDecimals);
  return German(Trimmed(Split(Fixed(value, 3))), false);
}

std::string Percent(FigureStyle style, double percent, bool pointBlank) {
  if (style == FigureStyle::Point) return PointPercent(percent, pointBlank);
  return German(Trimmed(Split(Fixed(percent, 1))), true) + " %";
}

std::string TaxRate(FigureStyle style, double percent, bool pointBlank) {
  if (style == FigureStyle::Point) return PointPercent(percent, pointBlank);
  return German(Split(Fixed(percent, 1)), true) + " %";
}

}  // namespace frame
