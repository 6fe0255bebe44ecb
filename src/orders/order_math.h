// The arithmetic of an order, used wherever an amount is shown or printed,
// so that a total is the same in the order pane, at the cash desk, on the
// invoice and in the lists.
//
// Money is whole cents in signed 32-bit integers, quantities are doubles,
// percentages whole tenths of a percent. Rounding policy, and why its order
// matters:
//  - RoundHalfAway turns every computed cent amount into an integer, halves
//    away from zero (0.5 -> 1, -0.5 -> -1);
//  - a line is rounded twice, its gross (price x quantity) and its discount
//    separately, and the net is their difference;
//  - the tax is added per tax class on the rounded class sum, rounded once;
//  - currency conversion adds 0.5 and truncates towards zero (not
//    RoundHalfAway), so negative prices convert differently;
//  - amounts typed by the user are read by frame::ReadCents, rounded half
//    away from zero on the typed digits, so "-2,505" is -251 as "2,505" is 251.
// Changing any of these orders changes the last cent of stored totals.
#ifndef BELVON_ORDERS_ORDER_MATH_H
#define BELVON_ORDERS_ORDER_MATH_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/article_record.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace orders {

std::int32_t RoundHalfAway(double x);

// RoundHalfAway(price x quantity) - RoundHalfAway(price x quantity x discount / 1000).
std::int32_t LineNet(const store::OrderLine& line);
std::int32_t LineDiscount(const store::OrderLine& line);

// The amount of the edited line ("Summe"): price x quantity / 100 x
// (1000 - discount) / 1000, currency units, not rounded before formatting.
double LineAmountShown(const store::OrderLine& line);
// The amount of a line in the line list: RoundHalfAway(price x quantity) /
// 100 x (1000 - discount) / 1000.
double LineAmountListed(const store::OrderLine& line);

// The first and second tax rate (tenths of a percent) of an order currency.
// The fourth currency has no rates of its own and uses the main currency's.
std::int16_t FirstTaxRate(const store::ParameterRecord& parameters, int currency);
std::int16_t SecondTaxRate(const store::ParameterRecord& parameters, int currency);

// The total of lines 1 .. head.lineCount (lines[0] is the edited line and
// never counts). Back-order lines count nowhere but set order flag 16; lines
// with an unknown tax code add nothing.
std::int32_t ComputeOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                               const store::ParameterRecord& parameters);

// Clears flag 16, stores the total in the head and returns it as shown
// ("%-.2f" of total / 100).
std::string RefreshOrderTotal(store::OrderHead& head, std::span<const store::OrderLine> lines,
                              const store::ParameterRecord& parameters);

// "Offene": (total - paid) / 100 once the invoice is printed, else "0.00".
std::string OpenAmountText(const store::OrderHead& head);

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

// The payment-terms lines printed under an invoice.
std::vector<std::string> PaymentTermsLines(const store::OrderHead& head,
                                           const std::string& invoiceDate);

}  // namespace orders

#endif  // BELVON_ORDERS_ORDER_MATH_H
