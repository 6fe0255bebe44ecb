#include "reports/report_values.h"

#include <cmath>

#include "frame/decimal.h"

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

std::int32_t Whole(double value) {
  if (!std::isfinite(value)) return 0;
  value = std::trunc(value);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t ToMainCurrency(double cents, const store::ParameterRecord& p, int currency) {
  return Whole(cents / static_cast<double>(Factor(p, currency)));
}

std::int32_t ToMainCurrencyInFloat(float cents, const store::ParameterRecord& p, int currency) {
  return Whole(cents / Factor(p, currency));
}

std::string Money(double cents, const std::string& currency) {
  return frame::Format("%.2f %s", cents / 100, currency.c_str());
}

std::string CustomerName(const store::AddressRecord& address, std::size_t limit) {
  std::string name(store::GetText(address.name1));
  if (!name.empty()) name += ' ';
  name += store::GetText(address.name2);
  if (name.size() > limit) name.resize(limit);
  return platform::Cp1252ToUtf8(name);
}

}  // namespace reports
