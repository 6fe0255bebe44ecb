#include "orders/collective_invoice.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "frame/decimal.h"
#include "frame/user_interface.h"
#include "orders/dates.h"
#include "orders/goods_receipt.h"
#include "orders/order_math.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

// The head must hold its date point and reach the end of the invoice date,
// the last field a collective invoice writes.
bool HeadIsSound(const store::OrderHead& head) {
  return head.length >= offsetof(store::OrderHead, invoiceDate) + sizeof head.invoiceDate &&
         reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.';
}

bool Qualifies(const store::OrderHead& head, bool includeInvoiced) {
  if (!(head.flags & store::kOrderDeliveryNotePrinted) || IsGoodsReceipt(head))
    return false;
  return includeInvoiced || !(head.flags & store::kOrderInvoicePrinted);
}

bool WriteHead(platform::File& data, std::uint32_t offset, const store::OrderHead& head) {
  const std::size_t n = std::min<std::size_t>(head.length, sizeof head);
  return data.seek(offset) && data.write(&head, n);
}

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

}  // namespace

std::string HighestNumberOfMonth(const platform::Clock& clock) {
  Date today;
  FormatDate(clock, &today);
  return frame::Format("%d%02d9999", today.year - 1900, today.month);
}

bool CollectOrders(frame::AppState& app, const CollectionRequest& request, Collection& out) {
  out = Collection{};
  out.invoiceDate = request.invoiceDate;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read,
                                           Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) {
      Tell(app, "Der Auftragsindex kann nicht gelesen werden.", frame::Icon::Stop);
      return false;
    }
  }
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read,
                                        Share::DenyWrite);
  if (!data) {
    Tell(app, "Die Aufträge können nicht gelesen werden.", frame::Icon::Stop);
    return false;
  }
  int collected = 0;
  std::vector<store::OrderLine> lines(store::kOrderLineSlots);
  for (std::int32_t k = 0; k < block.count; ++k) {
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if (entry.customerRef != request.customerRef || entry.orderNumber < request.from ||
        entry.orderNumber > request.to)
      continue;
    store::OrderHead head{};
    if (!store::ReadOrderHead(data, entry.offset, head) || !HeadIsSound(head)) {
      Tell(app,
           frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht berücksichtigt werden.",
                         static_cast<long>(entry.orderNumber)),
           frame::Icon::Exclamation);
      continue;
    }
    if (!Qualifies(head, request.includeInvoiced) ||
        collected + head.lineCount > kMaxCollectedLines)
      continue;
    // Read the lines before asking anything, so that an order whose lines
    // cannot be read is left out untouched.
    const int read = store::ReadOrderLines(data, entry.offset, head, lines);
    if (read != head.lineCount) {
      Tell(app,
           frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht berücksichtigt werden.",
                         static_cast<long>(entry.orderNumber)),
           frame::Icon::Exclamation);
      continue;
    }
    std::string_view old = store::GetText(head.invoiceDate);
    if (old.size() > 8 && app.ui &&
        app.ui->question(frame::Format("Auftrag %ld wurde schon einmal als Rechnung gedruckt.\n"
                                       "Soll das alte Rechnungsdatum beibehalten werden ?",
                                       static_cast<long>(entry.orderNumber)),
                         frame::Icon::Question, false))
      out.invoiceDate = std::string(old);
    // Back-order lines stay in their order; they are only left out here.
    for (int i = 1; i <= read; ++i) {
      if (lines[i].flags & store::kLineBackOrder) continue;
      store::OrderLine& line = out.lines[++collected];
      line = lines[i];
      line.orderNumber = entry.orderNumber;
    }
    head.flags |= store::kOrderInvoicePrinted;
    store::SetText(head.invoiceDate, out.invoiceDate);
    out.head = head;
    out.orders.push_back({entry.orderNumber, entry.offset, out.invoiceDate});
  }
  if (collected == 0) {
    Tell(app, "Es sind keine Lieferscheine\nfür diesen Kunden verfügbar !", frame::Icon::Stop);
    return false;
  }
  out.head.lineCount = static_cast<std::int16_t>(collected);
  store::SetText(out.head.invoiceDate, out.invoiceDate);
  out.head.total = ComputeOrderTotal(out.head, out.lines, app.parameters);
  return true;
}

bool IssueCollection(frame::AppState& app, const Collection& collection) {
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::ReadWrite,
                                        Share::Exclusive);
  std::vector<store::OrderHead> before(collection.orders.size());
  bool ok = static_cast<bool>(data);
  for (std::size_t i = 0; ok && i < collection.orders.size(); ++i)
    ok = store::ReadOrderHead(data, collection.orders[i].offset, before[i]) &&
         HeadIsSound(before[i]);
  std::size_t written = 0;
  for (; ok && written < collection.orders.size(); ++written) {
    store::OrderHead head = before[written];
    head.flags |= store::kOrderInvoicePrinted;
    store::SetText(head.invoiceDate, collection.orders[written].invoiceDate);
    ok = WriteHead(data, collection.orders[written].offset, head);
  }
  if (ok) return true;
  // Put back every head already written, the one that failed included.
  for (std::size_t i = 0; i < written && data; ++i)
    WriteHead(data, collection.orders[i].offset, before[i]);
  Tell(app,
       frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                     "Kein Auftrag ist als berechnet vermerkt.",
                     app.dataDirectory.c_str(), store::kOrderDataName),
       frame::Icon::Stop);
  return false;
}

CollectionInPane::CollectionInPane(frame::AppState& app, const Collection& collection)
    : app_(app), collection_(collection), order_(app.order), lines_(app.orderLines) {
  app.order = collection.head;
  std::copy(collection.lines.begin() + 1, collection.lines.end(), app.orderLines.begin() + 1);
}

CollectionInPane::~CollectionInPane() {
  app_.order = order_;
  app_.orderLines = std::move(lines_);
  if (!issued_ || !order_.orderNumber) return;
  for (const CollectedOrder& collected : collection_.orders) {
    if (collected.orderNumber != order_.orderNumber) continue;
    app_.order.flags |= store::kOrderInvoicePrinted;
    store::SetText(app_.order.invoiceDate, collected.invoiceDate);
  }
}

}  // namespace orders
