#include "einvoice/pdf_invoice.h"

#include "einvoice/cii_writer.h"
#include "einvoice/factur_x_pdf.h"
#include "einvoice/invoice_model.h"
#include "store/einvoice_settings.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace einvoice {

namespace {

constexpr const char* kNoEInvoice = "Die PDF-Datei enthält keine E-Rechnung (ZUGFeRD):\n";

}  // namespace

PdfEInvoice MakePdfEInvoice(frame::AppState& app, bool collective, const std::string& printDate) {
  PdfEInvoice out;
  std::string problem;
  const Settings settings = LoadSettings(app.dataDirectory, &problem);
  if (!settings.pdfEInvoice) return out;
  if (!problem.empty()) {
    out.message = kNoEInvoice + problem;
    return out;
  }
  if (collective && app.order.orderNumber == 0) {
    out.message = std::string(kNoEInvoice) + "Die Sammelrechnung ist nicht ausgestellt.";
    return out;
  }
  // The invoice as this print issues it; the order itself stays as it is
  // until the document is written.
  const store::OrderHead kept = app.order;
  if (!collective) {
    app.order.flags |= store::kOrderInvoicePrinted;
    store::SetText(app.order.invoiceDate, printDate);
  }
  const Outcome outcome = BuildInvoice(app, settings);
  app.order = kept;
  if (!outcome.ok) {
    out.message = kNoEInvoice + outcome.message;
    return out;
  }
  out.attach = true;
  out.xml = CiiXml(outcome.invoice, settings.pdfGuideline == PdfGuideline::XRechnung
                                        ? kXRechnungGuideline
                                        : kEn16931Guideline);
  return out;
}

printing::PdfFinish InvoicePdfFinish(frame::AppState& app, bool collective,
                                     const std::string& printDate,
                                     const std::function<void(const std::string&)>& tell) {
  PdfEInvoice invoice = MakePdfEInvoice(app, collective, printDate);
  if (!invoice.attach) {
    if (!invoice.message.empty() && tell) tell(invoice.message);
    return {};
  }
  printing::PdfFinish finish;
  finish.archival = true;
  finish.finish = [xml = std::move(invoice.xml)](std::string& pdf) {
    std::string hybrid;
    if (!MakeFacturXPdf(pdf, xml, hybrid)) return false;
    pdf = std::move(hybrid);
    return true;
  };
  return finish;
}

}  // namespace einvoice
