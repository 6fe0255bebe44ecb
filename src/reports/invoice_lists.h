// The lists over the order file beside the journal: open invoices (job 5),
// delivered but not invoiced orders (job 9), orders with open back-orders
// (job 19) and the article turnover list (job 22).
#ifndef BELVON_REPORTS_INVOICE_LISTS_H
#define BELVON_REPORTS_INVOICE_LISTS_H

#include "printing/page_renderer.h"

namespace reports {

inline constexpr int kJobOpenInvoices = 5;
inline constexpr int kJobUnprintedInvoices = 9;
inline constexpr int kJobBackOrders = 19;
inline constexpr int kJobArticleTurnover = 22;

// Jobs 5 and 9 share their page; the job number tells them apart.
class InvoiceStateListRenderer : public printing::PageRenderer {
 public:
  explicit InvoiceStateListRenderer(int job) : job_(job) {}
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;

 private:
  int job_;
};

class BackOrderListRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

// The orders of the range that hold the current article (letter case does
// not count), with the profit made on it.
class ArticleTurnoverRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

}  // namespace reports

#endif  // BELVON_REPORTS_INVOICE_LISTS_H
