#include "store/value_check.h"

#include <cmath>

namespace store {

bool QuantityIsSound(double quantity) {
  return std::isfinite(quantity) && std::fabs(quantity) < kQuantityLimit;
}

bool ArticleQuantitiesAreSound(const ArticleRecord& article) {
  // Copies by index: the packed record's members must not be bound to references.
  for (std::size_t i = 0; i < sizeof article.stock / sizeof(double); ++i)
    if (!QuantityIsSound(article.stock[i])) return false;
  const double minimum = article.minimumStock, target = article.targetStock,
               onOrder = article.quantityOnOrder;
  return QuantityIsSound(minimum) && QuantityIsSound(target) && QuantityIsSound(onOrder);
}

std::string DamagedQuantityText(long orderNumber, int line, std::string_view consequence) {
  return "Auftrag " + std::to_string(orderNumber) + ", Position " + std::to_string(line) +
         ": die gespeicherte Menge ist beschädigt. " + std::string(consequence);
}

std::string DamagedStockText(std::string_view articleNumberUtf8, std::string_view consequence) {
  return "Artikel " + std::string(articleNumberUtf8) +
         ": ein gespeicherter Bestand ist beschädigt. " + std::string(consequence);
}

}  // namespace store
