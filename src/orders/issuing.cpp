#include "orders/issuing.h"

#include "frame/parameter_file.h"
#include "frame/user_interface.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/text_field.h"

namespace orders {

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

void FixInvoiceDate(frame::AppState& app, std::string& printDate) {
  store::OrderHead& head = app.order;
  std::string_view stored = store::GetText(head.invoiceDate);
  if (stored.size() > 8) {
    bool keep = app.ui && app.ui->question(
                              "Dieser Auftrag wurde schon einmal als Rechnung gedruckt.\n"
                              "Soll das alte Rechnungsdatum beibehalten werden ?",
                              frame::Icon::Question, false);
    if (keep)
      printDate = std::string(stored);
    else
      store::SetText(head.invoiceDate, printDate);
    return;
  }
  store::SetText(head.invoiceDate, printDate);
}

bool IssueDocument(frame::AppState& app, DocumentKind kind, int copies, std::string& printDate,
                   const PrintJobCall& printJob) {
  store::OrderHead& head = app.order;
  head.flags |= IssuedFlags(kind);
  if (kind != DocumentKind::DeliveryNote && app.addresses.lastIndex >= 0) {
    // A changed number of copies is kept with the customer.
    std::int32_t position = app.addresses.position;
    store::WriteAddress(app, app.address, position, false);
  }
  if (kind == DocumentKind::Invoice) FixInvoiceDate(app, printDate);
  std::int32_t position = app.orders.position;
  if (!store::StoreOrder(app, head, position, store::StoreMode::Rewrite)) {
    if (app.ui) app.ui->message("Der Auftrag konnte nicht gespeichert werden.", frame::Icon::Stop);
    return false;
  }
  const int job = static_cast<int>(kind);
  for (int i = 1; i < copies; ++i) printJob(job, false, printDate);
  printJob(job, true, printDate);
  frame::SaveParameters(app);
  return true;
}

}  // namespace orders
