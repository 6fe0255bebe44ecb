#include "reports/report_values.h"

#include <algorithm>
#include <cmath>

#include "core/decimal.h"

namespace reports {

std::string CurrencyName(const store::ParameterRecord& p, int currency) {
  switch (currency) {
    case 1: return Text(p.currencySymbol2);
    case 2: return Text(p.currencySymbol3);
    case 3: return Text(p.currencySymbol4);
    default: return Text(p.currencySymbol1);
  }
}

namespace {

float Factor(const store::ParameterRecord& p, int currency) {
  const float factor = currency >= 0 && currency <= 3 ? p.exchangeRates[currency] : 1.0f;
  return std::isfinite(factor) && factor > 0 ? factor : 1.0f;
}

}  // namespace

void MainCurrencySum::add(long double cents, int currency) {
  if (std::isfinite(cents)) sums_[currency >= 0 && currency <= 3 ? currency : 0] += cents;
}

std::int64_t MainCurrencySum::cents(const store::ParameterRecord& p) const {
  long double total = 0;
  for (int c = 0; c < 4; ++c) total += sums_[c] / static_cast<long double>(Factor(p, c));
  total = total < 0 ? -std::floor(-total + 0.5L) : std::floor(total + 0.5L);
  return static_cast<std::int64_t>(std::clamp<long double>(total, -9.0e18L, 9.0e18L));
}

std::string Money(frame::FigureStyle style, double cents, const std::string& currency) {
  return frame::Money(style, cents / 100, currency);
}

std::string CustomerName(const store::AddressRecord& address, std::size_t limit) {
  std::string name(store::GetText(address.name1));
  if (!name.empty()) name += ' ';
  name += store::GetText(address.name2);
  if (name.size() > limit) name.resize(limit);
  return platform::Cp1252ToUtf8(name);
}

}  // namespace reports
