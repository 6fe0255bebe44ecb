#include "orders/order_math.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>

#include "core/decimal.h"
#include "core/dates.h"
#include "orders/cash_discount.h"
#include "orders/payments.h"
#include "store/value_check.h"

namespace orders {

namespace {

using Wide = __int128;

std::int32_t ClampToCents(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

std::int32_t ClampToCents(Wide value) {
  return static_cast<std::int32_t>(std::clamp<Wide>(value, INT32_MIN, INT32_MAX));
}

double Gross(const store::OrderLine& line) {
  return static_cast<double>(line.salePrice) * line.quantity;
}

double Rate(const store::ParameterRecord& parameters, int currency) {
  if (currency < 0 || currency > 3) return 0;
  return parameters.exchangeRates[currency];
}

// A decimal number: digits / 10^scale.
struct Decimal {
  Wide digits = 0;
  int scale = 0;
};

Wide PowerOfTen(int n) {
  Wide p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// The decimal a number was typed as: the shortest digits that read back as
// the same value (a value that is exactly a float, like an exchange rate
// from the parameter file, as a float). Empty for what has no such
// decimal within 10^-30 .. 10^18.
std::optional<Decimal> TypedDecimal(double x) {
  if (!std::isfinite(x)) return std::nullopt;
  if (x == 0) return Decimal{};
  char text[64];
  const bool isFloat = std::fabs(x) < 1e38 && static_cast<double>(static_cast<float>(x)) == x;
  const std::to_chars_result written =
      isFloat ? std::to_chars(text, text + sizeof text, static_cast<float>(x), std::chars_format::scientific)
              : std::to_chars(text, text + sizeof text, x, std::chars_format::scientific);
  if (written.ec != std::errc()) return std::nullopt;
  // "-d.ddde+xx"
  Decimal d;
  const char* c = text;
  const bool negative = *c == '-';
  if (negative) ++c;
  int fraction = 0;
  bool point = false;
  for (; c < written.ptr && *c != 'e'; ++c) {
    if (*c == '.') {
      point = true;
      continue;
    }
    d.digits = d.digits * 10 + (*c - '0');
    if (point) ++fraction;
  }
  int exponent = 0;
  if (c < written.ptr) std::from_chars(c + 1 + (c[1] == '+'), written.ptr, exponent);
  d.scale = fraction - exponent;
  if (d.scale > 30 || d.scale < -18) return std::nullopt;
  if (d.scale < 0) d.digits *= PowerOfTen(-d.scale), d.scale = 0;
  if (negative) d.digits = -d.digits;
  return d;
}

// numerator / denominator (> 0), halves away from zero.
Wide RoundedQuotient(Wide numerator, Wide denominator) {
  Wide quotient = numerator / denominator;
  const Wide rest = numerator % denominator;
  if (2 * (rest < 0 ? -rest : rest) >= denominator) quotient += numerator < 0 ? -1 : 1;
  return quotient;
}

// The gross and the discount of `line`, its price first multiplied by
// `factor`, each rounded once from its exact value; the double products
// where a number is beyond what the integers hold (such a line counts in
// no sum anyway).
LineParts Parts(const store::OrderLine& line, double factor) {
  const std::optional<Decimal> quantity = TypedDecimal(line.quantity);
  const std::optional<Decimal> rate = factor == 1.0 ? Decimal{1, 0} : TypedDecimal(factor);
  // The largest product below must fit 127 bits.
  const auto magnitude = [](Wide w) { return std::fabs(static_cast<double>(w)); };
  if (quantity && rate && quantity->scale + rate->scale <= 30 &&
      std::fabs(static_cast<double>(line.salePrice)) * magnitude(quantity->digits) *
              magnitude(rate->digits) * std::max(1, std::abs(int{line.discount})) < 1e37) {
    const Wide exact = Wide{line.salePrice} * quantity->digits * rate->digits;
    const Wide denominator = PowerOfTen(quantity->scale + rate->scale);
    return {ClampToCents(RoundedQuotient(exact, denominator)),
            ClampToCents(RoundedQuotient(exact * line.discount, denominator * 1000))};
  }
  const double gross = factor * Gross(line);
  return {RoundHalfAway(gross), RoundHalfAway(gross * line.discount / 1000)};
}

}  // namespace

std::int32_t RoundHalfAway(double x) {
  if (x > -0.5 && x < 0.5) return 0;
  return ClampToCents(x > 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5));
}

std::int32_t LineGross(const store::OrderLine& line) {
  return static_cast<std::int32_t>(Parts(line, 1.0).gross);
}

std::int32_t LineDiscount(const store::OrderLine& line) {
  return static_cast<std::int32_t>(Parts(line, 1.0).discount);
}

std::int32_t LineNet(const store::OrderLine& line) {
  // Each part is clamped to 32 bits; their difference may not be.
  return ClampToCents(static_cast<double>(Parts(line, 1.0).net()));
}

LineParts ConvertedLineParts(const store::OrderLine& line, double factor) {
  return Parts(line, factor);
}

bool LineComputable(const store::OrderLine& line) {
  if (!store::QuantityIsSound(line.quantity)) return false;
  constexpr double kLimit = 2147483647.0;
  const double gross = Gross(line);
  if (!std::isfinite(gross)) return false;
  const double discount = gross * line.discount / 1000;
  return std::fabs(gross) <= kLimit && std::fabs(discount) <= kLimit &&
         std::fabs(gross - discount) <= kLimit;
}

double LineAmountShown(const store::OrderLine& line) {
  // price x quantity x (1000 - discount) / 1000, rounded once to the cent.
  const std::optional<Decimal> quantity = TypedDecimal(line.quantity);
  if (!quantity || !LineComputable(line)) return Gross(line) / 100 * (1000 - line.discount) / 1000;
  const Wide exact = Wide{line.salePrice} * quantity->digits * (1000 - line.discount);
  return static_cast<double>(ClampToCents(RoundedQuotient(exact, PowerOfTen(quantity->scale) * 1000))) / 100;
}

double LineAmountListed(const store::OrderLine& line) {
  return LineGross(line) / 100.0 * (1000 - line.discount) / 1000;
}

std::int16_t StoredFirstTaxRate(const store::ParameterRecord& parameters, int currency) {
  return store::TaxRate(parameters, currency >= 0 && currency <= 2 ? currency : 0, 2);
}

std::int16_t StoredSecondTaxRate(const store::ParameterRecord& parameters, int currency) {
  return store::TaxRate(parameters, currency >= 0 && currency <= 2 ? currency : 0, 3);
}

std::int16_t FirstTaxRate(const store::ParameterRecord& parameters, int currency) {
  return std::clamp<std::int16_t>(StoredFirstTaxRate(parameters, currency), 0, kMaxTaxRate);
}

std::int16_t SecondTaxRate(const store::ParameterRecord& parameters, int currency) {
  return std::clamp<std::int16_t>(StoredSecondTaxRate(parameters, currency), 0, kMaxTaxRate);
}

std::int64_t TaxedSum(std::int64_t sum, int rate) {
  return static_cast<std::int64_t>(RoundedQuotient(Wide{sum} * (1000 + rate), 1000));
}

std::int64_t NetOfGross(std::int64_t gross, int rate) {
  if (1000 + rate <= 0) return gross;
  return static_cast<std::int64_t>(RoundedQuotient(Wide{gross} * 1000, 1000 + rate));
}

std::int64_t ContainedTax(std::int64_t grossSum, int rate) {
  return grossSum - NetOfGross(grossSum, rate);
}

namespace {

// The net sums of the three tax classes, as the total adds them.
struct ClassSums {
  std::int64_t none = 0, rate1 = 0, rate2 = 0;

  void add(const store::OrderLine& line) {
    switch (line.taxCode) {
      case store::kTaxCodeNone: none += LineNet(line); break;
      case store::kTaxCodeRate1: rate1 += LineNet(line); break;
      case store::kTaxCodeRate2: rate2 += LineNet(line); break;
      default: break;
    }
  }
  std::int64_t total(const store::OrderHead& head, const store::ParameterRecord& parameters) const {
    if (head.flags & store::kOrderPricesIncludeTax) return none + rate1 + rate2;
    return none + TaxedSum(rate1, FirstTaxRate(parameters, head.currency)) +
           TaxedSum(rate2, SecondTaxRate(parameters, head.currency));
  }
};

int CountedLines(const store::OrderHead& head, std::span<const store::OrderLine> lines) {
  return std::min<int>(head.lineCount, static_cast<int>(lines.size()) - 1);
}

}  // namespace

std::int32_t ComputeOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                               const store::ParameterRecord& parameters) {
  ClassSums sums;
  const int count = CountedLines(head, lines);
  for (int i = 1; i <= count; ++i) {
    const store::OrderLine& line = lines[i];
    if (line.flags & store::kLineBackOrder) {
      head.flags |= store::kOrderHasBackOrder;
      continue;
    }
    if (LineComputable(line)) sums.add(line);
  }
  return ClampToCents(static_cast<double>(sums.total(head, parameters)));
}

bool LineBillable(const store::OrderLine& line) {
  if (line.flags & store::kLineBackOrder) return false;
  if (line.taxCode != store::kTaxCodeNone && line.taxCode != store::kTaxCodeRate1 &&
      line.taxCode != store::kTaxCodeRate2)
    return false;
  return LineComputable(line);
}

bool HasBillableLine(const store::OrderHead& head, std::span<const store::OrderLine> lines) {
  const int count = CountedLines(head, lines);
  for (int i = 1; i <= count; ++i)
    if (LineBillable(lines[i])) return true;
  return false;
}

std::string AmountsBeyondRecord(const store::OrderHead& head,
                                std::span<const store::OrderLine> lines,
                                const store::ParameterRecord& parameters) {
  ClassSums sums;
  const int count = CountedLines(head, lines);
  for (int i = 1; i <= count; ++i) {
    const store::OrderLine& line = lines[i];
    if (line.flags & store::kLineBackOrder) continue;
    if (!LineComputable(line))
      return frame::Format(
          "Position %d: Menge und Preis ergeben einen Betrag außerhalb des Rechenbereichs "
          "(höchstens 21474836.47).\nBitte Menge oder Preis dieser Position ändern.",
          i);
    sums.add(line);
    const std::int64_t total = sums.total(head, parameters);
    if (total > INT32_MAX || total < INT32_MIN)
      return frame::Format(
          "Ab Position %d liegt die Summe des Auftrags außerhalb des Rechenbereichs "
          "(höchstens 21474836.47).\nBitte den Auftrag auf mehrere Rechnungen aufteilen.",
          i);
  }
  return {};
}

std::string RefreshOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                              const store::ParameterRecord& parameters, frame::FigureStyle style) {
  head.flags &= static_cast<std::uint16_t>(~store::kOrderHasBackOrder);
  head.total = ComputeOrderTotal(head, lines, parameters);
  return frame::Amount(style, head.total / 100.0);
}

std::string OpenAmountText(const store::OrderHead& head, frame::FigureStyle style) {
  if (!(head.flags & store::kOrderInvoicePrinted)) return frame::Amount(style, 0);
  return frame::Amount(style, (static_cast<double>(head.total) - head.paid) / 100);
}

std::int32_t PriceForQuantity(const store::ArticleRecord& article, double quantity) {
  const std::int32_t thresholds[] = {article.quantityPrice4, article.quantityPrice3,
                                     article.quantityPrice2};
  const std::int32_t prices[] = {article.price4, article.price3, article.price2};
  for (int i = 0; i < 3; ++i)
    if (thresholds[i] != 0 && thresholds[i] <= quantity) return prices[i];
  return article.price1;
}

std::int32_t ConvertPriceOnTakeOver(std::int32_t cents, int from, int to,
                                    const store::ParameterRecord& parameters) {
  if (from == to) return cents;
  const double rateFrom = Rate(parameters, from), rateTo = Rate(parameters, to);
  if (!(rateFrom > 0) || !(rateTo > 0)) return cents;
  return ClampToCents(std::trunc(cents / rateFrom * rateTo + 0.5));
}

std::int32_t ConvertPrice(std::int32_t cents, int from, int to,
                          const store::ParameterRecord& parameters) {
  if (from == to) return cents;
  const double rateFrom = Rate(parameters, from), rateTo = Rate(parameters, to);
  if (!(rateFrom > 0) || !(rateTo > 0)) return cents;
  return ClampToCents(std::trunc(rateTo * cents / rateFrom + 0.5));
}

std::int16_t TaxCodeFromArticle(const store::ArticleRecord& article) {
  if (article.flags & 2) return store::kTaxCodeNone;
  if (article.flags & 4) return store::kTaxCodeRate1;
  return store::kTaxCodeRate2;
}

std::vector<std::string> PaymentTermsLines(const store::OrderHead& head,
                                           const std::string& invoiceDate,
                                           std::string_view currency, frame::FigureStyle style) {
  // Nothing to pay, nothing to offer: a credit note has no terms at all.
  std::vector<std::string> lines;
  if (head.total <= 0) return lines;
  // Nothing left to ask for: paid over the counter, or before a reprint.
  if (PaidInFull(head)) return {"Betrag dankend erhalten."};
  const Date date = ParseDate(invoiceDate);
  if (head.paymentPeriod != 0) {
    lines.push_back(
        frame::Format("Zahlung: innerhalb %-d Tagen bis zum %s.", head.paymentPeriod,
                      AddDaysToDate(date.day, date.month, date.year, head.paymentPeriod).c_str()));
  } else {
    lines.push_back("Zahlung: Sofort ohne Abzug");
  }
  // The customer reads the day to pay by and the amount to transfer, not
  // a period and a rate to work them out from. A discount already granted
  // with a payment is not offered again.
  if (head.cashDiscount != 0 && !head.cashDiscountTaken) {
    const std::int64_t due = std::int64_t{head.total} - head.paid -
                             CashDiscountAmount(head.total, head.cashDiscount);
    lines.push_back(
        "Bei Zahlung bis " +
        AddDaysToDate(date.day, date.month, date.year, head.cashDiscountPeriod) +
        " abzüglich " + frame::TaxRate(style, head.cashDiscount / 10.0, true) + " Skonto: " +
        frame::Money(style, static_cast<double>(due) / 100.0, currency));
  }
  return lines;
}

}  // namespace orders
