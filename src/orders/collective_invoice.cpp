#include "orders/collective_invoice.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "orders/goods_receipt.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "orders/issuing.h"
#include "store/issue_archive.h"
#include "store/issue_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

// The head must hold its date point and reach the end of the invoice date.
bool HeadIsSound(const store::OrderHead& head) {
  return head.length >= offsetof(store::OrderHead, invoiceDate) + sizeof head.invoiceDate &&
         reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.';
}

bool Qualifies(const store::OrderHead& head, bool includeInvoiced) {
  if (!(head.flags & store::kOrderDeliveryNotePrinted) || IsGoodsReceipt(head) ||
      (head.flags & (store::kOrderCollectiveInvoice | store::kOrderCollectivelyBilled)))
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

// "EUR netto", "CHF brutto", "EUR brutto als netto".
std::string KindName(const store::ParameterRecord& p, int currency, std::uint16_t priceKind) {
  const char* symbols[] = {p.currencySymbol1, p.currencySymbol2, p.currencySymbol3,
                           p.currencySymbol4};
  const std::string name(store::GetText(symbols[currency >= 0 && currency < 4 ? currency : 0], 4));
  const char* kind = priceKind == 0                              ? "netto"
                     : (priceKind & store::kOrderGrossAsNet) != 0 ? "brutto als netto"
                                                                  : "brutto";
  return name + " " + kind;
}

// Refuses a collection of more than one currency or price kind, naming the
// orders of each kind.
bool OneKind(frame::AppState& app, const std::vector<CollectedOrder>& orders) {
  std::map<std::pair<int, std::uint16_t>, std::string> kinds;
  for (const CollectedOrder& order : orders) {
    std::string& numbers = kinds[{order.head.currency, store::PriceKind(order.head.flags)}];
    numbers += (numbers.empty() ? "" : ", ") + std::to_string(order.orderNumber);
  }
  if (kinds.size() <= 1) return true;
  std::string list;
  for (const auto& [kind, numbers] : kinds)
    list += "\n" + KindName(app.parameters, kind.first, kind.second) + ": " + numbers;
  Tell(app,
       "Die Lieferscheine haben verschiedene Währungen oder Preisarten und können nicht in "
       "einer Sammelrechnung stehen:" + list +
           "\nBitte den Nummernbereich so wählen, dass er nur eine Art enthält.",
       frame::Icon::Stop);
  return false;
}

// Removes the index entry of the order with this number.
void RemoveEntry(frame::AppState& app, std::int32_t number) {
  store::OrderHead criteria{};
  criteria.orderNumber = number;
  std::int32_t at = -1;
  if (store::FindOrder(app, criteria, at, true)) store::DeleteOrderEntry(app, at);
}

// Sets or clears the billed mark of every collected order, all or none.
bool MarkCollected(frame::AppState& app, const Collection& collection, bool billed) {
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
    if (billed)
      head.flags |= store::kOrderCollectivelyBilled;
    else
      head.flags &= static_cast<std::uint16_t>(~store::kOrderCollectivelyBilled);
    ok = WriteHead(data, collection.orders[written].offset, head);
  }
  if (ok) return true;
  // Put back every head already written, the one that failed included.
  for (std::size_t i = 0; i < written && data; ++i)
    WriteHead(data, collection.orders[i].offset, before[i]);
  return false;
}

// Whether every collected order is in the file as it was collected.
bool Unchanged(frame::AppState& app, const Collection& collection) {
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read,
                                        Share::DenyWrite);
  if (!data) return false;
  for (const CollectedOrder& order : collection.orders) {
    store::OrderHead now{};
    if (!store::ReadOrderHead(data, order.offset, now) ||
        std::memcmp(&now, &order.head, sizeof now) != 0) {
      Tell(app,
           frame::Format("Auftrag %ld wurde inzwischen geändert.\n"
                         "Die Sammelrechnung wird nicht ausgestellt.",
                         static_cast<long>(order.orderNumber)),
           frame::Icon::Stop);
      return false;
    }
  }
  return true;
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
  auto damaged = [&app](std::int32_t number) {
    Tell(app,
         frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht berücksichtigt werden.",
                       static_cast<long>(number)),
         frame::Icon::Exclamation);
  };
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
      damaged(entry.orderNumber);
      continue;
    }
    if (!Qualifies(head, request.includeInvoiced) ||
        collected + head.lineCount > kMaxCollectedLines)
      continue;
    // A payment belongs to the invoice it was made on: an invoice paid in
    // whole or in part is not billed again.
    if (head.paid != 0) {
      Tell(app,
           frame::Format("Auftrag %ld ist schon ganz oder teilweise bezahlt\n"
                         "und wird nicht noch einmal berechnet.",
                         static_cast<long>(entry.orderNumber)),
           frame::Icon::Exclamation);
      continue;
    }
    const int read = store::ReadOrderLines(data, entry.offset, head, lines);
    if (read != head.lineCount) {
      damaged(entry.orderNumber);
      continue;
    }
    // Back-order lines stay in their order; they are only left out here.
    for (int i = 1; i <= read; ++i) {
      if (lines[i].flags & store::kLineBackOrder) continue;
      store::OrderLine& line = out.lines[++collected];
      line = lines[i];
      line.orderNumber = entry.orderNumber;
    }
    out.orders.push_back({entry.orderNumber, entry.offset, head});
  }
  if (collected == 0) {
    Tell(app, "Es sind keine Lieferscheine\nfür diesen Kunden verfügbar !", frame::Icon::Stop);
    return false;
  }
  if (!OneKind(app, out.orders)) return false;
  const store::OrderHead& first = out.orders.front().head;
  store::OrderHead& head = out.head;
  head.length = store::kOrderHeadSize;
  head.customerRef = static_cast<std::int32_t>(request.customerRef);
  store::SetText(head.orderDate, out.invoiceDate);
  store::SetText(head.invoiceDate, out.invoiceDate);
  head.flags =
      static_cast<std::uint16_t>(store::kOrderCollectiveInvoice | store::PriceKind(first.flags));
  head.currency = first.currency;
  // The customer's payment terms, as a new order of his takes them.
  head.paymentPeriod = app.address.paymentPeriod;
  head.cashDiscount = app.address.cashDiscount;
  head.cashDiscountPeriod = app.address.cashDiscountPeriod;
  head.stored = 1;
  head.lineCount = static_cast<std::int16_t>(collected);
  head.total = ComputeOrderTotal(head, out.lines, app.parameters);
  return true;
}

bool IssueCollection(frame::AppState& app, Collection& collection) {
  if (!Unchanged(app, collection)) return false;
  // The order in memory and its place in the index stay what they were; the
  // index itself grows by the collective invoice.
  const store::OrderHead keptOrder = app.order;
  const std::vector<store::OrderLine> keptLines = app.orderLines;
  const auto keptCursor = app.orders;
  auto restore = [&] {
    app.order = keptOrder;
    app.orderLines = keptLines;
    app.orders.position = keptCursor.position;
    app.orders.entry = keptCursor.entry;
  };
  auto fail = [&](std::int32_t stored) {
    if (stored) RemoveEntry(app, stored);
    restore();
    Tell(app,
         frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                       "Die Sammelrechnung ist nicht ausgestellt.",
                       app.dataDirectory.c_str(), store::kOrderDataName),
         frame::Icon::Stop);
    return false;
  };
  const int count = collection.head.lineCount;
  std::copy(collection.lines.begin() + 1, collection.lines.begin() + 1 + count,
            app.orderLines.begin() + 1);
  store::OrderHead head = collection.head;
  head.flags |= store::kOrderInvoicePrinted;
  std::int32_t position = -1;
  if (!store::StoreOrder(app, head, position, store::StoreMode::NewNumber)) return fail(0);
  // Storing gave every line the collective invoice's number; each line
  // names its delivery note again, written in place.
  for (int i = 1; i <= count; ++i) app.orderLines[i].orderNumber = collection.lines[i].orderNumber;
  if (!store::StoreOrder(app, head, position, store::StoreMode::Rewrite) ||
      !MarkCollected(app, collection, true))
    return fail(head.orderNumber);
  collection.head = head;
  restore();
  return true;
}

bool WithdrawCollection(frame::AppState& app, const Collection& collection) {
  if (!collection.head.orderNumber || !MarkCollected(app, collection, false)) return false;
  const auto kept = app.orders;
  RemoveEntry(app, collection.head.orderNumber);
  app.orders.position = kept.position;
  app.orders.entry = kept.entry;
  return true;
}

CollectionInPane::CollectionInPane(frame::AppState& app, const Collection& collection)
    : app_(app), collection_(collection), order_(app.order), lines_(app.orderLines),
      cursor_(app.orders) {
  app.order = collection.head;
  std::copy(collection.lines.begin() + 1, collection.lines.end(), app.orderLines.begin() + 1);
}

void CollectionInPane::issued() {
  issued_ = true;
  app_.order = collection_.head;
}

void CollectionInPane::printed() {
  if (printed_) return;
  printed_ = true;
  if (!issued_) return;
  store::IssueRecord record =
      StateIssue(collection_.head, collection_.lines, app_.parameters, app_.address,
                 collection_.invoiceDate,
                 ServiceDateOf(app_.dataDirectory, collection_.head, collection_.invoiceDate));
  record.issuedAt = IssueMoment(app_.clock->now());
  store::IssuedDocuments documents;
  if (app_.renderIssuedDocuments)
    app_.renderIssuedDocuments(app_, static_cast<int>(DocumentKind::CollectiveInvoice),
                               collection_.invoiceDate, documents);
  if (!store::ArchiveIssuedDocuments(app_, collection_.head.orderNumber, documents, record) ||
      !store::AppendIssueRecord(app_, record))
    Tell(app_,
         frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                       "Die Sammelrechnung Nr. %ld ist gedruckt, aber nicht im Rechnungsausgangsbuch "
                       "vermerkt.\nBitte die Datenstruktur prüfen.",
                       app_.dataDirectory.c_str(), store::kIssueFileName,
                       static_cast<long>(collection_.head.orderNumber)),
         frame::Icon::Stop);
}

CollectionInPane::~CollectionInPane() {
  if (issued_ && !printed_) {
    WithdrawCollection(app_, collection_);
    Tell(app_,
         frame::Format("Die Sammelrechnung Nr. %ld wurde nicht gedruckt\n"
                       "und ist nicht ausgestellt.",
                       static_cast<long>(collection_.head.orderNumber)),
         frame::Icon::Information);
  }
  app_.order = order_;
  app_.orderLines = std::move(lines_);
  app_.orders.position = cursor_.position;
  app_.orders.entry = cursor_.entry;
  // The pane's own order, when billed now, shows the mark it got in the file.
  if (!issued_ || !printed_ || !order_.orderNumber) return;
  for (const CollectedOrder& collected : collection_.orders)
    if (collected.orderNumber == order_.orderNumber)
      app_.order.flags |= store::kOrderCollectivelyBilled;
}

}  // namespace orders
