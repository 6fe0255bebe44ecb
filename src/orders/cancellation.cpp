#include "orders/cancellation.h"

#include <algorithm>

#include "core/dates.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "orders/issue_statement.h"
#include "orders/issuing.h"
#include "orders/order_editor.h"
#include "orders/order_math.h"
#include "store/data_file.h"
#include "store/issue_archive.h"
#include "store/issue_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

void Tell(frame::AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

// The lines of the current order as a new order takes them: none that waits
// for delivery, none marked as booked.
std::vector<store::OrderLine> CurrentLines(const frame::AppState& app) {
  std::vector<store::OrderLine> lines;
  const int count = std::clamp<int>(app.order.lineCount, 0, static_cast<int>(store::kMaxOrderLines));
  for (int i = 1; i <= count; ++i) {
    store::OrderLine line = app.orderLines[static_cast<std::size_t>(i)];
    if (line.flags & store::kLineBackOrder) continue;
    line.flags &= static_cast<std::uint16_t>(~store::kLineBooked);
    lines.push_back(line);
  }
  return lines;
}

// Stores `lines` as a new order with `head` (its number is drawn); the new
// order becomes the current one.
bool StoreNew(frame::AppState& app, store::OrderHead head, const std::vector<store::OrderLine>& lines,
              const store::ParameterRecord& parameters) {
  head.length = static_cast<std::uint16_t>(store::kOrderHeadSize);
  head.lineCount = static_cast<std::int16_t>(lines.size());
  head.stored = 1;
  std::copy(lines.begin(), lines.end(), app.orderLines.begin() + 1);
  head.total = ComputeOrderTotal(head, app.orderLines, parameters);
  std::int32_t position = -1;
  if (!store::StoreOrder(app, head, position, store::StoreMode::NewNumber)) return false;
  app.order = head;
  app.orders.position = position;
  return true;
}

}  // namespace

std::string IssuedInvoiceRefusal(std::int32_t invoiceNumber, const char* done) {
  return frame::Format(
      "Die Rechnung Nr. %ld ist ausgestellt und kann nicht mehr %s werden.\n"
      "Zum Berichtigen: \"Stornieren\" stellt eine Gutschrift über die ganze Rechnung aus,\n"
      "\"Kopieren\" legt einen neuen Auftrag mit denselben Positionen an.",
      static_cast<long>(invoiceNumber), done);
}

bool RefuseIssuedChange(frame::AppState& app, const store::OrderHead& head, const char* done) {
  if (!IssuedAsInvoice(head) || (head.flags & store::kOrderCollectiveInvoice)) return false;
  Tell(app, IssuedInvoiceRefusal(head.orderNumber, done));
  return true;
}

bool CancelInvoice(frame::AppState& app, const std::string& date, std::int32_t& creditNote) {
  creditNote = 0;
  const store::OrderHead invoice = app.order;
  const long number = invoice.orderNumber;
  if (!IssuedAsInvoice(invoice)) {
    Tell(app, frame::Format("Auftrag %ld ist keine ausgestellte Rechnung.\n"
                            "Nur eine ausgestellte Rechnung wird storniert.",
                            number));
    return false;
  }
  store::IssueBook book;
  if (!store::ReadIssueBook(app, book)) return false;
  const store::IssueRecord* issued = book.find(invoice.orderNumber);
  if (!issued) {
    Tell(app, frame::Format("Rechnung %ld steht nicht im Rechnungsausgangsbuch (%s).\n"
                            "Bitte erst die Datenstruktur prüfen.",
                            number, store::kIssueFileName));
    return false;
  }
  if (issued->kind == store::kIssuedCreditNote) {
    Tell(app, frame::Format("Nr. %ld ist eine Gutschrift und wird nicht storniert.", number));
    return false;
  }
  for (const store::IssueRecord& record : book.records())
    if ((record.flags & store::kIssueCancellation) && record.precedingInvoice == invoice.orderNumber) {
      Tell(app, frame::Format("Die Rechnung Nr. %ld ist schon mit der Gutschrift Nr. %ld storniert.",
                              number, static_cast<long>(record.invoiceNumber)));
      return false;
    }
  const std::string invoiceDate(store::GetText(issued->invoiceDate));
  std::vector<store::OrderLine> lines;
  store::OrderLine reference = BlankOrderLine();
  reference.length = static_cast<std::uint16_t>(store::kOrderLineSize);
  store::SetText(reference.description1, frame::Format("Storno der Rechnung Nr. %ld", number));
  store::SetText(reference.description2, "vom " + invoiceDate);
  for (store::OrderLine line : CurrentLines(app)) {
    line.quantity = -line.quantity;
    lines.push_back(line);
  }
  // The line that names the invoice carries nothing: in the class of the
  // first line it adds no tax class of its own (nor an exemption note).
  reference.taxCode = lines.empty() ? store::kTaxCodeRate2 : lines.front().taxCode;
  if (lines.size() < store::kMaxOrderLines) lines.insert(lines.begin(), reference);
  const store::AddressRecord customer = CustomerOf(app, invoice.customerRef);

  store::OrderHead head{};
  head.customerRef = invoice.customerRef;
  store::SetText(head.orderDate, date);
  head.currency = invoice.currency;
  head.flags = invoice.flags & (store::kOrderPricesIncludeTax | store::kOrderGrossAsNet);
  const store::OrderHead keptHead = app.order;
  const auto keptLines = app.orderLines;
  const auto keptCursor = app.orders;
  if (!StoreNew(app, head, lines, StatedParameters(app.parameters, *issued))) {
    app.order = keptHead;
    app.orderLines = keptLines;
    app.orders = keptCursor;
    Tell(app, "Die Gutschrift konnte nicht gespeichert werden.\nDie Rechnung ist nicht storniert.");
    return false;
  }
  // Stated with the rates of the invoice it cancels, so that every figure
  // is the invoice's, turned round.
  store::IssueRecord record = StateIssue(app.order, app.orderLines,
                                         StatedParameters(app.parameters, *issued), customer, date,
                                         date);
  record.kind = store::kIssuedCreditNote;
  record.flags |= store::kIssueCancellation;
  record.precedingInvoice = invoice.orderNumber;
  store::SetText(record.precedingDate, invoiceDate);
  record.issuedAt = IssueMoment(app.clock->now());
  store::IssuedDocuments documents;
  documents.precedingInvoice = invoice.orderNumber;
  documents.precedingDate = invoiceDate;
  if (app.renderIssuedDocuments) {
    // Drawn as the credit note it is about to become, with the invoice's rates.
    const store::OrderHead draft = app.order;
    const store::ParameterRecord today = app.parameters;
    app.parameters = StatedParameters(today, *issued);
    app.renderIssuedDocuments(app, static_cast<int>(DocumentKind::Invoice), date, documents);
    app.parameters = today;
    app.order = draft;
  }
  bool bookFailed = false;
  const std::int32_t credit = app.order.orderNumber;
  store::OrderHead written{};
  // The credit note corrects the books, it brings no goods back: it is
  // never booked to stock.
  if (!store::ChangeOrderHead(app, credit,
                              [&](store::OrderHead& stored) {
                                if (!store::ArchiveIssuedDocuments(app, credit, documents, record) ||
                                    !store::AppendIssueRecord(app, record)) {
                                  bookFailed = true;
                                  return false;
                                }
                                stored.flags |= store::kOrderInvoicePrinted |
                                                store::kOrderDeliveryNotePrinted |
                                                store::kOrderBooked;
                                store::SetText(stored.invoiceDate, date);
                                stored.total = static_cast<std::int32_t>(record.total);
                                return true;
                              },
                              &written)) {
    Tell(app, frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                            "Die Rechnung ist nicht storniert; Auftrag %ld bleibt als Entwurf.",
                            app.dataDirectory.c_str(),
                            bookFailed ? store::kIssueFileName : store::kOrderDataName,
                            static_cast<long>(credit)));
    return false;
  }
  creditNote = credit;
  // What was still open on the invoice is written off against the credit
  // note; what the customer paid on it stays owed back on the credit note.
  std::int64_t open = 0;
  store::ChangeOrderHead(app, invoice.orderNumber, [&](store::OrderHead& stored) {
    open = std::int64_t{stored.total} - stored.paid;
    if (open <= 0) return false;
    stored.paid = stored.total;
    store::SetText(stored.account, kCancelledNote);
    store::SetText(stored.paymentDate, date);
    return true;
  });
  store::ChangeOrderHead(app, credit, [&](store::OrderHead& stored) {
    if (open <= 0) return false;
    stored.paid = static_cast<std::int32_t>(-open);
    store::SetText(stored.account, kCancelledNote);
    store::SetText(stored.paymentDate, date);
    return true;
  }, &written);
  app.order = written;
  return true;
}

bool CopyOrder(frame::AppState& app, std::int32_t& copy) {
  copy = 0;
  const store::OrderHead original = app.order;
  store::OrderHead head{};
  head.customerRef = original.customerRef;
  store::SetText(head.orderDate, FormatDate(*app.clock));
  head.currency = original.currency;
  head.flags = original.flags & (store::kOrderPricesIncludeTax | store::kOrderGrossAsNet);
  head.paymentPeriod = original.paymentPeriod;
  head.cashDiscount = original.cashDiscount;
  head.cashDiscountPeriod = original.cashDiscountPeriod;
  const std::vector<store::OrderLine> lines = CurrentLines(app);
  const auto keptCursor = app.orders;
  if (!StoreNew(app, head, lines, app.parameters)) {
    app.order = original;
    app.orders = keptCursor;
    Tell(app, "Die Kopie konnte nicht gespeichert werden.");
    return false;
  }
  copy = app.order.orderNumber;
  return true;
}

}  // namespace orders
