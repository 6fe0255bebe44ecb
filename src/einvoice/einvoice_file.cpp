#include "einvoice/einvoice_file.h"

#include "einvoice/cii_writer.h"
#include "store/einvoice_settings.h"
#include "einvoice/invoice_model.h"
#include "core/decimal.h"
#include "platform/output_file.h"

namespace einvoice {

Document MakeDocument(const frame::AppState& app) {
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
  if (outcome.ok) document.xml = CiiXml(outcome.invoice);
  return document;
}

std::string DefaultFileName(const frame::AppState& app) {
  return frame::Format("R%ld.xml", static_cast<long>(app.order.orderNumber));
}

bool WriteDocument(platform::FileSystem& fs, const std::string& path, const std::string& xml) {
  return platform::WriteOutputFile(fs, path, xml);
}

}  // namespace einvoice
