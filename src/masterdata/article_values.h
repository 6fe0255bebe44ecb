// How the article dialogs show the numbers of an article and read them back.
// Kept apart from the widgets so that the rules are tested without a screen.
//
// Rounding: a price in cents is shown as (cents ± 0.005) / 100 with two
// decimals; a typed price is read by frame::ReadCents, rounded half away
// from zero, so "-1,50" is -150 just as "1,50" is 150. A text that is no
// number reads as nothing: the dialog refuses it.
#ifndef BELVON_MASTERDATA_ARTICLE_VALUES_H
#define BELVON_MASTERDATA_ARTICLE_VALUES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/app_state.h"

namespace masterdata {

// Field limits of the article editor, in characters.
inline constexpr int kPriceChars = 11;
// The German style needs room for its thousands points ("-21.474.836,48").
inline constexpr int PriceChars(frame::FigureStyle style) {
  return style == frame::FigureStyle::German ? kPriceChars + 3 : kPriceChars;
}
inline constexpr int kQuantityThresholdChars = 4;
inline constexpr int kStockChars = 14;

// Text limits of the article fields (the record widths minus the zero).
inline constexpr int kNumberChars = 21;
inline constexpr int kDesignationChars = 41;
inline constexpr int kProductGroupChars = 21;
inline constexpr int kRemark1Chars = 41;
inline constexpr int kRemark2Chars = 255;
inline constexpr int kSupplierChars = 11;
inline constexpr int kUnitChars = 7;

// "12.50" for 1250 ("12,50" in the German style).
std::string PriceText(std::int32_t cents, frame::FigureStyle style = frame::FigureStyle::Point);
// Clamped to what the record holds.
std::optional<std::int32_t> ParsePrice(std::string_view text);

// Price tier thresholds: "%-d", read back as a whole number of at most four
// characters.
std::string QuantityText(std::int32_t quantity);
std::int32_t ParseQuantity(std::string_view text);

// Stocks, minimum, target and ordered quantity: "%-.3lf" (German "1,5"),
// read back by frame::ReadNumber.
std::string StockText(double stock, frame::FigureStyle style = frame::FigureStyle::Point);
std::optional<double> ParseStock(std::string_view text);

// The sum of the six storage places.
double TotalStock(const store::ArticleRecord& article);

// The number the next new article gets when "Autom. Artikelnummer" is on:
// one more than the largest key read as a whole number ("20A" reads 20, "X9"
// reads 0), at least "1". Empty when the index cannot be read, or when the
// largest number leaves no room above it.
std::string NextArticleNumber(frame::AppState& app);

// A new article: all zero, taxed at the second rate, and numbered when the
// parameters ask for it.
store::ArticleRecord NewArticle(frame::AppState& app);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_ARTICLE_VALUES_H
