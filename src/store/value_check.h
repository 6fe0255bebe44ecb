// Values a record can hold but no field can mean.
//
// The files hold quantities as doubles: a damaged record can carry a value
// that is not a number at all (NaN, infinity) or one far beyond anything the
// entry fields take (at most 14 characters, so less than 10^14 units). Such
// a value is damage: the renderers and lists ask here before they print or
// add a quantity, and report what fails instead of printing "nan Stk" or
// adding it into a total.
#ifndef BELVON_STORE_VALUE_CHECK_H
#define BELVON_STORE_VALUE_CHECK_H

#include <string>
#include <string_view>

#include "store/article_record.h"
#include "store/order_record.h"

namespace store {

// No quantity typed into a field reaches this.
inline constexpr double kQuantityLimit = 1e14;

// Finite and within kQuantityLimit either way.
bool QuantityIsSound(double quantity);

// The stock of every storage place, the minimum and target stock and the
// quantity on order.
bool ArticleQuantitiesAreSound(const ArticleRecord& article);

// "Auftrag ..., Position ...: die gespeicherte Menge ist beschädigt" with
// what becomes of it (`consequence`, a sentence of its own).
std::string DamagedQuantityText(long orderNumber, int line, std::string_view consequence);
std::string DamagedStockText(std::string_view articleNumberUtf8, std::string_view consequence);

}  // namespace store

#endif  // BELVON_STORE_VALUE_CHECK_H
