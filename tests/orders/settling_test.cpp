// Settling open items: which orders of a number range are declared paid,
// and what lands in their heads.
#include "orders/settling.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "orders/order_math.h"
#include "orders/payments.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;

TEST(SettleOpenItems, SettlesTheRangeOfTheSelectedCustomerOrOfAll) {
  struct Case {
    const char* name;
    int from, to;  // indexes into the orders below
    bool all;
    std::vector<bool> settled;
  };
  // Orders 0, 2 and 3 are Meier's, 1 is Schulz's; Meier is selected.
  const Case cases[] = {
      {"Meier's whole range", 0, 3, false, {true, false, true, true}},
      {"one number", 2, 2, false, {false, false, true, false}},
      {"every customer", 1, 3, true, {false, true, true, true}},
      {"Schulz's number only", 1, 1, false, {false, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::OrderBook book;
    const std::int32_t schulz = book.customer("Schulz");
    const std::int32_t meier = book.customer("Meier");
    std::vector<store::OrderHead> before;
    for (std::int32_t customer : {meier, schulz, meier, meier}) {
      const store::OrderHead head =
          book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}}, "02.12.2026");
      before.push_back(book.stored(head.orderNumber));
    }
    int settled = -1;
    ASSERT_EQ(orders::SettleOpenItems(book.app, before[c.from].orderNumber,
                                      before[c.to].orderNumber, c.all, &settled),
              1);
    int expected = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      SCOPED_TRACE(i);
      store::OrderHead after = book.stored(before[i].orderNumber);
      if (!c.settled[i]) {
        EXPECT_EQ(std::memcmp(&after, &before[i], sizeof after), 0);
        continue;
      }
      ++expected;
      EXPECT_EQ(orders::OpenAmountText(after), "0.00");
      EXPECT_EQ(store::GetText(after.account), "egalisie");
      EXPECT_EQ(store::GetText(after.paymentDate), "06.12.2026");
      // Nothing else of the head changes: the invoice date stays readable.
      EXPECT_EQ(store::GetText(after.invoiceDate), "02.12.2026");
      after.paid = before[i].paid;
      std::memcpy(after.account, before[i].account, sizeof after.account);
      std::memcpy(after.paymentDate, before[i].paymentDate, sizeof after.paymentDate);
      EXPECT_EQ(std::memcmp(&after, &before[i], sizeof after), 0);
    }
    EXPECT_EQ(settled, expected);
  }
}

// Only what is open is written off: an overpaid invoice and a credit note
// not yet refunded keep what is owed back, and are named.
TEST(SettleOpenItems, MoneyOwedBackIsNotWrittenOff) {
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier");
  struct Case { std::int32_t price; const char* paid; bool owedBack; std::int32_t paidAfter; };
  const Case cases[] = {{23800, "250", true, 25000}, {23800, "238", false, 23800},
                        {23800, "100", false, 23800}, {-5950, "0", true, 0},
                        {-5950, "-59,50", false, -5950}};
  std::vector<std::int32_t> numbers, expected;
  for (const Case& c : cases) {
    const std::int32_t number =
        book.order(meier, store::kOrderInvoicePrinted, {BookLine{1, c.price}}).orderNumber;
    ASSERT_EQ(orders::BookPayment(book.app, {std::to_string(number), "", "", false, c.paid, ""}), 1);
    numbers.push_back(number);
    if (c.owedBack) expected.push_back(number);
  }
  int settled = 0;
  std::vector<std::int32_t> owedBack;
  ASSERT_EQ(orders::SettleOpenItems(book.app, numbers.front(), numbers.back(), false, &settled,
                                    &owedBack),
            1);
  EXPECT_EQ(settled, 1);
  EXPECT_EQ(owedBack, expected);
  for (std::size_t i = 0; i < numbers.size(); ++i)
    EXPECT_EQ(+book.stored(numbers[i]).paid, cases[i].paidAfter) << i;
  EXPECT_EQ(orders::OwedBackNote(owedBack),
            "Nicht egalisiert (Guthaben des Kunden): Nr. " + std::to_string(expected[0]) + ", " +
                std::to_string(expected[1]));
}

}  // namespace
