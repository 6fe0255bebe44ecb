// The arithmetic of an order, used wherever an amount is shown or printed,
// so that a total is the same in the order pane, at the cash desk, on the
// invoice and in the lists.
//
// Money is whole cents in signed 32-bit integers, quantities are doubles,
// percentages whole tenths of a percent. Rounding policy, and why its order
// matters:
//  - every amount is rounded from its exact decimal value, half away from
//    zero (0.5 -> 1, -0.5 -> -1). A quantity is the decimal it was typed as
//    (the shortest digits that read back as the stored double: 1.009, not
//    1.00899999...), a price whole cents, a discount or tax rate tenths of a
//    percent, an exchange rate the decimal it was typed as; their products
//    and quotients are worked out in integers, so 1.009 x 5.00 is exactly
//    504.5 cents and becomes 505, where the double product (504.4999...)
//    would give 504. RoundHalfAway on a double is left for amounts that are
//    no such product;
//  - a line is rounded twice, its gross (price x quantity) and its discount
//    (price x quantity x discount / 1000, from the unrounded gross)
//    separately, and the net is their difference;
//  - the tax is added per tax class on the rounded class sum, rounded once:
//    TaxedSum(S) = round((1000 + r) x S / 1000);
//  - the tax contained in a gross class sum is what is left of the sum when
//    its net part is rounded once: ContainedTax(S) = S - NetOfGross(S),
//    NetOfGross(S) = round(S x 1000 / (1000 + r));
//  - currency conversion of prices adds 0.5 and truncates towards zero (not
//    RoundHalfAway), so negative prices convert differently;
//  - amounts typed by the user are read by frame::ReadCents, rounded half
//    away from zero on the typed digits, so "-2,505" is -251 as "2,505" is 251.
// Changing any of these orders changes the last cent of stored totals.
//
// A printed document states whole cents that add up, and the identity holds
// on every document because each printed tax is taken from the total:
//  - net prices: the tax line of a class is TaxedSum(S) - S, so
//    Netto-Summe + tax lines = S0 + TaxedSum(S1) + TaxedSum(S2) = total;
//  - gross prices printed as net: the net figure is S0 + (S1 - ContainedTax(S1))
//    + (S2 - ContainedTax(S2)) and the tax lines are the ContainedTax values,
//    so Netto-Summe + tax lines = S0 + S1 + S2 = total;
//  - gross prices printed gross state the same ContainedTax values as the
//    tax they contain, and Brutto-Summe = total.
// ("./. Rabatt-Summe", when printed, is part of the net side: the sum line
// then stands that much higher.)
//
// Stored values outside what these routines can compute with are not used:
// a line whose gross, discount or net does not fit 32-bit cents counts in no
// sum (LineComputable), and a tax rate outside 0.0 to 100.0 % is taken as
// the nearest of the two (the settings dialog allows no other).
#ifndef BELVON_ORDERS_ORDER_MATH_H
#define BELVON_ORDERS_ORDER_MATH_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/figures.h"
#include "store/article_record.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace orders {

std::int32_t RoundHalfAway(double x);

// The rounded gross (price x quantity) and discount of a line, and the net,
// their difference.
std::int32_t LineGross(const store::OrderLine& line);
std::int32_t LineNet(const store::OrderLine& line);
std::int32_t LineDiscount(const store::OrderLine& line);

// The same parts in another currency, `factor` units of it per unit of the
// order's currency (the fourth currency of the printed totals).
struct LineParts {
  std::int64_t gross = 0;
  std::int64_t discount = 0;
  std::int64_t net() const { return gross - discount; }
};
LineParts ConvertedLineParts(const store::OrderLine& line, double factor);

// Whether the quantity is one a field can mean (store::QuantityIsSound) and
// the gross, the discount and the net of the line each fit 32-bit cents.
// Lines that do not count in no sum.
bool LineComputable(const store::OrderLine& line);

// The amount of the edited line ("Summe"): price x quantity / 100 x
// (1000 - discount) / 1000, currency units, rounded to the cent only (so
// that formatting it with two decimals shows the exact half cent rounded
// as everywhere else).
double LineAmountShown(const store::OrderLine& line);
// The amount of a line in the line list: RoundHalfAway(price x quantity) /
// 100 x (1000 - discount) / 1000.
double LineAmountListed(const store::OrderLine& line);

// The first and second tax rate (tenths of a percent) of an order currency,
// as stored. The fourth currency has no rates of its own and uses the main
// currency's.
std::int16_t StoredFirstTaxRate(const store::ParameterRecord& parameters, int currency);
std::int16_t StoredSecondTaxRate(const store::ParameterRecord& parameters, int currency);
// The same rates as the orders compute with: within 0 to 1000.
inline constexpr std::int16_t kMaxTaxRate = 1000;
std::int16_t FirstTaxRate(const store::ParameterRecord& parameters, int currency);
std::int16_t SecondTaxRate(const store::ParameterRecord& parameters, int currency);

// A net class sum with its tax: round((1000 + rate) x sum / 1000).
std::int64_t TaxedSum(std::int64_t sum, int rate);
// The net part of a gross amount: round(gross x 1000 / (1000 + rate)).
std::int64_t NetOfGross(std::int64_t gross, int rate);
// The tax contained in a gross class sum: sum - NetOfGross(sum).
std::int64_t ContainedTax(std::int64_t grossSum, int rate);

// The total of lines 1 .. head.lineCount (lines[0] is the edited line and
// never counts). Back-order lines count nowhere but set order flag 16; lines
// with an unknown tax code add nothing.
std::int32_t ComputeOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                               const store::ParameterRecord& parameters);

// Whether a line bills something on an invoice: it is no back-order, its
// amounts can be computed, and its tax code names one of the three classes.
// An invoice without such a line states nothing to pay.
bool LineBillable(const store::OrderLine& line);
bool HasBillableLine(const store::OrderHead& head, std::span<const store::OrderLine> lines);

// Why the order's amounts do not fit its record (32-bit cents), in German,
// naming the line: the first line whose gross, discount or net is beyond
// them, or the line from which on the total is. Empty when all fit. Such an
// order would be stored and issued with a clamped total while its paper
// states another, so it is neither.
std::string AmountsBeyondRecord(const store::OrderHead& head,
                                std::span<const store::OrderLine> lines,
                                const store::ParameterRecord& parameters);

// Clears flag 16, stores the total in the head and returns it as shown
// (the amount of total / 100 in `style`).
std::string RefreshOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                              const store::ParameterRecord& parameters,
                              frame::FigureStyle style = frame::FigureStyle::Point);

// "Offene": (total - paid) / 100 once the invoice is printed, else zero.
std::string OpenAmountText(const store::OrderHead& head,
                           frame::FigureStyle style = frame::FigureStyle::Point);

// Prices 4, 3, 2 in this order: the first whose threshold is not 0 and not
// above the quantity; else selling price 1. In the article's currency.
std::int32_t PriceForQuantity(const store::ArticleRecord& article, double quantity);

// Converting a price between currencies (rates: units per unit of the main
// currency). On taking an article into a line the division comes first,
// when the quantity changes the multiplication; both add 0.5 and truncate.
// A currency without a rate (0 or less) is not converted.
std::int32_t ConvertPriceOnTakeOver(std::int32_t cents, int from, int to,
                                    const store::ParameterRecord& parameters);
std::int32_t ConvertPrice(std::int32_t cents, int from, int to,
                          const store::ParameterRecord& parameters);

// The line tax code of an article: no-tax bit 2 gives 1, else bit 4 gives 7,
// else 15.
std::int16_t TaxCodeFromArticle(const store::ArticleRecord& article);

// The payment-terms lines printed under an invoice; none for a document
// that asks for no payment (a total of 0 or less, a credit note). A cash
// discount is spelled out with the last day it may be taken and what is
// then left to pay in `currency`: "Bei Zahlung bis 14.12.2026 abzüglich
// 2,0 % Skonto: 1.723,29 EUR".
std::vector<std::string> PaymentTermsLines(const store::OrderHead& head,
                                           const std::string& invoiceDate,
                                           std::string_view currency,
                                           frame::FigureStyle style = frame::FigureStyle::Point);

}  // namespace orders

#endif  // BELVON_ORDERS_ORDER_MATH_H
