// How figures are written on paper and on screen.
//
// Every amount, quantity and percentage the program shows goes through these
// functions, so that one setting of the data directory switches all of them:
// the point style is the program's original output ("1234.56", "3.500",
// "19.0%"), the German style writes "1.234,56", "3,5" and "19 %". Files with
// a format of their own (Datanorm, the XRechnung, the JSON of dump, the CSV
// journal) do not use them.
//
// Both styles take their digits from the same printf rounding, so a figure
// shows the same value in either style.
#ifndef BELVON_CORE_FIGURES_H
#define BELVON_CORE_FIGURES_H

#include <cstdint>
#include <string>
#include <string_view>

namespace frame {

enum class FigureStyle : std::uint8_t {
  Point,   // "-1234.56": decimal point, no grouping
  German,  // "-1.234,56": decimal comma, a point between groups of three
};

// An amount in currency units with `decimals` places. Point: "%.*f". German:
// the same digits with a decimal comma and thousands points; a value that
// rounds to zero carries no sign.
std::string Amount(FigureStyle style, double value, int decimals = 2);

// The amount, a blank and the currency name ("1.234,56 EUR").
std::string Money(FigureStyle style, double value, std::string_view currency, int decimals = 2);

// A quantity. Point: "%.*f" with `pointDecimals` places. German: rounded to
// three places, decimal comma, trailing zeros dropped ("3,5", "12",
// "0,125") and no thousands points, so that a field showing it reads back
// the same quantity ("1.234" would be read as one and a bit).
std::string Quantity(FigureStyle style, double value, int pointDecimals = 3);

// A percentage such as a discount. Point: "%.1f" then "%" (after a blank
// when `pointBlank`). German: at most one decimal, trailing zero dropped,
// then " %" ("19 %", "2,5 %").
std::string Percent(FigureStyle style, double percent, bool pointBlank = false);

// A tax rate. Point as Percent; German always with one decimal ("7,0 %").
std::string TaxRate(FigureStyle style, double percent, bool pointBlank = false);

}  // namespace frame

#endif  // BELVON_CORE_FIGURES_H
