// Values every list and statistic prints the same way: currency names,
// amounts converted into the main currency, customer names.
#ifndef BELVON_REPORTS_REPORT_VALUES_H
#define BELVON_REPORTS_REPORT_VALUES_H

#include <cstdint>
#include <string>
#include <string_view>

#include "core/figures.h"
#include "store/address_record.h"
#include "store/parameter_record.h"

namespace reports {

// The name of currency 0..3 (UTF-8); any other index names the main currency.
std::string CurrencyName(const store::ParameterRecord& parameters, int currency);

// A sum over rows in the currencies 0..3, in cents of the main currency:
// each row is added in its own currency (whole cents add exactly), each
// currency's sum is divided once by the currency's factor, and the total is
// rounded once, half away from zero, so that no row loses a part of a cent
// to its own conversion. A currency without a usable factor (0 or less) is
// taken as it is; another index counts as the main currency.
class MainCurrencySum {
 public:
  void add(long double cents, int currency);
  std::int64_t cents(const store::ParameterRecord& parameters) const;

 private:
  long double sums_[4] = {0, 0, 0, 0};
};

// cents / 100 with the currency name, in the figure style of the lists.
std::string Money(frame::FigureStyle style, double cents, const std::string& currency);

// Name line 1, a blank when it is not empty, name line 2; at most `limit`
// bytes of it (Windows-1252, before the conversion to UTF-8).
std::string CustomerName(const store::AddressRecord& address,
                         std::size_t limit = std::string_view::npos);

// A text field as UTF-8.
template <std::size_t N>
std::string Text(const char (&field)[N]);

}  // namespace reports

#include "platform/cp1252.h"
#include "store/text_field.h"

namespace reports {
template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return platform::Cp1252ToUtf8(store::GetText(field));
}
}  // namespace reports

#endif  // BELVON_REPORTS_REPORT_VALUES_H
