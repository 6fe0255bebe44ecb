#include "orders/ui/issue_documents.h"

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_file.h"
#include "orders/ui/document_pdf.h"
#include "orders/order_document_renderer.h"

namespace orders {

void RenderIssuedDocuments(frame::AppState& app, int job, const std::string& invoiceDate,
                           store::IssuedDocuments& documents) {
  const bool collective = job == printing::kJobCollectiveInvoice;
  if (documents.xml.empty()) {
    const einvoice::Document xml =
        einvoice::MakeIssuedDocument(app, collective, invoiceDate, einvoice::kXRechnungGuideline,
                                     documents.precedingInvoice, documents.precedingDate);
    if (xml.ok) documents.xml = xml.xml;
  }
  if (documents.pdf.empty()) {
    printing::PrintSession session;
    session.job = job;
    session.inputs.printDate = invoiceDate;
    if (!collective) session.inputs.invoiceDate = invoiceDate;
    session.inputs.issuing = true;
    if (!DocumentPdfBytes(app, session, documents.pdf)) documents.pdf.clear();
  }
}

}  // namespace orders
