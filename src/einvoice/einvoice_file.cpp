#include "einvoice/einvoice_file.h"

#include <algorithm>
#include <optional>
#include <span>

#include "einvoice/cii_writer.h"
#include "store/einvoice_settings.h"
#include "einvoice/invoice_model.h"
#include "orders/collective_invoice.h"
#include "orders/issue_statement.h"
#include "store/issue_archive.h"
#include "core/decimal.h"
#include "platform/output_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace einvoice {

namespace {

// "dd.mm.yyyy" as yyyymmdd; empty for anything else.
std::string Yyyymmdd(const std::string& date) {
  return date.size() == 10 ? date.substr(6, 4) + date.substr(3, 2) + date.substr(0, 2) : std::string();
}

Document Make(frame::AppState& app, std::string_view guideline, std::int32_t precedingInvoice = 0,
              std::string precedingDate = {}) {
  Document document;
  // An issued invoice's e-invoice is the one that left the program with it,
  // as the archive keeps it.
  const std::optional<store::IssueRecord> record =
      orders::IssuedAsInvoice(app.order) ? orders::FindIssueRecord(app, app.order.orderNumber)
                                         : std::nullopt;
  if (record) {
    std::string archived;
    switch (store::ReadArchived(app, *record, false, archived)) {
      case store::ArchiveState::Intact:
        document.ok = true;
        document.xml = std::move(archived);
        return document;
      case store::ArchiveState::Changed:
      case store::ArchiveState::Missing:
        document.notes.push_back(frame::Format(
            "Die archivierte E-Rechnung %s fehlt oder wurde verändert; sie wird neu erstellt.",
            store::ArchivePath(app, record->invoiceNumber, "xml").c_str()));
        break;
      case store::ArchiveState::None: break;
    }
  }
  // A refused setting (a tax number, a reason, a buyer reference) would be
  // missing from the invoice: no document until it is entered again.
  std::string problem;
  const Settings settings = LoadSettings(app.dataDirectory, &problem);
  if (!problem.empty()) {
    document.message = problem;
    return document;
  }
  // An issued invoice states the figures of its issue, whatever the tax
  // rates are today; one being issued the figures its lines give now.
  const store::ParameterRecord parameters = orders::ParametersOfOrder(app, app.order);
  const store::OrderHead kept = app.order;
  app.order.total = orders::StatedTotal(app.order, app.orderLines, parameters);
  Outcome outcome = BuildInvoice(app, parameters, settings);
  app.order = kept;
  // A credit note that cancels an invoice names it.
  if (outcome.ok && precedingInvoice == 0 && record) {
    precedingInvoice = record->precedingInvoice;
    precedingDate = std::string(store::GetText(record->precedingDate));
  }
  // A collective invoice's supplies are those of its delivery notes: it
  // states the last of them, the end of the time its paper states.
  if (outcome.ok && (app.order.flags & store::kOrderCollectiveInvoice)) {
    const int count =
        std::clamp<int>(app.order.lineCount, 0, static_cast<int>(app.orderLines.size()) - 1);
    const orders::DeliveryPeriod period = orders::DeliveryPeriodOf(
        app, std::span<const store::OrderLine>(app.orderLines).subspan(1, count));
    if (!period.last.empty()) outcome.invoice.serviceDate = Yyyymmdd(period.last);
  }
  if (outcome.ok && precedingInvoice != 0) {
    outcome.invoice.precedingNumber = std::to_string(precedingInvoice);
    outcome.invoice.precedingDate = Yyyymmdd(precedingDate);
  }
  document.ok = outcome.ok;
  document.message = outcome.message;
  document.notes.insert(document.notes.end(), outcome.notes.begin(), outcome.notes.end());
  if (outcome.ok) document.xml = CiiXml(outcome.invoice, guideline);
  return document;
}

}  // namespace

Document MakeDocument(frame::AppState& app) { return Make(app, kXRechnungGuideline); }

Document MakeIssuedDocument(frame::AppState& app, bool collective, const std::string& invoiceDate,
                            std::string_view guideline, std::int32_t precedingInvoice,
                            const std::string& precedingDate) {
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
  Document document = Make(app, guideline, precedingInvoice, precedingDate);
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
