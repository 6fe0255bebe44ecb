// A document as a PDF file: the one way belvon-cli print --pdf and a mailed
// document are written, so that both carry the same file.
#ifndef BELVON_ORDERS_UI_DOCUMENT_PDF_H
#define BELVON_ORDERS_UI_DOCUMENT_PDF_H

#include <string>

#include "orders/issuing.h"
#include "printing/page_renderer.h"
#include "store/app_state.h"

namespace orders {

// Draws `session`'s job with `renderer` into the PDF file `path`, whole or
// not at all; false when it was not written.
bool WriteDocumentPdf(frame::AppState& app, printing::PrintSession& session,
                      printing::PageRenderer& renderer, const std::string& path);

// The PDF of `session`'s job with its own renderer, by way of a temporary
// file; false when it could not be made.
bool DocumentPdfBytes(frame::AppState& app, printing::PrintSession& session, std::string& bytes);

struct DocumentPdf {
  std::string bytes;
  std::string fileName;  // "Rechnung-1234.pdf"
  std::string problem;   // German, when there are no bytes
};

// One copy of a document of the current order, drawn on `printDate`, by
// way of a temporary file; an invoice that sending it issues states the
// `invoiceDate` the issue records (empty: its own).
DocumentPdf OrderDocumentPdf(frame::AppState& app, DocumentKind kind, const std::string& printDate,
                             const std::string& invoiceDate = {});

}  // namespace orders

#endif  // BELVON_ORDERS_UI_DOCUMENT_PDF_H
