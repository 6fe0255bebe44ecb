#include "printing/job_table.h"

#include "letters/dunning_renderer.h"
#include "letters/envelope_renderer.h"
#include "printing/letter_renderer.h"
#include "printing/order_document_renderer.h"

namespace printing {

std::unique_ptr<PageRenderer> MakeRenderer(int job) {
  if (IsOrderDocumentJob(job)) return std::make_unique<OrderDocumentRenderer>();
  switch (job) {
    case kJobLetter:
      return std::make_unique<LetterRenderer>();
    case letters::kJobDunning:
      return std::make_unique<letters::DunningRenderer>();
    case letters::kJobEnvelope:
      return std::make_unique<letters::EnvelopeRenderer>();
    case letters::kJobParcelLabel:
      return std::make_unique<letters::ParcelLabelRenderer>();
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

}  // namespace printing
