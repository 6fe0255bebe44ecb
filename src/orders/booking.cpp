#include "orders/booking.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <span>
#include <vector>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "orders/booking_journal.h"
#include "orders/document_figures.h"
#include "orders/goods_receipt.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/service_article.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

template <typename T>
std::span<std::uint8_t> Bytes(T& record) {
  return {reinterpret_cast<std::uint8_t*>(&record), sizeof record};
}

// The writes of one order, each remembered with the bytes it replaced, so
// that a write that fails can put back the ones before it.
class UndoableWrites {
 public:
  bool write(platform::File& file, std::uint64_t offset, const void* bytes, const void* before,
             std::size_t n) {
    const auto* old = static_cast<const std::uint8_t*>(before);
    done_.push_back({&file, offset, std::vector<std::uint8_t>(old, old + n)});
    if (file.seek(offset) && file.write(bytes, n)) return true;
    undone_ = undo();
    return false;
  }
  // Whether a failed write was put back whole.
  bool undone() const { return undone_; }

 private:
  bool undo() {
    bool ok = true;
    for (auto it = done_.rbegin(); it != done_.rend(); ++it)
      ok = it->file->seek(it->offset) && it->file->write(it->bytes.data(), it->bytes.size()) && ok;
    done_.clear();
    return ok;
  }

  struct Done {
    platform::File* file;
    std::uint64_t offset;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Done> done_;
  bool undone_ = false;
};

// One write an order's booking makes, planned before any is made.
struct PlannedWrite {
  platform::File* file;
  const char* name;
  std::uint64_t offset;
  const void* bytes;
  const void* before;
  std::size_t n;
};

enum class Outcome { Untouched, Booked, Stop };

// Stock and quantities are decimals of three places, the fields' own
// precision. They are booked in whole thousandths, so that 10 - 1.005 is
// stored as 8.995 and reads back so, where binary doubles would give
// 8.995000000000001. Empty for what holds no such number.
std::optional<std::int64_t> Thousandths(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9e12) return std::nullopt;
  return std::llround(value * 1000);
}

// The stock step of one line: its quantity goes out of its article's
// stock. False for a quantity that is no number of the field.
bool TakeFromStock(const store::OrderLine& line, int i, std::map<std::int32_t, std::int64_t>& stockOut,
                   std::vector<std::pair<int, std::int32_t>>& articleLines) {
  const std::int32_t articleRef = line.articleRef;  // a copy: the packed member is misaligned
  if (articleRef < 0) return true;
  const std::optional<std::int64_t> quantity = Thousandths(line.quantity);
  if (!quantity) return false;
  stockOut[articleRef] += *quantity;
  articleLines.emplace_back(i, articleRef);
  return true;
}

struct ArticleChange {
  std::int32_t length = 0;
  store::ArticleRecord before{};
  store::ArticleRecord after{};
};

class OrderBooking {
 public:
  OrderBooking(frame::AppState& app, const store::OrderIndexEntry& entry,
               const std::set<std::uint32_t>& customers, BookingJournal& journal,
               BookingResult& result)
      : app_(app), entry_(entry), customers_(customers), journal_(journal), result_(result) {}

  Outcome run() {
    platform::File data = store::OpenData(app_, store::kOrderDataName, Access::ReadWrite,
                                          Share::Exclusive);
    if (!data) return Outcome::Stop;
    store::OrderHead head{};
    if (!store::ReadOrderHead(data, entry_.offset, head) || !HeadIsSound(head)) return problem();
    if ((head.flags & store::kOrderDeliveryNotePrinted) == 0 ||
        (head.flags & (store::kOrderBooked | store::kOrderCollectiveInvoice)))
      return Outcome::Untouched;
    std::vector<store::OrderLine> lines(store::kOrderLineSlots);
    bool failed = false;
    if (store::ReadOrderLines(data, entry_.offset, head, lines, &failed) != head.lineCount ||
        failed)
      return problem();

    // What the order changes, worked out before anything is written.
    store::OrderHead booked = head;
    booked.flags |= store::kOrderBooked;
    std::vector<store::OrderLine> after(lines);
    std::map<std::int32_t, std::int64_t> stockOut;  // thousandths
    std::vector<std::pair<int, std::int32_t>> articleLines;  // line, article reference
    std::vector<store::OrderLine> bookedNow;
    int newly = 0;
    for (int i = 1; i <= head.lineCount; ++i) {
      store::OrderLine& line = after[i];
      if (line.flags & store::kLineBackOrder) {
        booked.flags &= static_cast<std::uint16_t>(~store::kOrderBooked);
        continue;
      }
      if (line.flags & store::kLineBooked) continue;
      line.flags |= store::kLineBooked;
      ++newly;
      bookedNow.push_back(line);
      if (!TakeFromStock(line, i, stockOut, articleLines)) return problem();
    }
    // A goods receipt only moves stock.
    const double turnover = IsGoodsReceipt(head) ? 0.0 : netInMainCurrency(head, bookedNow);
    // Nothing left to book: the order stays as it is.
    if (newly == 0 && (booked.flags & store::kOrderBooked) == 0) return Outcome::Untouched;

    std::map<std::int32_t, ArticleChange> articles;
    platform::File articleData;
    if (!stockOut.empty()) {
      articleData = store::OpenData(app_, store::kArticleDataName, Access::ReadWrite,
                                    Share::Exclusive);
      if (!articleData) return Outcome::Stop;
      for (const auto& [ref, quantity] : stockOut) {
        ArticleChange& change = articles[ref];
        change.length = store::ReadFramedRecord(articleData, static_cast<std::uint32_t>(ref),
                                                Bytes(change.before), true);
        if (change.length < static_cast<std::int32_t>(offsetof(store::ArticleRecord, stock) +
                                                      sizeof(double)))
          return problem();
        change.after = change.before;
        // A service holds no stock: its line is booked, its article stays.
        if (store::IsServiceArticle(change.before)) continue;
        const std::optional<std::int64_t> stock = Thousandths(change.before.stock[0]);
        if (!stock) return problem();
        change.after.stock[0] = static_cast<double>(*stock - quantity) / 1000;
      }
      // A reference off by a byte (a damaged file, an older version) reads
      // the middle of another record: the stock would be written into it.
      // Only the article the line names is booked.
      for (const auto& [i, ref] : articleLines)
        if (store::GetText(articles[ref].before.number) != store::GetText(lines[i].articleNumber))
          return refused(frame::Format(
              "Position %d nennt den Artikel \"%s\", an der Stelle in %s, auf die sie verweist, "
              "steht aber kein solcher Artikel.",
              i, platform::Cp1252ToUtf8(store::GetText(lines[i].articleNumber)).c_str(),
              store::kArticleDataName));
    }

    platform::File addressData;
    store::AddressRecord customerBefore{}, customer{};
    std::int32_t customerLength = 0;
    if (head.customerRef != store::kNoCustomer) {
      // Only an address the index files at exactly this offset is the
      // order's customer; anything else is the middle of another address.
      if (!customers_.contains(static_cast<std::uint32_t>(head.customerRef)))
        return refused(frame::Format(
            "Der Auftrag verweist auf keine Adresse in %s (Stelle %ld); es ist nicht sein Kunde.",
            store::kAddressDataName, static_cast<long>(head.customerRef)));
      addressData = store::OpenData(app_, store::kAddressDataName, Access::ReadWrite,
                                    Share::Exclusive);
      if (!addressData) return Outcome::Stop;
      customerLength = store::ReadFramedRecord(
          addressData, static_cast<std::uint32_t>(head.customerRef), Bytes(customerBefore), true);
      if (customerLength < static_cast<std::int32_t>(offsetof(store::AddressRecord, turnover) +
                                                     sizeof(std::int32_t)))
        return problem();
      customer = customerBefore;
      const double sum = customer.turnover + turnover;
      if (!(std::fabs(sum) <= std::numeric_limits<std::int32_t>::max())) return problem();
      customer.turnover = static_cast<std::int32_t>(sum);
      const std::string_view date = store::GetText(head.orderDate).substr(0, 11);
      store::SetText(customer.lastOrder, date);
      if (store::GetText(customer.firstContact).empty()) store::SetText(customer.firstContact, date);
    }

    // Articles, customer, lines, and the head with its booked flag last,
    // all of them in the journal before the first is made.
    std::vector<PlannedWrite> planned;
    for (auto& [ref, change] : articles)
      planned.push_back({&articleData, store::kArticleDataName, static_cast<std::uint32_t>(ref),
                         &change.after, &change.before, Width(change.length, sizeof change.after)});
    if (customerLength > 0)
      planned.push_back({&addressData, store::kAddressDataName,
                         static_cast<std::uint32_t>(head.customerRef), &customer, &customerBefore,
                         Width(customerLength, sizeof customer)});
    std::uint64_t at = std::uint64_t{entry_.offset} + Width(head.length, sizeof head);
    for (int i = 1; i <= head.lineCount; ++i) {
      const std::size_t n = Width(lines[i].length, sizeof lines[i]);
      if (std::memcmp(&lines[i], &after[i], n) != 0)
        planned.push_back({&data, store::kOrderDataName, at, &after[i], &lines[i], n});
      at += lines[i].length;
    }
    planned.push_back({&data, store::kOrderDataName, entry_.offset, &booked, &head,
                       Width(head.length, sizeof head)});
    std::vector<JournalWrite> journalled;
    for (const PlannedWrite& w : planned) {
      const auto* now = static_cast<const std::uint8_t*>(w.bytes);
      const auto* was = static_cast<const std::uint8_t*>(w.before);
      journalled.push_back({w.name, w.offset, {was, was + w.n}, {now, now + w.n}});
    }
    if (!journal_.record(entry_.orderNumber, journalled)) return problem();
    UndoableWrites writes;
    for (const PlannedWrite& w : planned)
      if (!writes.write(*w.file, w.offset, w.bytes, w.before, w.n)) {
        // What could not be put back now the next start takes back.
        if (writes.undone()) {
          journal_.clear();
          return problem();
        }
        journal_.keep();
        problem();
        return Outcome::Stop;
      }
    journal_.clear();
    result_.linesBooked += newly;
    if (booked.flags & store::kOrderBooked) ++result_.ordersBooked;
    return Outcome::Booked;
  }

 private:
  static bool HeadIsSound(const store::OrderHead& head) {
    return head.length > store::kOrderDatePointOffset &&
           reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.' &&
           head.lineCount >= 0 && head.lineCount <= static_cast<int>(store::kMaxOrderLines);
  }

  static std::size_t Width(std::int32_t stored, std::size_t size) {
    return std::min<std::size_t>(static_cast<std::size_t>(stored), size);
  }

  // What the lines booked now add to the customer's turnover: their net
  // amount without tax, worked out per tax class as the invoice states it
  // (also for an order whose prices include tax, and for lines without
  // article), in cents of the main currency.
  double netInMainCurrency(const store::OrderHead& head, std::span<const store::OrderLine> lines) {
    const DocumentFigures figures = ComputeDocumentFigures(head, lines, app_.parameters, true);
    const double net = static_cast<double>(figures.sums[0] + figures.netOfClass(0) +
                                           figures.netOfClass(1));
    return RoundHalfAway(net / rate(head.currency));
  }

  // Units of the order's currency per unit of the main currency; a currency
  // without a rate counts as the main currency.
  double rate(int currency) const {
    if (currency < 0 || currency > 3) return 1.0;
    const double r = app_.parameters.exchangeRates[currency];
    return r > 0 ? r : 1.0;
  }

  // Left unbooked with the reason; the run goes on with the next order.
  Outcome refused(const std::string& reason) {
    if (app_.ui)
      app_.ui->message(frame::Format("Rechnung #%ld wird nicht gebucht:\n%s",
                                     static_cast<long>(entry_.orderNumber), reason.c_str()),
                       frame::Icon::Exclamation);
    return Outcome::Untouched;
  }

  Outcome problem() {
    char text[120];
    std::snprintf(text, sizeof text, "Probleme mit Rechnung #%ld\nBuchung nicht durchgeführt.",
                  static_cast<long>(entry_.orderNumber));
    if (app_.ui) app_.ui->message(text, frame::Icon::Exclamation);
    return Outcome::Untouched;
  }

  frame::AppState& app_;
  const store::OrderIndexEntry entry_;
  const std::set<std::uint32_t>& customers_;
  BookingJournal& journal_;
  BookingResult& result_;
};

// The panes show the booked state: their records are read again.
void RereadCurrentRecords(frame::AppState& app) {
  store::ArticleRecord article{};
  if (app.articles.position >= 0 && store::ReadArticle(app, article, app.articles.position))
    app.article = article;
  store::OrderHead order{};
  if (app.orders.position >= 0 && store::ReadOrder(app, order, app.orders.position))
    app.order = order;
  store::AddressRecord address{};
  if (app.addresses.position >= 0 && store::ReadAddress(app, address, app.addresses.position))
    app.address = address;
}

}  // namespace

BookingResult BookDeliveredOrders(frame::AppState& app) {
  BookingResult result;
  frame::WaitCursor wait(app.ui);
  // Every order's writes go through the journal; what a killed run left in
  // it is taken back first.
  BookingJournal journal;
  if (!journal.take(app)) {
    result.failed = true;
    return result;
  }
  store::IndexBlock block;
  // The index is held until the last order is booked, so that no order
  // moves meanwhile (a reorganisation or a changed order of another copy)
  // and nothing is written at an offset the order left.
  platform::File index = store::OpenData(app, store::kOrderIndexName, Access::ReadWrite,
                                         Share::Exclusive);
  if (!index || !store::OrderFile(app).ReadIndex(index, block)) {
    result.failed = true;
    return result;
  }
  // Where the addresses are: an order's customer reference must be one.
  std::set<std::uint32_t> customers;
  if (store::DataFileExists(app, store::kAddressIndexName)) {
    platform::File addressIndex = store::OpenData(app, store::kAddressIndexName, Access::Read,
                                                  Share::DenyWrite);
    store::IndexBlock addresses;
    if (addressIndex && store::AddressFile(app).ReadIndex(addressIndex, addresses))
      for (std::int32_t i = 0; i < addresses.count; ++i) customers.insert(addresses.recordOffset(i));
  }
  if (app.ui) app.ui->beginProgress();
  for (std::int32_t k = 0; k < block.count; ++k) {
    if (app.ui && app.ui->progress(static_cast<int>((k + 1) * 100LL / block.count))) {
      result.stopped = true;
      break;
    }
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if (OrderBooking(app, entry, customers, journal, result).run() == Outcome::Stop) {
      result.failed = true;
      break;
    }
  }
  if (app.ui) app.ui->endProgress();
  index.close();
  journal.close();
  RereadCurrentRecords(app);
  return result;
}

bool ConfirmAndBookDeliveredOrders(frame::AppState& app, BookingResult* result) {
  if (!app.ui || !app.ui->question("Buchungen ausführen ?", frame::Icon::Question, true))
    return false;
  BookingResult done = BookDeliveredOrders(app);
  if (result) *result = done;
  return true;
}

}  // namespace orders
