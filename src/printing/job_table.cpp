#include "printing/job_table.h"

#include "printing/letter_renderer.h"
#include "printing/order_document_renderer.h"

namespace printing {

std::unique_ptr<PageRenderer> MakeRenderer(int job) {
  if (IsOrderDocumentJob(job)) return std::make_unique<OrderDocumentRenderer>();
  switch (job) {
    case kJobLetter:
      return std::make_unique<LetterRenderer>();
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

}  // namespace printing
