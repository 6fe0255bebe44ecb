#include "orders/collective_invoice.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <tuple>

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
#include "platform/test_pause.h"

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

void Changed(frame::AppState& app, std::int32_t number) {
  Tell(app,
       frame::Format("Auftrag %ld wurde inzwischen geändert.\n"
                     "Die Sammelrechnung wird nicht ausgestellt.",
                     static_cast<long>(number)),
       frame::Icon::Stop);
}

// The collected orders as the file holds them now, found by their numbers
// in the held index, and the collection's lines read from them afresh (an
// article that moved since they were collected is named where it is now).
// False (told) when an order is gone, changed or billed meanwhile, or its
// lines would print otherwise than collected.
bool ReadCollectedAgain(frame::AppState& app, platform::File& data, const store::IndexBlock& block,
                        Collection& collection, std::vector<store::OrderLine>& lines,
                        std::int32_t& customerRef) {
  lines.assign(store::kOrderLineSlots, store::OrderLine{});
  std::vector<store::OrderLine> read(store::kOrderLineSlots);
  int count = 0;
  for (CollectedOrder& order : collection.orders) {
    const std::int64_t offset = OrderOffset(block, order.orderNumber);
    store::OrderHead head{};
    if (offset < 0 || !store::ReadOrderHead(data, static_cast<std::uint32_t>(offset), head) ||
        !HeadIsSound(head)) {
      Changed(app, order.orderNumber);
      return false;
    }
    if (head.flags & store::kOrderCollectivelyBilled) {
      Tell(app,
           frame::Format("Auftrag %ld wird inzwischen von einer anderen Sammelrechnung berechnet.\n"
                         "Die Sammelrechnung wird nicht ausgestellt.",
                         static_cast<long>(order.orderNumber)),
           frame::Icon::Stop);
      return false;
    }
    // A reorganisation of the addresses moves every order's customer alike.
    if (&order == &collection.orders.front()) customerRef = head.customerRef;
    store::OrderHead was = order.head;
    was.customerRef = head.customerRef;
    if (head.customerRef != customerRef || std::memcmp(&was, &head, sizeof head) != 0 ||
        store::ReadOrderLines(data, static_cast<std::uint32_t>(offset), head, read) !=
            head.lineCount) {
      Changed(app, order.orderNumber);
      return false;
    }
    for (int i = 1; i <= head.lineCount; ++i) {
      if (read[i].flags & store::kLineBackOrder) continue;
      if (count + 1 >= static_cast<int>(lines.size())) {
        Changed(app, order.orderNumber);
        return false;
      }
      store::OrderLine& line = lines[++count];
      line = read[i];
      line.orderNumber = order.orderNumber;
      store::OrderLine printed = collection.lines[count];
      printed.articleRef = line.articleRef;
      if (std::memcmp(&printed, &line, sizeof line) != 0) {
        Changed(app, order.orderNumber);
        return false;
      }
    }
    order.offset = static_cast<std::uint32_t>(offset);
    order.head = head;
  }
  if (count != collection.head.lineCount) {
    Changed(app, collection.orders.back().orderNumber);
    return false;
  }
  return true;
}

// The date of the last delivery the collection bills, as its paper and its
// e-invoice state it; `otherwise` when no note has a date.
std::string LastDelivery(const Collection& collection, const std::string& otherwise) {
  std::string last = otherwise;
  std::tuple<int, int, int> latest{};
  bool any = false;
  for (const CollectedOrder& order : collection.orders) {
    const std::string date(store::GetText(order.head.orderDate));
    const Date d = ParseDate(date);
    const std::tuple<int, int, int> key{d.year, d.month, d.day};
    if (d.month < 1 || (any && key <= latest)) continue;
    any = true;
    latest = key;
    last = date;
  }
  return last;
}

// Gives the drawn number back and lets the journal go: nothing of the
// invoice is left. The order index must be held exclusively.
void TakeBackNumber(frame::AppState& app, Collection& collection) {
  if (collection.journal && collection.journal->held()) {
    if (collection.head.orderNumber)
      store::GiveBackOrderNumber(app, collection.head.orderNumber,
                                 collection.intent.drawnCounter);
    collection.journal->close();
  }
  collection.journal.reset();
}

}  // namespace

DeliveryPeriod DeliveryPeriodOf(frame::AppState& app, std::span<const store::OrderLine> lines) {
  DeliveryPeriod period;
  if (!store::DataFileExists(app, store::kOrderIndexName)) return period;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read,
                                           Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) return period;
  }
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  if (!data) return period;
  std::map<std::int32_t, bool> seen;
  std::tuple<int, int, int> first{}, last{};
  for (const store::OrderLine& line : lines) {
    const std::int32_t number = line.orderNumber;
    if (!seen.emplace(number, true).second) continue;
    const std::int64_t offset = OrderOffset(block, number);
    store::OrderHead head{};
    if (offset < 0 || !store::ReadOrderHead(data, static_cast<std::uint32_t>(offset), head) ||
        head.orderNumber != number)
      continue;
    const std::string date(store::GetText(head.orderDate));
    const Date d = ParseDate(date);
    if (d.month < 1) continue;
    const std::tuple<int, int, int> key{d.year, d.month, d.day};
    if (period.first.empty() || key < first) {
      first = key;
      period.first = date;
    }
    if (period.last.empty() || key > last) {
      last = key;
      period.last = date;
    }
  }
  return period;
}

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
  store::IssueBook issued;
  if (request.includeInvoiced && !store::ReadIssueBook(app, issued)) return false;
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
    // An issued invoice is final: its order is never billed a second time,
    // even when already invoiced orders are asked for.
    if ((head.flags & store::kOrderInvoicePrinted) && issued.find(entry.orderNumber)) {
      Tell(app,
           frame::Format("Auftrag %ld ist als Rechnung ausgestellt\n"
                         "und wird nicht noch einmal berechnet.",
                         static_cast<long>(entry.orderNumber)),
           frame::Icon::Exclamation);
      continue;
    }
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
  auto journal = std::make_shared<CollectiveJournal>();
  if (!journal->take(app)) return false;
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  store::OrderHead head = collection.head;
  // The number is in the journal before it is drawn: a start after a kill
  // gives back a number that was drawn and never used.
  CollectiveIntent intent;
  for (const CollectedOrder& order : collection.orders) intent.notes.push_back(order.orderNumber);
  const char* failed = store::kParameterFileName;
  bool drawn = index && store::PeekOrderNumber(app, intent.invoiceNumber, intent.drawnCounter);
  if (drawn) {
    failed = kCollectiveJournalName;
    drawn = journal->record(intent);
  }
  std::uint32_t counter = 0;
  if (drawn) {
    failed = store::kParameterFileName;
    drawn = store::DrawNextOrderNumber(app, head, counter);
  }
  if (drawn && (head.orderNumber != intent.invoiceNumber || counter != intent.drawnCounter)) {
    // The month turned between the two: the journal names the number drawn.
    intent.invoiceNumber = head.orderNumber;
    intent.drawnCounter = counter;
    failed = kCollectiveJournalName;
    drawn = journal->append(frame::Format("Rechnung %ld\nZaehler %lu\n",
                                          static_cast<long>(head.orderNumber),
                                          static_cast<unsigned long>(counter)));
    if (!drawn) store::GiveBackOrderNumber(app, head.orderNumber, counter);
  }
  if (!drawn) {
    journal->close();
    Tell(app,
         frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                       "Die Sammelrechnung ist nicht ausgestellt.",
                       app.dataDirectory.c_str(), failed),
         frame::Icon::Stop);
    return false;
  }
  head.flags |= store::kOrderInvoicePrinted;
  for (int i = 1; i <= head.lineCount; ++i) collection.lines[i].length = store::kOrderLineSize;
  collection.head = head;
  collection.intent = intent;
  collection.journal = std::move(journal);
  return true;
}

bool CompleteCollection(frame::AppState& app, Collection& collection,
                        const store::IssuedDocuments& documents) {
  platform::PauseAt("sammelrechnung");
  if (!collection.journal || !collection.journal->held() || !collection.head.orderNumber)
    return false;
  const std::int32_t number = collection.head.orderNumber;
  store::IndexedFile file = store::OrderFile(app);
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  auto fail = [&](const char* name) {
    if (name)
      Tell(app,
           frame::Format("Die Datei %s%s konnte nicht geschrieben werden.\n"
                         "Die Sammelrechnung ist nicht ausgestellt.",
                         app.dataDirectory.c_str(), name),
           frame::Icon::Stop);
    if (index) TakeBackNumber(app, collection);
    return false;
  };
  store::IndexBlock block;
  if (!index || !file.ReadIndex(index, block)) return fail(store::kOrderIndexName);
  if (file.RefuseWhenFull(block)) return fail(nullptr);
  platform::File data =
      store::OpenData(app, store::kOrderDataName, Access::ReadWrite, Share::DenyWrite);
  if (!data) return fail(store::kOrderDataName);
  std::vector<store::OrderLine> lines;
  std::int32_t customerRef = 0;
  if (!ReadCollectedAgain(app, data, block, collection, lines, customerRef)) return fail(nullptr);

  store::OrderHead head = collection.head;
  head.customerRef = customerRef;
  head.length = static_cast<std::uint16_t>(store::kOrderHeadSize);
  const int count = head.lineCount;
  std::uint64_t end = 0;
  const std::uint64_t size = store::kOrderHeadSize + static_cast<std::uint64_t>(count) * store::kOrderLineSize;
  if (!data.seekToEnd(&end) || end + size > UINT32_MAX) return fail(store::kOrderDataName);
  collection.intent.dataEnd = static_cast<std::int64_t>(end);
  if (!collection.journal->append("Datenende " + std::to_string(end) + "\n"))
    return fail(kCollectiveJournalName);
  std::vector<std::uint8_t> bytes(size);
  std::memcpy(bytes.data(), &head, store::kOrderHeadSize);
  for (int i = 1; i <= count; ++i) {
    lines[i].length = static_cast<std::uint16_t>(store::kOrderLineSize);
    std::memcpy(bytes.data() + store::kOrderHeadSize + (i - 1) * store::kOrderLineSize, &lines[i],
                store::kOrderLineSize);
  }
  auto cutBack = [&] { data.truncate(end); };
  if (!data.seek(end) || !data.write(bytes.data(), bytes.size())) {
    cutBack();
    return fail(store::kOrderDataName);
  }
  const store::OrderIndexEntry entry{static_cast<std::uint32_t>(customerRef), number,
                                     static_cast<std::uint32_t>(end)};
  std::int32_t position = 0;
  const std::int64_t indexSize = index.size();
  if (!file.InsertEntry(index, block, std::span(reinterpret_cast<const std::uint8_t*>(&entry), sizeof entry),
                        position)) {
    cutBack();
    return fail(store::kOrderIndexName);
  }
  store::IssueRecord record =
      StateIssue(head, lines, app.parameters, app.address, collection.invoiceDate,
                 LastDelivery(collection, ServiceDateOf(app.dataDirectory, head, collection.invoiceDate)));
  record.issuedAt = IssueMoment(app.clock->now());
  const bool archived = store::ArchiveIssuedDocuments(app, number, documents, record);
  if (!archived || !store::AppendIssueRecord(app, record)) {
    // The index as it was, to the byte: no entry behind the count names
    // the invoice.
    store::IndexBlock now;
    std::int32_t at = -1;
    if (file.ReadIndex(index, now) && OrderOffset(now, number, &at) >= 0 &&
        file.DeleteEntry(index, now, at) && index.size() > indexSize)
      index.truncate(static_cast<std::uint64_t>(indexSize));
    cutBack();
    for (const char* extension : {"pdf", "xml"})
      if (app.fileSystem->exists(store::ArchivePath(app, number, extension)))
        app.fileSystem->remove(store::ArchivePath(app, number, extension));
    return fail(archived ? store::kIssueFileName : store::kArchiveFolderName);
  }
  // Issued: the record is there. The marks follow; what a failure leaves
  // undone the next start finishes from the journal, which stays.
  collection.head = head;
  collection.lines = lines;
  if (!MarkBilled(data, block, collection.intent.notes)) {
    collection.journal->leave();
    Tell(app,
         frame::Format("Die Sammelrechnung Nr. %ld ist ausgestellt, ihre Lieferscheine sind aber "
                       "noch nicht alle als berechnet vermerkt (%s%s).\n"
                       "Das wird beim nächsten Start nachgeholt.",
                       static_cast<long>(number), app.dataDirectory.c_str(), store::kOrderDataName),
         frame::Icon::Stop);
    return true;
  }
  collection.journal->close();
  return true;
}

bool WithdrawCollection(frame::AppState& app, Collection& collection) {
  if (!collection.journal || !collection.journal->held()) return false;
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) {
    // The number stays drawn, unused; the journal is let go all the same.
    collection.journal->close();
    collection.journal.reset();
    return false;
  }
  TakeBackNumber(app, collection);
  return true;
}

CollectionInPane::CollectionInPane(frame::AppState& app, Collection& collection)
    : app_(app), collection_(collection), order_(app.order), lines_(app.orderLines),
      cursor_(app.orders) {
  app.order = collection.head;
  std::copy(collection.lines.begin() + 1, collection.lines.end(), app.orderLines.begin() + 1);
}

void CollectionInPane::issued() {
  issued_ = true;
  app_.order = collection_.head;
}

bool CollectionInPane::printed() {
  if (printed_) return completed_;
  printed_ = true;
  if (!issued_) return true;
  // The documents are drawn before the order file is taken: drawing reads it.
  store::IssuedDocuments documents;
  if (app_.renderIssuedDocuments)
    app_.renderIssuedDocuments(app_, static_cast<int>(DocumentKind::CollectiveInvoice),
                               collection_.invoiceDate, documents);
  completed_ = CompleteCollection(app_, collection_, documents);
  if (completed_) app_.order = collection_.head;
  return completed_;
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
  if (!issued_ || !completed_ || !order_.orderNumber) return;
  for (const CollectedOrder& collected : collection_.orders)
    if (collected.orderNumber == order_.orderNumber)
      app_.order.flags |= store::kOrderCollectivelyBilled;
}

}  // namespace orders
