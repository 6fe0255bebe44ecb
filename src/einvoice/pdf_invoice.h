// The e-invoice an invoice written as PDF carries (ZUGFeRD / Factur-X),
// when ERECHNUNG.INI says so: the same CII `belvon-cli einvoice` writes for
// the issued invoice, naming the guideline of the settings.
#ifndef BELVON_EINVOICE_PDF_INVOICE_H
#define BELVON_EINVOICE_PDF_INVOICE_H

#include <functional>
#include <string>
#include <string_view>

#include "printing/print_job.h"
#include "store/app_state.h"

namespace einvoice {

struct PdfEInvoice {
  bool attach = false;  // the setting is on and the e-invoice could be made
  std::string message;  // German: why the PDF carries none though it should
  std::string xml;
  std::string_view conformanceLevel;  // of the guideline the XML names
};

// The CII for the document in `app.order`. An invoice (`collective`
// false) is taken as the print issues it: an invoice dated `invoiceDate`
// (the date its payment terms count from). A collective invoice is the
// issued one in `app.order` as it stands.
PdfEInvoice MakePdfEInvoice(frame::AppState& app, bool collective, const std::string& invoiceDate);

// The PDF of such a document: a PDF/A-3b with its CII attached when it can
// be made; else a plain PDF, and `tell` says what is missing.
printing::PdfFinish InvoicePdfFinish(frame::AppState& app, bool collective,
                                     const std::string& invoiceDate,
                                     const std::function<void(const std::string&)>& tell);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_PDF_INVOICE_H
