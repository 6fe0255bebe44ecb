#include "printing/job_table.h"

#include "printing/letter_renderer.h"
#include "printing/order_document_renderer.h"

namespace printing {

std::unique_ptr<PageRenderer> MakeRenderer(int job) {
  switch (job) {
    case kJobQuotation:
    case kJobDeliveryNote:
    case kJobInvoice:
    case kJobCollectiveInvoice:
    case kJobConfirmation:
    case kJobCostEstimate:
      return std::make_unique<OrderDocumentRenderer>();
    case kJobLetter:
      return std::make_unique<LetterRenderer>();
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

}  // namespace printing
