#include "printing/job_table.h"

#include "core/decimal.h"
#include "einvoice/pdf_invoice.h"
#include "letters/dunning_renderer.h"
#include "letters/envelope_renderer.h"
#include "printing/letter_renderer.h"
#include "orders/issue_statement.h"
#include "orders/issuing.h"
#include "orders/order_document_renderer.h"
#include "receive/received_invoice_renderer.h"
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
    case receive::kJobReceivedInvoice:
      return std::make_unique<receive::ReceivedInvoiceRenderer>();
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

std::string DocumentFileName(const frame::AppState& app, const PrintSession& session) {
  const int job = session.job;
  // Order documents are named with their order number.
  const char* kind = nullptr;
  switch (job) {
    case kJobQuotation: kind = "Angebot"; break;
    case kJobDeliveryNote: kind = "Lieferschein"; break;
    case kJobInvoice: kind = app.order.total < 0 ? "Gutschrift" : "Rechnung"; break;
    case kJobCollectiveInvoice: kind = "Sammelrechnung"; break;
    case kJobConfirmation: kind = "Auftragsbestätigung"; break;
    case kJobCostEstimate: kind = "Kostenvoranschlag"; break;
    default: break;
  }
  if (kind) return frame::Format("%s-%ld.pdf", kind, static_cast<long>(app.order.orderNumber));
  // A file name holds no slash: a typed date could have one.
  std::string date = session.inputs.printDate.empty() ? "" : "-" + session.inputs.printDate;
  for (char& c : date)
    if (c == '/') c = '-';
  switch (job) {
    case kJobLetter: return "Brief" + date + ".pdf";
    case letters::kJobDunning: return "Mahnungen" + date + ".pdf";
    case letters::kJobEnvelope: return "Umschlag.pdf";
    case letters::kJobParcelLabel: return "Paketaufkleber.pdf";
    case reports::kJobOpenInvoices: return "Offene-Rechnungen.pdf";
    case reports::kJobUnprintedInvoices: return "Ungedruckte-Rechnungen.pdf";
    case reports::kJobInvoiceJournal: return "Rechnungsausgangsbuch.pdf";
    case reports::kJobBackOrders: return "Nachlieferungen.pdf";
    case reports::kJobArticleTurnover: return "Artikelumsatzliste.pdf";
    case reports::kJobArticleHitList: return "Artikelhitliste.pdf";
    case reports::kJobCustomerHitList: return "Kundenhitliste.pdf";
    case reports::kJobTurnoverGraph: return "Umsatzgrafik.pdf";
    case reports::kJobOrderProposals: return "Bestellvorschlag.pdf";
    case reports::kJobArticlesSale:
    case reports::kJobArticlesPurchase: return "Artikelliste.pdf";
    case reports::kJobAddressesByName:
    case reports::kJobAddressesByPostcode: return "Adressliste.pdf";
    case receive::kJobReceivedInvoice:
      return "Eingangsrechnung-" + std::to_string(session.inputs.incomingId) + ".pdf";
    default: return "Belvon.pdf";
  }
}

PdfFinish PdfFinishFor(frame::AppState& app, const PrintSession& session,
                       const std::function<void(const std::string&)>& tell) {
  if (session.job != kJobInvoice && session.job != kJobCollectiveInvoice) return {};
  // A draft carries no e-invoice that could pass for the issued one.
  if (!session.inputs.issuing && !orders::IssuedAsInvoice(app.order)) return {};
  // The e-invoice states the invoice date the paper's terms count from.
  const bool collective = session.job == kJobCollectiveInvoice;
  const std::string invoiceDate =
      !session.inputs.invoiceDate.empty()
          ? session.inputs.invoiceDate
          : orders::IssuedCopyDate(app,
                                   collective ? orders::DocumentKind::CollectiveInvoice
                                              : orders::DocumentKind::Invoice,
                                   session.inputs.printDate);
  return einvoice::InvoicePdfFinish(app, collective, invoiceDate, tell);
}

}  // namespace printing
