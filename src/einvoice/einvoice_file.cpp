#include "einvoice/einvoice_file.h"

#include "einvoice/cii_writer.h"
#include "store/einvoice_settings.h"
#include "einvoice/invoice_model.h"
#include "core/decimal.h"
#include "platform/output_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace einvoice {

namespace {

Document Make(const frame::AppState& app, std::string_view guideline) {
  Document document;
  // A refused setting (a tax number, a reason, a buyer reference) would be
  // missing from the invoice: no document until it is entered again.
  std::string problem;
  const Settings settings = LoadSettings(app.dataDirectory, &problem);
  if (!problem.empty()) {
    document.message = problem;
    return document;
  }
  const Outcome outcome = BuildInvoice(app, settings);
  document.ok = outcome.ok;
  document.message = outcome.message;
  document.notes = outcome.notes;
  if (outcome.ok) document.xml = CiiXml(outcome.invoice, guideline);
  return document;
}

}  // namespace

Document MakeDocument(const frame::AppState& app) { return Make(app, kXRechnungGuideline); }

Document MakeIssuedDocument(frame::AppState& app, bool collective, const std::string& invoiceDate,
                            std::string_view guideline) {
  if (collective && app.order.orderNumber == 0) {
    Document document;
    document.message = "Die Sammelrechnung ist nicht ausgestellt.";
    return document;
  }
  // The invoice as this print issues it; the order itself stays as it is
  // until the document is written.
  const store::OrderHead kept = app.order;
  if (!collective) {
    app.order.flags |= store::kOrderInvoicePrinted;
    store::SetText(app.order.invoiceDate, invoiceDate);
  }
  Document document = Make(app, guideline);
  app.order = kept;
  return document;
}

std::string DefaultFileName(const frame::AppState& app) {
  return frame::Format("R%ld.xml", static_cast<long>(app.order.orderNumber));
}

bool WriteDocument(platform::FileSystem& fs, const std::string& path, const std::string& xml) {
  return platform::WriteOutputFile(fs, path, xml);
}

}  // namespace einvoice
