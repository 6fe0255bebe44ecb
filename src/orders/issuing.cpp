#include "orders/issuing.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>

#include "core/dates.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "store/einvoice_settings.h"
#include "store/first_start_defaults.h"
#include "store/parameter_file.h"
#include "core/user_interface.h"
#include "orders/document_figures.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/bytes.h"
#include "store/indexed_file.h"
#include "store/issue_file.h"
#include "store/data_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

// The head of the current order as it is in the file.
bool StoredHead(frame::AppState& app, store::OrderHead& head) {
  platform::File data = store::OpenData(app, store::kOrderDataName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  return data && store::ReadOrderHead(data, app.orders.entry.offset, head);
}

bool Refuse(frame::AppState& app, const char* file) {
  if (app.ui)
    app.ui->message(frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                                  "Der Auftrag ist nicht als gedruckt vermerkt.",
                                  app.dataDirectory.c_str(), file),
                    frame::Icon::Stop);
  return false;
}

// An order not yet issued is printed only when its amounts fit the record
// it is stored and issued in, and as an invoice only when it has a line to
// bill: a 0.00 invoice of back-orders or of lines in no tax class would be
// issued for good, and its e-invoice is one the rules reject. An issued
// invoice states its record again and passes.
bool RefusedForItsAmounts(frame::AppState& app, DocumentKind kind) {
  if (kind == DocumentKind::CollectiveInvoice || IssuedAsInvoice(app.order)) return false;
  std::string refusal = AmountsBeyondRecord(app.order, app.orderLines, app.parameters);
  if (refusal.empty() && kind == DocumentKind::Invoice &&
      !HasBillableLine(app.order, app.orderLines))
    refusal = frame::Format(
        "Auftrag %ld hat keine Position, die berechnet werden kann\n"
        "(nur Rückstände, keine Positionen oder keine gültige Steuerklasse).\n"
        "Eine Rechnung über nichts wird nicht ausgestellt.",
        static_cast<long>(app.order.orderNumber));
  if (refusal.empty()) return false;
  if (app.ui) app.ui->message(refusal, frame::Icon::Stop);
  return true;
}

}  // namespace

bool RefusedWithoutPriceSettings(frame::AppState& app, DocumentKind kind) {
  // A delivery note billed by a collective invoice has its invoice: that
  // one. Issued again on its own, the customer would be asked to pay twice.
  if (kind == DocumentKind::Invoice && (app.order.flags & store::kOrderCollectivelyBilled)) {
    if (app.ui)
      app.ui->message(frame::Format("Auftrag %ld ist mit einer Sammelrechnung berechnet\n"
                                    "und wird nicht noch einmal als Rechnung gedruckt.",
                                    static_cast<long>(app.order.orderNumber)),
                      frame::Icon::Stop);
    return true;
  }
  if (RefusedForItsAmounts(app, kind)) return true;
  if (!frame::PriceSettingsUnset(app.parameters)) return false;
  if (kind == DocumentKind::DeliveryNote && app.parameters.pricesHidden) return false;
  const int count = std::min<int>(app.order.lineCount, static_cast<int>(app.orderLines.size()) - 1);
  bool priced = kind == DocumentKind::CollectiveInvoice;
  for (int i = 1; i <= count && !priced; ++i) priced = app.orderLines[i].salePrice != 0;
  if (!priced) return false;
  if (app.ui)
    app.ui->message("Es sind noch keine Währung und kein Steuersatz eingestellt.\n"
                    "Bitte zuerst im Menü \"Datei\" unter \"Währungen, UmSt...\" die Währung "
                    "und die Steuersätze eintragen.",
                    frame::Icon::Stop);
  return true;
}

std::uint16_t IssuedFlags(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::Quotation: return store::kOrderQuotationPrinted;
    case DocumentKind::Confirmation: return store::kOrderConfirmationPrinted;
    case DocumentKind::CostEstimate: return store::kOrderCostEstimatePrinted;
    case DocumentKind::DeliveryNote: return store::kOrderDeliveryNotePrinted;
    case DocumentKind::Invoice:
      return store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted;
    case DocumentKind::CollectiveInvoice: return 0;
  }
  return 0;
}

std::string InvoiceDateToFix(frame::AppState& app, std::string& printDate) {
  // An issued invoice keeps the date it was issued with: nothing to ask.
  if (IssuedAsInvoice(app.order)) {
    const auto record = FindIssueRecord(app, app.order.orderNumber);
    const std::string issued(store::GetText(record ? record->invoiceDate : app.order.invoiceDate));
    if (ParseDate(issued).month >= 1) return printDate = issued;
  }
  std::string_view stored = store::GetText(app.order.invoiceDate);
  if (stored.size() > 8) {
    bool keep = app.ui && app.ui->question(
                              "Dieser Auftrag wurde schon einmal als Rechnung gedruckt.\n"
                              "Soll das alte Rechnungsdatum beibehalten werden ?",
                              frame::Icon::Question, false);
    if (keep) printDate = std::string(stored);
  }
  return printDate;
}

bool RefusedWithoutTaxNumber(frame::AppState& app) {
  const einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  if (settings.exemption == einvoice::Exemption::Unset) {
    // A tax-free line states why it carries no tax; the reason is asked for
    // only when the invoice has one.
    const int count = std::clamp<int>(app.order.lineCount, 0, static_cast<int>(app.orderLines.size()) - 1);
    const bool taxFree = std::any_of(app.orderLines.begin() + 1, app.orderLines.begin() + 1 + count,
                                     [](const store::OrderLine& line) {
                                       return line.taxCode == store::kTaxCodeNone &&
                                              LineCounts(line, true) && LineNet(line) != 0;
                                     });
    if (taxFree) {
      if (app.ui)
        app.ui->message("Die Rechnung hat steuerfreie Positionen, aber noch keinen Grund der "
                        "Steuerfreiheit.\nBitte unter \"Datei / E-Rechnung...\" bei \"Steuerfreie "
                        "Positionen\" den Grund wählen.\nDie Rechnung wird nicht ausgestellt.",
                        frame::Icon::Stop);
      return true;
    }
  }
  if (!store::GetText(app.parameters.vatId).empty() || !settings.taxNumber.empty()) return false;
  if (app.ui)
    app.ui->message("Auf einer Rechnung muss Ihre USt-IdNr. oder Ihre Steuernummer stehen.\n"
                    "Bitte unter \"Datei / Stammdaten...\" eintragen.\n"
                    "Die Rechnung wird nicht ausgestellt.",
                    frame::Icon::Stop);
  return true;
}

bool RefusedForItsDueDate(frame::AppState& app, const std::string& invoiceDate) {
  if (IssuedAsInvoice(app.order)) return false;
  if (RefusedWithoutTaxNumber(app)) return true;
  const Date date = ParseDate(EnteredDate(invoiceDate));
  std::string refusal;
  if (date.month < 1) {
    refusal = frame::Format("Das Rechnungsdatum \"%s\" ist kein gültiges Datum.\n"
                            "Die Rechnung wird nicht ausgestellt.",
                            invoiceDate.c_str());
  } else {
    const std::string due =
        AddDaysToDate(date.day, date.month, date.year, app.order.paymentPeriod);
    if (EnteredDate(due).empty())
      refusal = frame::Format(
          "Mit dem Rechnungsdatum %s wäre die Rechnung am %s fällig:\n"
          "ein Datum außerhalb der Jahre 1900 bis 9999 kann die Rechnung nicht nennen.\n"
          "Die Rechnung wird nicht ausgestellt.",
          invoiceDate.c_str(), due.c_str());
  }
  if (refusal.empty()) return false;
  if (app.ui) app.ui->message(refusal, frame::Icon::Stop);
  return true;
}

std::string IssuedCopyDate(const frame::AppState& app, DocumentKind kind,
                           const std::string& printDate) {
  if (kind != DocumentKind::Invoice && kind != DocumentKind::CollectiveInvoice) return printDate;
  if (!(app.order.flags & store::kOrderInvoicePrinted)) return printDate;
  const std::string stored(store::GetText(app.order.invoiceDate));
  const Date date = ParseDate(stored);
  return date.day >= 1 && date.month >= 1 && date.month <= 12 ? stored : printDate;
}

bool ConfirmReprintTotal(frame::AppState& app) {
  if (!(app.order.flags & store::kOrderInvoicePrinted)) return true;
  // An invoice with its record states the figures of its issue again.
  if (FindIssueRecord(app, app.order.orderNumber)) return true;
  store::OrderHead stored{};
  if (!StoredHead(app, stored)) return true;
  store::OrderHead today = app.order;
  const std::int32_t total = ComputeOrderTotal(today, app.orderLines, app.parameters);
  if (total == stored.total) return true;
  return app.ui && app.ui->question("Mit den heutigen Steuersätzen ergibt diese Rechnung " +
                                        frame::Amount(app.figures, total / 100.0) +
                                        ",\ngespeichert und gebucht ist sie mit " +
                                        frame::Amount(app.figures, stored.total / 100.0) +
                                        ".\nDer gespeicherte Betrag bleibt. Trotzdem drucken ?",
                                    frame::Icon::Question, true);
}

bool RecordIssue(frame::AppState& app, DocumentKind kind, const std::string& invoiceDate,
                 const store::IssuedDocuments* documents) {
  // What the invoice states is taken from what was printed, before anything
  // is read back from the files. Only the marks of the issue go into the
  // head as the file holds it: a payment or a dunning level another copy
  // wrote meanwhile stays. An invoice issued for the first time is recorded
  // in the book of issued invoices with what it states, under the order
  // file's lock and before its mark: the record is the issue (a start that
  // finds a record whose order lacks the mark puts it there). Its total is
  // the amount owed, listed and booked from now on.
  const std::uint16_t flags = IssuedFlags(kind);
  const bool invoice = kind == DocumentKind::Invoice;
  store::IssueRecord record{};
  store::IssuedDocuments archived;
  if (invoice && !IssuedAsInvoice(app.order)) {
    record = StateIssue(app.order, app.orderLines, app.parameters, app.address, invoiceDate,
                        ServiceDateOf(app.dataDirectory, app.order, invoiceDate));
    record.issuedAt = IssueMoment(app.clock->now());
    if (documents) archived = *documents;
    if (app.renderIssuedDocuments && (archived.pdf.empty() || archived.xml.empty()))
      app.renderIssuedDocuments(app, static_cast<int>(kind), invoiceDate, archived);
  }
  if (kind != DocumentKind::DeliveryNote && app.addresses.lastIndex >= 0) {
    // The dialog changes only the number of copies: it goes into the record
    // as the file holds it now, found by its name line 2, so that what
    // another copy changed in it since (or where it moved) is kept. An
    // address that is gone meanwhile has nowhere to keep it.
    const std::int16_t copies = app.address.copies;
    const int done = store::AddressFile(app).ChangeRecord(
        store::AsBytes(app.address), [copies](std::span<std::uint8_t> stored) {
          store::Store<std::int16_t>(stored.data() + offsetof(store::AddressRecord, copies), copies);
          return true;
        });
    if (done == 0) return Refuse(app, store::kAddressDataName);
  }
  // The print settings this copy changed (in the dialog) go into the
  // parameter file as it is now; what another copy saved meanwhile (a
  // currency changeover, its own settings) stays.
  if (!frame::SaveParameters(app))
    return Refuse(app, store::kParameterFileName);
  const char* failedFile = store::kOrderDataName;
  store::OrderHead head{};
  if (!store::ChangeOrderHead(app, app.order.orderNumber,
                              [&](store::OrderHead& stored) {
                                if (invoice && !(stored.flags & store::kOrderInvoicePrinted)) {
                                  // The documents go into the archive first,
                                  // their digests into the record.
                                  if (!store::ArchiveIssuedDocuments(app, stored.orderNumber,
                                                                     archived, record)) {
                                    failedFile = "ARCHIV";
                                    return false;
                                  }
                                  if (!store::AppendIssueRecord(app, record)) {
                                    failedFile = store::kIssueFileName;
                                    return false;
                                  }
                                  stored.total = static_cast<std::int32_t>(record.total);
                                  store::SetText(stored.invoiceDate, invoiceDate);
                                }
                                stored.flags |= flags;
                                return true;
                              },
                              &head))
    return Refuse(app, failedFile);
  app.order = head;
  return true;
}

bool IssueDocument(frame::AppState& app, DocumentKind kind, int copies, std::string& printDate,
                   const PrintJobCall& printJob) {
  if (RefusedWithoutPriceSettings(app, kind)) return false;
  // A collective invoice was issued with its number and date; as an invoice
  // it prints again as the collective invoice it is.
  if (kind == DocumentKind::Invoice && (app.order.flags & store::kOrderCollectiveInvoice))
    kind = DocumentKind::CollectiveInvoice;
  // An order is printed only when it can be marked in place afterwards.
  store::OrderHead stored{};
  if (StoredHead(app, stored) && stored.lineCount < app.order.lineCount) {
    if (app.ui)
      app.ui->message("Der Auftrag hat mehr Positionen als gespeichert.\nBitte erst speichern !",
                      frame::Icon::Stop);
    return false;
  }
  std::string invoiceDate;
  if (kind == DocumentKind::Invoice) {
    if (!ConfirmReprintTotal(app)) return false;
    invoiceDate = InvoiceDateToFix(app, printDate);
    if (RefusedForItsDueDate(app, invoiceDate)) return false;
  }
  // The first copy that is out records the issue, for the order it was
  // printed from; a preview may print long after this returned.
  struct Outcome {
    bool tried = false;
    bool recorded = false;
  };
  auto outcome = std::make_shared<Outcome>();
  const std::int32_t number = app.order.orderNumber;
  auto printed = [&app, kind, invoiceDate, number, outcome] {
    if (outcome->tried) return;
    outcome->tried = true;
    if (app.order.orderNumber != number) {
      if (app.ui)
        app.ui->message("Der gedruckte Auftrag ist nicht mehr geöffnet.\n"
                        "Er ist nicht als gedruckt vermerkt.",
                        frame::Icon::Stop);
      return;
    }
    outcome->recorded = RecordIssue(app, kind, invoiceDate);
  };
  const int job = static_cast<int>(kind);
  printing::JobInputs inputs;
  inputs.printDate = printDate;
  inputs.invoiceDate = invoiceDate;
  inputs.issuing = true;
  for (int i = 1; i < copies; ++i) printJob(job, false, inputs, printed);
  printJob(job, true, inputs, printed);
  return outcome->recorded;
}

}  // namespace orders
