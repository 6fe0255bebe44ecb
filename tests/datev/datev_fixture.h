// Issued invoices on a fresh data directory for the DATEV export, and a
// reader of the written file of our own: it knows the format as the
// adviser's software reads it, not our writer.
#ifndef BELVON_TESTS_DATEV_DATEV_FIXTURE_H
#define BELVON_TESTS_DATEV_DATEV_FIXTURE_H

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "datev/datev_settings.h"
#include "orders/issuing.h"
#include "orders/order_math.h"
#include "platform/cp1252.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/records_test_support.h"

namespace testsupport {

// An EXTF file: the header fields, the column names and the rows, every
// field unquoted ("" inside quotes read as one quote). Fields stay
// Windows-1252.
struct ExtfRead {
  std::vector<std::string> header;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  bool crlf = true;  // every line ended with CR LF

  // The field of `row` under the column `name`; fails the test when the
  // column is missing.
  std::string at(std::size_t row, const std::string& name) const {
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (columns[c] == platform::Utf8ToCp1252(name)) return rows.at(row).at(c);
    ADD_FAILURE() << "no column " << name;
    return {};
  }
};

inline std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ';' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

inline ExtfRead ReadExtf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  ExtfRead file;
  std::size_t start = 0;
  int line = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const bool cr = end > start && bytes[end - 1] == '\r';
    if (!cr) file.crlf = false;
    const std::string text = bytes.substr(start, end - start - (cr ? 1 : 0));
    if (line == 0)
      file.header = SplitFields(text);
    else if (line == 1)
      file.columns = SplitFields(text);
    else
      file.rows.push_back(SplitFields(text));
    ++line;
    start = end + 1;
  }
  return file;
}

// "1234,56" in cents, signed by "S" (+) or "H" (-).
inline std::int64_t SignedCents(const std::string& amount, const std::string& side) {
  const std::size_t comma = amount.find(',');
  EXPECT_NE(comma, std::string::npos) << amount;
  EXPECT_EQ(amount.size() - comma, 3u) << amount;
  EXPECT_EQ(amount.find('.'), std::string::npos) << amount;
  const std::int64_t cents =
      std::stoll(amount.substr(0, comma)) * 100 + std::stoll(amount.substr(comma + 1));
  EXPECT_TRUE(side == "S" || side == "H") << side;
  return side == "H" ? -cents : cents;
}

class DatevTest : public StoreTest {
 protected:
  DatevTest() {
    store::SetText(app.parameters.currencySymbol1, "EUR");
    store::SetTaxRate(app.parameters, 0, 2, 70);
    store::SetTaxRate(app.parameters, 0, 3, 190);
    settings.advisor = 29098;
    settings.client = 55003;
  }

  // A customer; its offset in KUNDEN.DAT. Names are UTF-8.
  std::int32_t Customer(const std::string& name1, const std::string& name2,
                        const std::string& number) {
    store::AddressRecord address = MakeAddress(platform::Utf8ToCp1252(name2), number,
                                               platform::Utf8ToCp1252(name1));
    store::SetText(address.street, "Hauptstr. 1");
    store::SetText(address.town, "12345 Berlin");
    store::SetText(address.vatId, "DE123456789");
    std::int32_t position = -1;
    EXPECT_EQ(store::WriteAddress(app, address, position, true), 1);
    const auto offset = static_cast<std::int32_t>(app.addresses.entry.offset);
    positions[offset] = position;
    return offset;
  }

  // An order of the customer with lines of (price in cents, tax code),
  // issued as an invoice on `date`; its number. The order stays current.
  std::int32_t Invoice(std::int32_t customer, const std::vector<std::pair<int, int>>& lines,
                       std::string date, bool grossPrices = false, int currency = 0) {
    std::vector<LineSpec> specs(lines.size(), LineSpec{"Posten"});
    AddOrder(app, customer, specs);
    store::ReadOrder(app, app.order, app.orders.position);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      app.orderLines[i + 1].salePrice = lines[i].first;
      app.orderLines[i + 1].taxCode = static_cast<std::int16_t>(lines[i].second);
    }
    if (grossPrices) app.order.flags |= store::kOrderPricesIncludeTax;
    app.order.currency = static_cast<std::uint8_t>(currency);
    orders::RefreshOrderTotal(app.order, app.orderLines, app.parameters);
    std::int32_t at = app.orders.position;
    EXPECT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
    // Issued to the customer selected, as in the program.
    app.addresses.position = positions.at(customer);
    store::ReadAddress(app, app.address, app.addresses.position);
    EXPECT_TRUE(orders::IssueDocument(app, orders::DocumentKind::Invoice, 1, date,
                                      [](int, bool, const printing::JobInputs&,
                                         const std::function<void()>& printed) { printed(); }));
    store::ReadOrder(app, app.order, app.orders.position);
    return app.order.orderNumber;
  }

  // The current order paid on `date` to `account` ("Konto" of the payment).
  void Pay(std::int32_t cents, const std::string& date, const std::string& account,
           std::int16_t cashDiscount = 0) {
    store::ReadOrder(app, app.order, app.orders.position);
    app.order.paid = cents;
    store::SetText(app.order.paymentDate, date);
    store::SetText(app.order.account, account);
    // A discount in tenths of a percent, taken with the payment.
    if (cashDiscount) app.order.cashDiscount = cashDiscount;
    app.order.cashDiscountTaken = cashDiscount ? 1 : 0;
    std::int32_t at = app.orders.position;
    EXPECT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  }

  datev::Settings settings;
  std::map<std::int32_t, std::int32_t> positions;  // of the customers, by offset
};

}  // namespace testsupport

#endif  // BELVON_TESTS_DATEV_DATEV_FIXTURE_H
