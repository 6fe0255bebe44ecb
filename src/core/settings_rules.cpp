#include "core/settings_rules.h"

#include <algorithm>
#include <cmath>

#include "core/decimal.h"

namespace frame {

std::string CashDiscountText(std::int16_t tenths, FigureStyle style) {
  return Amount(style, (tenths + 0.05) / 10, 1);
}

std::optional<std::int16_t> ParseCashDiscount(std::string_view text) { return ReadTenths(text); }

std::string TaxRateText(std::int16_t tenths, FigureStyle style) {
  return Amount(style, tenths / 10.0, 1);
}

std::optional<std::int16_t> ParseTaxRate(std::string_view text) {
  std::optional<std::int16_t> tenths = ReadTenths(text);
  if (!tenths) return std::nullopt;
  return std::clamp<std::int16_t>(*tenths, 0, 1000);
}

std::string ExchangeRateText(float rate, FigureStyle style) {
  return Amount(style, std::max(static_cast<double>(rate), 0.001), 5);
}

std::optional<float> ParseExchangeRate(std::string_view text) {
  std::optional<double> rate = ReadNumber(text);
  if (!rate) return std::nullopt;
  return static_cast<float>(std::clamp(*rate, 0.001, 100.0));
}

std::int16_t ClampedWhole(std::string_view text, int low, int high) {
  return static_cast<std::int16_t>(std::clamp<long>(ParseWhole(text), low, high));
}

std::uint32_t ParseOrderNumber(std::string_view text) {
  long value = ParseWhole(text.substr(0, 9));
  return value < 0 ? 0 : static_cast<std::uint32_t>(value);
}

std::int16_t ParsePeriod(std::string_view text) {
  return static_cast<std::int16_t>(ParseWhole(text.substr(0, 4)));
}

}  // namespace frame
