#include "einvoice/einvoice_file.h"

#include <cstdio>
#include <fstream>

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_settings.h"
#include "einvoice/invoice_model.h"
#include "frame/decimal.h"

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

bool WriteDocument(const std::string& path, const std::string& xml) {
  const std::string temporary = path + ".neu";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << xml;
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace einvoice
