#include "printing/job_table.h"

#include "letters/dunning_renderer.h"
#include "letters/envelope_renderer.h"
#include "printing/letter_renderer.h"
#include "printing/order_document_renderer.h"
#include "reports/invoice_journal.h"
#include "reports/invoice_lists.h"
#include "reports/master_data_lists.h"
#include "reports/statistics.h"

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
    case reports::kJobOpenInvoices:
    case reports::kJobUnprintedInvoices:
      return std::make_unique<reports::InvoiceStateListRenderer>(job);
    case reports::kJobInvoiceJournal:
      return std::make_unique<reports::InvoiceJournalRenderer>();
    case reports::kJobBackOrders:
      return std::make_unique<reports::BackOrderListRenderer>();
    case reports::kJobArticleTurnover:
      return std::make_unique<reports::ArticleTurnoverRenderer>();
    case reports::kJobArticleHitList:
      return std::make_unique<reports::ArticleHitListRenderer>();
    case reports::kJobCustomerHitList:
      return std::make_unique<reports::CustomerHitListRenderer>();
    case reports::kJobTurnoverGraph:
      return std::make_unique<reports::TurnoverGraphRenderer>();
    case reports::kJobOrderProposals:
    case reports::kJobArticlesSale:
    case reports::kJobArticlesPurchase:
      return std::make_unique<reports::ArticleListRenderer>(job);
    case reports::kJobAddressesByName:
    case reports::kJobAddressesByPostcode:
      return std::make_unique<reports::AddressListRenderer>(job);
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

}  // namespace printing
