#include "einvoice/pdf_invoice.h"

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_file.h"
#include "einvoice/factur_x_metadata.h"
#include "einvoice/factur_x_pdf.h"
#include "store/einvoice_settings.h"

namespace einvoice {

namespace {

constexpr const char* kNoEInvoice = "Die PDF-Datei enthält keine E-Rechnung (ZUGFeRD):\n";

}  // namespace

PdfEInvoice MakePdfEInvoice(frame::AppState& app, bool collective, const std::string& invoiceDate) {
  PdfEInvoice out;
  const Settings settings = LoadSettings(app.dataDirectory);
  if (!settings.pdfEInvoice) return out;
  const char* guideline =
      settings.pdfGuideline == PdfGuideline::XRechnung ? kXRechnungGuideline : kEn16931Guideline;
  Document document = MakeIssuedDocument(app, collective, invoiceDate, guideline);
  if (!document.ok) {
    out.message = kNoEInvoice + document.message;
    return out;
  }
  out.attach = true;
  out.xml = std::move(document.xml);
  out.conformanceLevel = ConformanceLevel(guideline);
  return out;
}

printing::PdfFinish InvoicePdfFinish(frame::AppState& app, bool collective,
                                     const std::string& invoiceDate,
                                     const std::function<void(const std::string&)>& tell) {
  PdfEInvoice invoice = MakePdfEInvoice(app, collective, invoiceDate);
  if (!invoice.attach) {
    if (!invoice.message.empty() && tell) tell(invoice.message);
    return {};
  }
  printing::PdfFinish finish;
  finish.archival = true;
  finish.finish = [xml = std::move(invoice.xml), level = invoice.conformanceLevel](std::string& pdf) {
    std::string hybrid;
    if (!MakeFacturXPdf(pdf, xml, level, hybrid)) return false;
    pdf = std::move(hybrid);
    return true;
  };
  return finish;
}

}  // namespace einvoice
