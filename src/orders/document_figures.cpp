#include "orders/document_figures.h"

#include "orders/order_math.h"

namespace orders {

bool LineCounts(const store::OrderLine& line, bool skipBackOrders) {
  if (skipBackOrders && (line.flags & store::kLineBackOrder)) return false;
  return LineComputable(line);
}

DocumentFigures ComputeDocumentFigures(const store::OrderHead& head,
                                       std::span<const store::OrderLine> lines,
                                       const store::ParameterRecord& parameters,
                                       bool skipBackOrders, double factor) {
  DocumentFigures f;
  f.grossPrices = (head.flags & store::kOrderPricesIncludeTax) != 0;
  // The gross-as-net flag alone on a net order changes nothing.
  f.grossAsNet = f.grossPrices && (head.flags & store::kOrderGrossAsNet) != 0;
  f.rates[0] = FirstTaxRate(parameters, head.currency);
  f.rates[1] = SecondTaxRate(parameters, head.currency);
  for (const store::OrderLine& line : lines) {
    if (!LineCounts(line, skipBackOrders)) continue;
    const LineParts parts = ConvertedLineParts(line, factor);
    f.discount += parts.discount;
    int k = -1;
    switch (line.taxCode) {
      case store::kTaxCodeNone: k = 0; break;
      case store::kTaxCodeRate1: k = 1; break;
      case store::kTaxCodeRate2: k = 2; break;
      default: continue;
    }
    f.sums[k] += factor == 1.0 ? LineNet(line) : parts.net();
  }
  // Every tax figure is whole cents taken from the amounts of the total, so
  // that the printed lines add up to it (see order_math.h).
  for (int c = 0; c < 2; ++c) {
    const std::int64_t s = f.sums[c + 1];
    f.tax[c] = f.grossPrices ? ContainedTax(s, f.rates[c]) : TaxedSum(s, f.rates[c]) - s;
  }
  return f;
}

}  // namespace orders
