#include "orders/issue_statement.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/dates.h"
#include "orders/booking_journal.h"
#include "orders/collective_journal.h"
#include "orders/document_figures.h"
#include "orders/order_math.h"
#include "store/data_file.h"
#include "store/einvoice_settings.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

const char* CurrencySymbol(const store::ParameterRecord& p, int currency) {
  switch (currency) {
    case 1: return p.currencySymbol2;
    case 2: return p.currencySymbol3;
    case 3: return p.currencySymbol4;
    default: return p.currencySymbol1;
  }
}

// The currency whose tax rates an order computes with: the fourth has none
// of its own and uses the main currency's.
int RateCurrency(int currency) { return currency >= 0 && currency <= 2 ? currency : 0; }

// The invoice flags a record puts into its order's head.
std::uint16_t IssuedMarks(const store::IssueRecord& record) {
  return record.kind == store::kIssuedCollectiveInvoice
             ? store::kOrderInvoicePrinted
             : store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted;
}

// How many of the newest records are checked for their order's mark at every
// load: an issue that was cut off between its two writes is always among the
// last ones of the copies working on the directory.
constexpr std::size_t kRecordsRolledForward = 8;

// Every order with its head, read without waiting for anyone's lines.
struct IndexedOrder {
  std::int32_t number;
  std::uint32_t offset;
};

bool ReadOrderIndex(frame::AppState& app, std::vector<IndexedOrder>& out) {
  store::IndexBlock block;
  platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read, Share::DenyWrite);
  if (!index || !store::OrderFile(app).ReadIndex(index, block)) return false;
  out.clear();
  for (std::int32_t i = 0; i < block.count; ++i)
    out.push_back({block.orderNumber(i), block.recordOffset(i)});
  return true;
}

bool ReadCustomer(platform::File& addresses, std::int32_t ref, store::AddressRecord& out) {
  std::memset(&out, 0, sizeof out);
  if (ref < 0 || !addresses) return false;
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&out), sizeof out);
  return store::ReadFramedRecord(addresses, static_cast<std::uint32_t>(ref), bytes, true) > 0;
}

// Records for the issued invoices of an older directory, in the book that
// `book` holds exclusively (just made, so that no other copy takes them over
// at the same time).
bool TakeOverIssuedInvoices(frame::AppState& app, platform::File& book) {
  std::vector<IndexedOrder> orders;
  if (!ReadOrderIndex(app, orders)) return false;
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  if (!data) return orders.empty();
  platform::File addresses =
      store::OpenData(app, store::kAddressDataName, Access::Read, Share::DenyWrite);
  std::vector<store::OrderLine> lines(store::kOrderLineSlots);
  std::vector<std::uint8_t> bytes;
  for (const IndexedOrder& entry : orders) {
    store::OrderHead head{};
    if (!store::ReadOrderHead(data, entry.offset, head) || head.orderNumber != entry.number ||
        !IssuedAsInvoice(head))
      continue;
    const int count = std::clamp<int>(head.lineCount, 0, static_cast<int>(store::kMaxOrderLines));
    head.lineCount = static_cast<std::int16_t>(count);
    const int whole = store::ReadOrderLines(data, entry.offset, head, lines);
    head.lineCount = static_cast<std::int16_t>(whole);
    store::AddressRecord customer;
    ReadCustomer(addresses, head.customerRef, customer);
    const std::string invoiceDate(store::GetText(head.invoiceDate));
    store::IssueRecord record =
        StateIssue(head, lines, app.parameters, customer, invoiceDate,
                   ServiceDateOf(app.dataDirectory, head, invoiceDate));
    record.flags |= store::kIssueTakenOver;
    if (record.total != head.total) {
      // The stored total is what was listed, booked and dunned: it stays
      // what the invoice states.
      record.flags |= store::kIssueFiguresUnknown;
      record.total = head.total;
    }
    record.issuedAt = 0;
    store::SealIssueRecord(record);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&record);
    bytes.insert(bytes.end(), raw, raw + sizeof record);
  }
  if (bytes.empty() || (book.write(bytes.data(), bytes.size()) && book.sync())) return true;
  // Nothing half written stays: the next start takes them over again.
  book.truncate(0);
  return false;
}

// Orders whose record was appended but whose own mark was not written
// before the program stopped get it now: the record is the issue.
bool RollForward(frame::AppState& app, const std::vector<store::IssueRecord>& records) {
  if (records.empty()) return true;
  std::vector<IndexedOrder> orders;
  if (!ReadOrderIndex(app, orders)) return false;
  std::unordered_map<std::int32_t, std::uint32_t> offsets;
  for (const IndexedOrder& entry : orders) offsets.emplace(entry.number, entry.offset);
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  if (!data) return orders.empty();
  std::vector<const store::IssueRecord*> unmarked;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto at = offsets.find(records[i].invoiceNumber);
    store::OrderHead head{};
    if (at == offsets.end() || !store::ReadOrderHead(data, at->second, head)) continue;
    if (!(head.flags & store::kOrderInvoicePrinted)) unmarked.push_back(&records[i]);
  }
  data = {};
  bool ok = true;
  for (const store::IssueRecord* record : unmarked) {
    const std::int32_t position = app.orders.position;
    const auto entry = app.orders.entry;
    ok = store::ChangeOrderHead(app, record->invoiceNumber, [&](store::OrderHead& head) {
           head.flags |= IssuedMarks(*record);
           store::SetText(head.invoiceDate, store::GetText(record->invoiceDate));
           if (record->total >= INT32_MIN && record->total <= INT32_MAX)
             head.total = static_cast<std::int32_t>(record->total);
           return true;
         }) && ok;
    app.orders.position = position;
    app.orders.entry = entry;
  }
  return ok;
}

}  // namespace

bool IssuedAsInvoice(const store::OrderHead& head) {
  return (head.flags & store::kOrderInvoicePrinted) && !(head.flags & store::kOrderCollectivelyBilled);
}

store::IssueRecord StateIssue(const store::OrderHead& head, std::span<const store::OrderLine> lines,
                              const store::ParameterRecord& parameters,
                              const store::AddressRecord& customer, const std::string& invoiceDate,
                              const std::string& serviceDate) {
  store::IssueRecord record{};
  const int count = std::clamp<int>(head.lineCount, 0, static_cast<int>(lines.size()) - 1);
  const DocumentFigures figures =
      ComputeDocumentFigures(head, lines.subspan(1, static_cast<std::size_t>(count)), parameters, true);
  record.invoiceNumber = head.orderNumber;
  record.kind = (head.flags & store::kOrderCollectiveInvoice) ? store::kIssuedCollectiveInvoice
                : figures.final() < 0                         ? store::kIssuedCreditNote
                                                              : store::kIssuedInvoice;
  if (head.flags & store::kOrderPricesIncludeTax) record.flags |= store::kIssueGrossPrices;
  store::SetText(record.invoiceDate, invoiceDate);
  store::SetText(record.serviceDate, serviceDate);
  store::SetText(record.customerNumber, store::GetText(customer.customerNumber));
  std::string name(store::GetText(customer.name1));
  if (!name.empty()) name += ' ';
  name += store::GetText(customer.name2);
  store::SetText(record.customerName, name);
  record.currency = head.currency;
  store::SetText(record.currencySymbol, store::GetText(
      *reinterpret_cast<const char(*)[4]>(CurrencySymbol(parameters, head.currency))));
  record.classes[0] = {0, figures.sums[0], 0};
  for (int c = 0; c < 2; ++c)
    record.classes[c + 1] = {static_cast<std::int16_t>(figures.rates[c]), figures.netOfClass(c),
                             figures.tax[c]};
  record.total = figures.final();
  record.paymentPeriod = head.paymentPeriod;
  record.cashDiscount = head.cashDiscount;
  record.cashDiscountPeriod = head.cashDiscountPeriod;
  return record;
}

std::int64_t IssueMoment(const platform::LocalTime& at) {
  // Days from the civil date (proleptic Gregorian calendar).
  const int y = at.month <= 2 ? at.year - 1 : at.year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (at.month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + at.day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = std::int64_t{era} * 146097 + doe - 719468;
  return days * 86400 + at.hour * 3600 + at.minute * 60 + at.second;
}

store::ParameterRecord StatedParameters(const store::ParameterRecord& today,
                                        const store::IssueRecord& record) {
  store::ParameterRecord p = today;
  const int currency = RateCurrency(record.currency);
  store::SetTaxRate(p, currency, 2, record.classes[1].rate);
  store::SetTaxRate(p, currency, 3, record.classes[2].rate);
  return p;
}

std::optional<store::IssueRecord> FindIssueRecord(frame::AppState& app, std::int32_t invoiceNumber) {
  store::IssueRecord record;
  if (!store::FindIssueRecord(app, invoiceNumber, record)) return std::nullopt;
  return record;
}

store::ParameterRecord ParametersOfOrder(frame::AppState& app, const store::OrderHead& head) {
  if (!IssuedAsInvoice(head)) return app.parameters;
  const auto record = FindIssueRecord(app, head.orderNumber);
  return record ? StatedParameters(app.parameters, *record) : app.parameters;
}

std::int32_t StatedTotal(const store::OrderHead& head, std::span<const store::OrderLine> lines,
                         const store::ParameterRecord& parameters) {
  const int count = std::clamp<int>(head.lineCount, 0, static_cast<int>(lines.size()) - 1);
  const std::int64_t total =
      ComputeDocumentFigures(head, lines.subspan(1, static_cast<std::size_t>(count)), parameters, true)
          .final();
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

store::AddressRecord CustomerOf(frame::AppState& app, std::int32_t customerRef) {
  store::AddressRecord customer{};
  platform::File addresses =
      store::OpenData(app, store::kAddressDataName, Access::Read, Share::DenyWrite);
  ReadCustomer(addresses, customerRef, customer);
  return customer;
}

std::string ServiceDateOf(const std::string& dataDirectory, const store::OrderHead& head,
                          const std::string& invoiceDate) {
  const einvoice::Settings settings = einvoice::LoadSettings(dataDirectory);
  const std::string orderDate(store::GetText(head.orderDate));
  if (settings.serviceDate == einvoice::ServiceDate::OrderDate && ParseDate(orderDate).month >= 1)
    return orderDate;
  return invoiceDate;
}

namespace {

bool CompleteBook(frame::AppState& app) {
  std::vector<store::IssueRecord> tail;
  {
    // Held exclusively while it is looked at: a second copy starting now
    // waits and then finds the invoices taken over, instead of taking them
    // over again. A book without a whole record is one that no invoice was
    // issued into yet, or one whose takeover was cut off: it is done (again).
    platform::File book = store::OpenIssueBookForWriting(app);
    if (!book) return false;
    const std::int64_t size = book.size();
    if (size < 0) return false;
    if (static_cast<std::uint64_t>(size) < store::kIssueRecordSize)
      return book.truncate(0) && book.seek(0) && TakeOverIssuedInvoices(app, book) && book.close();
    // Only the newest records can lack their order's mark: the tail is read,
    // not the whole book, so that a start stays quick with years of invoices.
    const std::uint64_t whole = static_cast<std::uint64_t>(size) / store::kIssueRecordSize;
    const std::uint64_t count = std::min<std::uint64_t>(whole, kRecordsRolledForward);
    tail.resize(static_cast<std::size_t>(count));
    if (!book.seek((whole - count) * store::kIssueRecordSize) ||
        !book.readExact(tail.data(), tail.size() * sizeof(store::IssueRecord)))
      return false;
    std::erase_if(tail, [](const store::IssueRecord& r) { return !store::IssueRecordSound(r); });
  }
  // The book is let go before the order file is taken: issuing takes them
  // the other way round.
  return RollForward(app, tail);
}

}  // namespace

bool CompleteIssueBook(frame::AppState& app) {
  // What a killed copy left half done is finished or taken back first: a
  // collective invoice by its record in the book, a booking by its journal.
  const bool finished = FinishCollectiveInvoice(app) && FinishInterruptedBooking(app);
  return CompleteBook(app) && finished;
}

}  // namespace orders
