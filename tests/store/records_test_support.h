// A fresh data directory with a started program on it, and small builders for
// the records the store tests put into it.
#ifndef BELVON_TESTS_STORE_RECORDS_TEST_SUPPORT_H
#define BELVON_TESTS_STORE_RECORDS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "store/app_state.h"
#include "store/load_parameters.h"
#include "store/address_file.h"
#include "store/address_record.h"
#include "store/article_file.h"
#include "store/article_record.h"
#include "store/discount_entry.h"
#include "store/index_entry.h"
#include "store/order_file.h"
#include "store/order_record.h"
#include "store/parameter_record.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace testsupport {

// 3 December 2026, the day most numbering cases are played on.
inline constexpr platform::LocalTime kThirdOfDecember2026{2026, 12, 3, 10, 0, 0};

// A program started on an empty data directory: every file exists, the
// indexes are empty and the counter is the first number of December 2026.
class StoreTest : public ::testing::Test, public TestApp {
 protected:
  StoreTest() : TestApp(kThirdOfDecember2026) {
    frame::LoadParameters(app);
    GiveSellerTaxId(app);
    ui.shown.clear();
  }

  // Stores a new article or address (the store must take it); its position.
  template <typename Record>
  std::int32_t Add(const Record& record) {
    std::int32_t position = -1;
    if constexpr (std::is_same_v<Record, store::ArticleRecord>)
      EXPECT_EQ(store::WriteArticle(app, record, position, true), 1);
    else
      EXPECT_EQ(store::WriteAddress(app, record, position, true), 1);
    return position;
  }
  // Makes the article current as the article pane does; its record offset.
  std::int32_t SelectArticle(const std::string& number) {
    store::ArticleRecord key{};
    store::SetText(key.number, number);
    std::int32_t position = -1;
    if (!store::FindArticleByNumber(app, key, position) ||
        !store::ReadArticle(app, app.article, position)) {
      ADD_FAILURE() << "no article " << number;
      return -1;
    }
    app.articles.position = position;
    return static_cast<std::int32_t>(app.articles.entry.offset);
  }
};

// The main currency EUR and "DM" at 2.5 per euro; 7 % and 19 % in every
// currency.
inline void SetEuroAndDm(store::ParameterRecord& parameters) {
  store::SetText(parameters.currencySymbol1, "EUR");
  store::SetText(parameters.currencySymbol2, "DM");
  parameters.exchangeRates[1] = 2.5f;
  for (int c = 0; c < 3; ++c) {
    store::SetTaxRate(parameters, c, 2, 70);
    store::SetTaxRate(parameters, c, 3, 190);
  }
}

inline store::ArticleRecord MakeArticle(const std::string& number,
                                        const std::string& designation = "",
                                        const std::string& supplier = "") {
  store::ArticleRecord article{};
  article.length = sizeof article;
  store::SetText(article.number, number);
  store::SetText(article.designation, designation);
  store::SetText(article.supplier, supplier);
  article.flags = store::kNewArticleFlags;
  return article;
}

inline store::AddressRecord MakeAddress(const std::string& name2,
                                        const std::string& customerNumber = "",
                                        const std::string& name1 = "") {
  store::AddressRecord address{};
  address.length = sizeof address;
  address.kind = store::kAddressCustomer;
  store::SetText(address.name2, name2);
  store::SetText(address.customerNumber, customerNumber);
  store::SetText(address.name1, name1);
  return address;
}

struct LineSpec {
  std::string text;  // description 1, a marker to recognise the line by
  std::int32_t articleRef = -1;
  std::string articleNumber;
  std::int16_t discount = 0;
};

inline store::OrderLine MakeLine(const LineSpec& wanted) {
  store::OrderLine line{};
  line.quantity = 1.0;
  store::SetText(line.description1, wanted.text);
  store::SetText(line.articleNumber, wanted.articleNumber);
  line.articleRef = wanted.articleRef;
  line.discount = wanted.discount;
  line.taxCode = store::kTaxCodeRate2;
  return line;
}

// Stores a new order of the customer at `customerRef` with these lines
// (StoreOrder mode 1); the head comes back with its number, the position is
// in app.orders.position. `stored` is 0 when StoreOrder refused.
inline store::OrderHead AddOrder(frame::AppState& app, std::int32_t customerRef,
                                 const std::vector<LineSpec>& lines, int* stored = nullptr) {
  store::OrderHead head{};
  head.customerRef = customerRef;
  store::SetText(head.orderDate, "03.12.2026");
  head.lineCount = static_cast<std::int16_t>(lines.size());
  head.stored = 1;
  for (std::size_t i = 0; i < lines.size(); ++i) app.orderLines[i + 1] = MakeLine(lines[i]);
  std::int32_t position = -1;
  int result = store::StoreOrder(app, head, position, store::StoreMode::NewNumber);
  if (stored) *stored = result;
  return head;
}

// The entries of an index file as its header counts them, or, with
// `all`, every whole entry the file holds (also the stale ones behind it).
template <typename Entry>
std::vector<Entry> IndexEntries(const std::string& path, std::size_t headerSize, bool all = false) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  if (bytes.size() < headerSize) return {};
  std::int64_t count = (bytes.size() - headerSize) / sizeof(Entry);
  std::int32_t last = 0;  // little-endian: a 2-byte header reads through its low bytes
  std::memcpy(&last, bytes.data(), headerSize);
  if (headerSize == 2) last = static_cast<std::int16_t>(last);
  if (!all) count = std::min<std::int64_t>(count, last + 1);
  std::vector<Entry> entries(std::max<std::int64_t>(count, 0));
  if (!entries.empty()) std::memcpy(entries.data(), bytes.data() + headerSize, entries.size() * sizeof(Entry));
  return entries;
}

// The bytes of a discount file holding these entries and then `tail`.
inline std::vector<std::uint8_t> DiscountBytes(const std::vector<store::DiscountEntry>& entries,
                                               const std::vector<std::uint8_t>& tail = {}) {
  std::vector<std::uint8_t> bytes(entries.size() * sizeof(store::DiscountEntry));
  std::memcpy(bytes.data(), entries.data(), bytes.size());
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

template <typename T>
T ReadAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

template <typename T>
void WriteAt(std::vector<std::uint8_t>& bytes, std::size_t offset, const T& value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace testsupport

#endif  // BELVON_TESTS_STORE_RECORDS_TEST_SUPPORT_H
