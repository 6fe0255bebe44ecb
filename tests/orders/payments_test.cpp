// Payments on an order: what the dialog opens with and what lands in the
// order when the typed amount is booked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orders/order_math.h"
#include "orders/payments.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;

TEST(PaymentForm, CashDiscountIsOfferedOnlyWhileThePeriodRuns) {
  testsupport::OrderBook book;  // today is 06.12.2026
  struct Case {
    const char* orderDate;
    std::int16_t period;
    bool ticked;
  };
  for (const Case& c : {Case{"27.11.2026", 10, true}, Case{"26.11.2026", 10, false},
                        Case{"25.11.2026", 10, false}, Case{"06.12.2026", 0, false},
                        Case{"06.12.2026", 1, true}}) {
    SCOPED_TRACE(std::string(c.orderDate) + " / " + std::to_string(c.period));
    store::SetText(book.app.order.orderDate, c.orderDate);
    book.app.order.cashDiscountPeriod = c.period;
    EXPECT_EQ(orders::OpenPaymentForm(book.app).cashDiscount, c.ticked);
  }
}

TEST(PaymentForm, ShowsTheOpenAmountOnlyOnceInvoiced) {
  testsupport::OrderBook book;
  store::OrderHead& order = book.app.order;
  order.orderNumber = 1261200007;
  order.cashDiscount = 25;
  order.total = 1250;
  order.paid = 300;
  orders::PaymentForm form = orders::OpenPaymentForm(book.app);
  EXPECT_EQ(form.orderNumber, "1261200007");
  EXPECT_EQ(form.paymentDate, "06.12.2026");
  EXPECT_EQ(form.cashDiscountLabel, "2.5 % Skonto");
  EXPECT_EQ(form.amount, "");
  order.flags = store::kOrderInvoicePrinted;
  EXPECT_EQ(orders::OpenPaymentForm(book.app).amount, "9.50");
}

// Every payment is added to what was paid, exactly as typed; an amount that
// does not fit leaves the order as it was.
TEST(BookPayment, TypedAmountsAddUpInTheStoredOrder) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  struct Case {
    std::vector<std::string> typed;
    std::int32_t paid;
    bool booked;  // the last payment
  };
  for (const Case& c : {Case{{"12,50"}, 1250, true}, Case{{"12.50"}, 1250, true},
                        Case{{"5", "2,5"}, 750, true}, Case{{"-3,005"}, -301, true},
                        Case{{"abc"}, 0, true}, Case{{"1234567890"}, 0, false},
                        Case{{"20000000", "2,5"}, 2000000250, true},
                        Case{{"20000000", "2000000"}, 2000000000, false}}) {
    SCOPED_TRACE(c.typed.back());
    const store::OrderHead head =
        book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}});
    orders::PaymentForm form;
    form.orderNumber = std::to_string(head.orderNumber);
    form.paymentDate = "05.12.2026";
    form.account = "Sparkasse Nord";
    form.cashDiscount = true;
    int result = 0;
    for (const std::string& amount : c.typed) {
      form.amount = amount;
      result = orders::BookPayment(book.app, form);
    }
    EXPECT_EQ(result, c.booked ? 1 : 0);
    const store::OrderHead stored = book.stored(head.orderNumber);
    EXPECT_EQ(stored.paid, c.paid);
    EXPECT_EQ(book.app.order.paid, c.paid);
    if (stored.paid == 0) continue;
    EXPECT_EQ(store::GetText(stored.paymentDate), "05.12.2026");
    EXPECT_EQ(store::GetText(stored.account), "Sparkass");
    EXPECT_EQ(stored.cashDiscountTaken, 1);
    EXPECT_EQ(stored.total, 1250);
  }
}

TEST(BookPayment, TheOpenAmountShownPaidLeavesNothingOpen) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier", "Firma");
  book.app.addresses.position = -1;  // the order's customer is found again by name
  const store::OrderHead head =
      book.order(customer, store::kOrderInvoicePrinted, {BookLine{2, 500}, BookLine{1, 250}});
  book.app.order = head;
  orders::PaymentForm form = orders::OpenPaymentForm(book.app);
  ASSERT_EQ(form.amount, "12.50");
  form.amount = "12,50";
  ASSERT_EQ(orders::BookPayment(book.app, form), 1);
  EXPECT_EQ(orders::OpenAmountText(book.stored(head.orderNumber)), "0.00");
  EXPECT_EQ(book.app.addresses.entry.offset, static_cast<std::uint32_t>(customer));
  EXPECT_EQ(book.ui.texts(), std::vector<std::string>{});
}

// An order that is not found, or cannot be read, changes nothing: not the
// file, not the order the pane shows.
TEST(BookPayment, AnOrderThatCannotBeHadChangesNothing) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t shown =
      book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}}).orderNumber;
  const std::int32_t damaged =
      book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}}).orderNumber;
  std::vector<std::uint8_t> data = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  data[80 + 402 + store::kOrderDatePointOffset] = '-';
  testsupport::WriteBytes(book.dir.file("RECHNUNG.DAT"), data);
  ASSERT_EQ(store::ReadOrder(book.app, book.app.order, 0), 1);
  book.app.orders.position = 0;
  const auto cursor = book.app.orders;
  const std::pair<std::string, std::string> cases[] = {
      {"4711", "Achtung!\nAuftrag wurde nicht gefunden !"},
      {std::to_string(damaged),
       "Probleme mit Auftrag #" + std::to_string(damaged) + "\nAuftrag kann nicht gelesen werden."}};
  for (const auto& [number, told] : cases) {
    SCOPED_TRACE(number);
    book.ui.shown.clear();
    orders::PaymentForm form;
    form.orderNumber = number;
    form.amount = "12,50";
    EXPECT_EQ(orders::BookPayment(book.app, form), 0);
    EXPECT_EQ(book.ui.texts(), std::vector<std::string>{told});
    EXPECT_EQ(book.app.orders.position, cursor.position);
    EXPECT_EQ(book.app.orders.entry.offset, cursor.entry.offset);
    EXPECT_EQ(book.app.order.orderNumber, shown);
    EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), data);
  }
}

}  // namespace
