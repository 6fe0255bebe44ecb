// A started program with customers, articles and orders in its files, for
// the runs that change many records at once (payments, booking, settling).
// What a run left behind is read straight from the files.
#ifndef BELVON_TESTS_SUPPORT_ORDER_BOOK_H
#define BELVON_TESTS_SUPPORT_ORDER_BOOK_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/load_parameters.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/service_article.h"
#include "store/order_file.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace testsupport {

struct BookLine {
  double quantity = 1;
  std::int32_t salePrice = 0;
  std::int32_t articleRef = -1;
  std::uint16_t flags = 0;
  std::int16_t discount = 0;
  const char* articleNumber = nullptr;  // null: the number of the article referred to
  std::int16_t taxCode = store::kTaxCodeNone;
};

// Today is 6 December 2026.
class OrderBook : public TestApp {
 public:
  OrderBook() {
    frame::LoadParameters(app);
    GiveSellerTaxId(app);
  }

  // The record offset of a new customer, who becomes the selected address.
  std::int32_t customer(const std::string& name2, const std::string& name1 = "") {
    store::AddressRecord address{};
    address.length = sizeof address;
    address.kind = store::kAddressCustomer;
    store::SetText(address.name1, name1);
    store::SetText(address.name2, name2);
    std::int32_t position = -1;
    store::WriteAddress(app, address, position, true);
    store::ReadAddress(app, app.address, position);
    app.addresses.position = position;
    return static_cast<std::int32_t>(app.addresses.entry.offset);
  }

  // The record offset of a new article with this stock in storage place 1.
  std::int32_t article(const std::string& number, double stock, bool service = false) {
    store::ArticleRecord record{};
    record.length = sizeof record;
    store::SetText(record.number, number);
    record.stock[0] = stock;
    store::MarkServiceArticle(record, service);
    std::int32_t position = -1;
    store::WriteArticle(app, record, position, true);
    store::ReadArticle(app, record, position);
    return static_cast<std::int32_t>(app.articles.entry.offset);
  }

  // A new stored order dated `date` (its invoice date too once invoiced).
  store::OrderHead order(std::int32_t customerRef, std::uint16_t flags,
                         const std::vector<BookLine>& lines, const char* date = "01.12.2026") {
    store::OrderHead head{};
    head.customerRef = customerRef;
    store::SetText(head.orderDate, date);
    if (flags & store::kOrderInvoicePrinted) store::SetText(head.invoiceDate, date);
    head.flags = flags;
    head.stored = 1;
    head.lineCount = static_cast<std::int16_t>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const BookLine& l = lines[i];
      app.orderLines[i + 1] = store::OrderLine{};
      store::OrderLine& line = app.orderLines[i + 1];
      line.quantity = l.quantity;
      line.salePrice = l.salePrice;
      line.articleRef = l.articleRef;
      line.flags = l.flags;
      line.discount = l.discount;
      // A line names the article it refers to, as the order pane copies it.
      if (l.articleNumber)
        store::SetText(line.articleNumber, l.articleNumber);
      else if (l.articleRef >= 0)
        store::SetText(line.articleNumber, store::GetText(articleAt(l.articleRef).number));
      line.taxCode = l.taxCode;
      head.total += static_cast<std::int32_t>(l.salePrice * l.quantity);
    }
    std::int32_t position = -1;
    store::StoreOrder(app, head, position, store::StoreMode::NewNumber);
    return head;
  }

  // The stored order with this number and its lines (1-based).
  store::OrderHead stored(std::int32_t number, std::vector<store::OrderLine>* lines = nullptr) {
    const std::vector<std::uint8_t> index = ReadBytes(dir.file("RECHNUNG.IDX"));
    const std::vector<std::uint8_t> data = ReadBytes(dir.file("RECHNUNG.DAT"));
    store::OrderHead head{};
    std::int16_t last = -1;  // entries behind the header's count are stale
    if (index.size() >= 2) std::memcpy(&last, index.data(), 2);
    for (std::size_t at = 2; at < 2 + (last + 1) * 12u && at + 12 <= index.size(); at += 12) {
      store::OrderIndexEntry entry;
      std::memcpy(&entry, index.data() + at, sizeof entry);
      if (entry.orderNumber != number) continue;
      std::memcpy(&head, data.data() + entry.offset, sizeof head);
      if (lines) lines->assign(head.lineCount + 1, store::OrderLine{});
      for (int i = 1; lines && i <= head.lineCount; ++i)
        std::memcpy(&(*lines)[i], data.data() + entry.offset + 80 + (i - 1) * 402, 402);
    }
    return head;
  }

  double stock(std::int32_t articleRef) { return articleAt(articleRef).stock[0]; }
  store::ArticleRecord articleAt(std::int32_t articleRef) {
    return recordAt<store::ArticleRecord>("ARTIKEL.DAT", articleRef);
  }
  store::AddressRecord address(std::int32_t customerRef) {
    return recordAt<store::AddressRecord>("KUNDEN.DAT", customerRef);
  }

 private:
  template <typename Record>
  Record recordAt(const char* file, std::int32_t offset) {
    Record record{};
    std::memcpy(&record, ReadBytes(dir.file(file)).data() + offset, sizeof record);
    return record;
  }
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_ORDER_BOOK_H
