// The figures a printed order document states under its lines: the line
// nets per tax class, the discounts, the tax per taxed class and the final
// amount. The invoice on paper and the electronic invoice both take them
// from here, so that both state the same cents.
#ifndef BELVON_ORDERS_DOCUMENT_FIGURES_H
#define BELVON_ORDERS_DOCUMENT_FIGURES_H

#include <cstdint>
#include <span>

#include "store/order_record.h"
#include "store/parameter_record.h"

namespace orders {

struct DocumentFigures {
  // Line nets of tax code 1 (no tax), 7 (first rate) and 15 (second rate).
  std::int64_t sums[3] = {0, 0, 0};
  // The line discounts of every counted line, whatever its tax code.
  std::int64_t discount = 0;
  int rates[2] = {0, 0};
  // The tax stated for the first and second taxed class: added to the net
  // class sum, or contained in the gross class sum of a gross-price order.
  std::int64_t tax[2] = {0, 0};
  bool grossPrices = false;
  bool grossAsNet = false;

  // The net part of a taxed class (c = 0 first rate, 1 second rate).
  std::int64_t netOfClass(int c) const { return grossPrices ? sums[c + 1] - tax[c] : sums[c + 1]; }
  // The sum line: net, or gross when a gross-price order is printed gross;
  // without a "./. Rabatt-Summe" line.
  std::int64_t sumLine() const {
    const std::int64_t lines = sums[0] + sums[1] + sums[2];
    return grossAsNet ? lines - tax[0] - tax[1] : lines;
  }
  // The final amount ("Rechnungsbetrag", "Gutschrift" ...).
  std::int64_t final() const {
    const std::int64_t lines = sums[0] + sums[1] + sums[2];
    return grossPrices ? lines : lines + tax[0] + tax[1];
  }
};

// The figures of `lines` (the order's lines 1 .. n, without the edited line)
// in the order's currency (factor 1) or converted by `factor` (the fourth
// currency of the printed totals). Back-order lines are left out when
// `skipBackOrders` (invoices), lines the arithmetic cannot use always.
DocumentFigures ComputeDocumentFigures(const store::OrderHead& head,
                                       std::span<const store::OrderLine> lines,
                                       const store::ParameterRecord& parameters,
                                       bool skipBackOrders, double factor = 1.0);

// Whether a line counts in the figures of a document.
bool LineCounts(const store::OrderLine& line, bool skipBackOrders);

}  // namespace orders

#endif  // BELVON_ORDERS_DOCUMENT_FIGURES_H
