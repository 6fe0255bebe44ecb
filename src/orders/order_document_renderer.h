// Jobs 1, 2, 3, 4, 20 and 23: the printed order documents (quotation,
// delivery note, invoice or credit note, collective invoice, order
// confirmation, cost estimate) of the current order for the current
// customer, on the letterhead, with as many continuation pages as the lines
// need.
//
// Positions are tenths of a millimetre on the page of the print offsets
// "Ausdruckposition"; the vertical offset also shortens the page, so that the
// footer and the page breaks move up with it. The job number is the kind of
// the document and decides its title, columns, totals and closing texts.
#ifndef BELVON_ORDERS_ORDER_DOCUMENT_RENDERER_H
#define BELVON_ORDERS_ORDER_DOCUMENT_RENDERER_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printing/page_renderer.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace printing {

inline constexpr int kJobQuotation = 1;
inline constexpr int kJobDeliveryNote = 2;
inline constexpr int kJobInvoice = 3;
inline constexpr int kJobCollectiveInvoice = 4;
inline constexpr int kJobConfirmation = 20;
inline constexpr int kJobCostEstimate = 23;

bool IsOrderDocumentJob(int job);

// The title of a document kind ("RECHNUNG", "GUTSCHRIFT" for a negative
// stored total, the typed delivery-note title ...), UTF-8; empty for jobs
// that are no order document.
std::string OrderDocumentTitle(int job, const store::OrderHead& head,
                               const store::ParameterRecord& parameters);

// The pieces of a long text or footer text split at carriage returns, each
// still with the line feed that followed its carriage return; a piece that
// is only "\n" is an empty line. Empty pieces (two carriage returns in a
// row, the end of a text) are left out.
std::vector<std::string_view> CarriageReturnPieces(std::string_view text);

class OrderDocumentRenderer : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                       RenderContext& context) override;
};

}  // namespace printing

#endif  // BELVON_ORDERS_ORDER_DOCUMENT_RENDERER_H
