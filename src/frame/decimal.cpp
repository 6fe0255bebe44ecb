#include "frame/decimal.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace frame {

namespace {

// Reads the leading decimal number of `text` without looking at the locale.
double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // from_chars would take a second minus sign itself: "--5" is no number.
  if (i < text.size() && text[i] == '-') return 0;
  // from_chars wants digits or a point straight away; ".5" is fine for it.
  double value = 0;
  auto result = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

}  // namespace

double ParseDecimal(std::string_view text) {
  std::string copy(text);
  for (std::size_t i = 0; i < copy.size() && i < 20; ++i)
    if (copy[i] == ',') copy[i] = '.';
  return LeadingNumber(copy);
}

double ParsePointDecimal(std::string_view text) { return LeadingNumber(text); }

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
