// Payments on an order: what the dialog opens with and what lands in the
// order when the typed amount is booked.
#include "orders/payments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "orders/order_math.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;

// Today is 06.12.2026; the box is ticked while fewer days than the period
// have passed.
TEST(PaymentForm, CashDiscountIsOfferedOnlyWhileThePeriodRuns) {
  testsupport::OrderBook book;
  const std::tuple<const char*, int, bool> cases[] = {{"27.11.2026", 10, true},
                                                      {"26.11.2026", 10, false},
                                                      {"25.11.2026", 10, false},
                                                      {"06.12.2026", 0, false},
                                                      {"06.12.2026", 1, true}};
  for (const auto& [date, period, ticked] : cases) {
    SCOPED_TRACE(std::string(date) + " / " + std::to_string(period));
    store::SetText(book.app.order.orderDate, date);
    book.app.order.cashDiscountPeriod = static_cast<std::int16_t>(period);
    EXPECT_EQ(orders::OpenPaymentForm(book.app).cashDiscount, ticked);
  }
}

// Every payment is added to what was paid, exactly as typed; an amount that
// does not fit leaves the order as it was.
TEST(BookPayment, TypedAmountsAddUpInTheStoredOrder) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  book.customer("Schulz");  // selected until a payment selects the order's customer
  const std::tuple<std::vector<std::string>, std::int32_t, int> cases[] = {
      {{"12,50"}, 1250, 1},
      {{"12.50"}, 1250, 1},
      {{"5", "2,5"}, 750, 1},
      {{"-3,005"}, -301, 1},
      {{"abc"}, 0, 0},
      {{"1234567890"}, 0, 0},
      {{"20000000", "2,5"}, 2000000250, 1},
      {{"20000000", "2000000"}, 2000000000, 0}};
  for (const auto& [typed, paid, result] : cases) {
    SCOPED_TRACE(typed.back());
    const store::OrderHead head =
        book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}});
    orders::PaymentForm form{
        std::to_string(head.orderNumber), "05.12.2026", "", true, "", "Sparkasse Nord"};
    int last = -1;
    for (const std::string& amount : typed) {
      form.amount = amount;
      last = orders::BookPayment(book.app, form);
    }
    EXPECT_EQ(last, result);
    const store::OrderHead stored = book.stored(head.orderNumber);
    EXPECT_EQ(+stored.paid, paid);
    EXPECT_EQ(+book.app.order.paid, paid);
    EXPECT_EQ(+book.app.addresses.entry.offset, static_cast<std::uint32_t>(customer));
    if (stored.paid == 0) continue;
    EXPECT_EQ(store::GetText(stored.paymentDate), "05.12.2026");
    EXPECT_EQ(store::GetText(stored.account), "Sparkass");
    EXPECT_EQ(+stored.cashDiscountTaken, 1);
    EXPECT_EQ(+stored.total, 1250);
  }
}

// The customer deducts 2 % of 119.00 within the period: the form proposes
// 116.62, and booking it settles the invoice. The discount counts once, and
// a payment without the box never undoes it.
TEST(BookPayment, CashDiscountInTimeSettlesTheInvoice) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  store::OrderHead head = book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 11900}});
  store::OrderHead& shown = book.app.order;
  ASSERT_EQ(store::ReadOrder(book.app, shown, 0), 1);
  shown.cashDiscount = 20;
  shown.cashDiscountPeriod = 10;
  std::int32_t position = 0;
  ASSERT_EQ(store::StoreOrder(book.app, shown, position, store::StoreMode::Rewrite), 1);
  orders::PaymentForm form = orders::OpenPaymentForm(book.app);
  EXPECT_EQ(std::pair(form.cashDiscount, form.amount), std::pair(true, std::string("116.62")));
  EXPECT_EQ(form.cashDiscountLabel, "2.0 % Skonto");
  EXPECT_EQ(orders::ProposedAmount(shown, false), "119.00");
  // The German style proposes what it reads back.
  book.app.figures = frame::FigureStyle::German;
  const orders::PaymentForm german = orders::OpenPaymentForm(book.app);
  book.app.figures = frame::FigureStyle::Point;
  EXPECT_EQ(german.amount + " " + german.cashDiscountLabel, "116,62 2 % Skonto");
  EXPECT_EQ(orders::OpenAmountText(shown, frame::FigureStyle::German), "119,00");
  form.amount = "100";
  ASSERT_EQ(orders::BookPayment(book.app, form), 1);
  EXPECT_EQ(orders::OpenAmountText(book.stored(head.orderNumber)), "16.62");
  form.amount = "16,62";
  ASSERT_EQ(orders::BookPayment(book.app, form), 1);
  form.cashDiscount = false;
  form.amount = "0";
  ASSERT_EQ(orders::BookPayment(book.app, form), 1);
  head = book.stored(head.orderNumber);
  EXPECT_EQ(std::pair(orders::OpenAmountText(head), +head.cashDiscountTaken),
            std::pair(std::string("0.00"), 1));
  EXPECT_TRUE(orders::PaidInFull(head));
}

// A credit note is paid out: a positive amount is refused and told, a
// refund is booked.
TEST(BookPayment, ACreditNoteTakesRefundsOnly) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t number =
      book.order(customer, store::kOrderInvoicePrinted, {BookLine{-1, 5950}}).orderNumber;
  const std::vector<std::uint8_t> before = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  EXPECT_EQ(orders::BookPayment(book.app, {std::to_string(number), "", "", false, "59,50", ""}), 0);
  EXPECT_EQ(book.ui.texts(), std::vector<std::string>{"Auf eine Gutschrift wird nur erstattet:\n"
                                                      "Bitte den Betrag negativ eingeben (z. B. -59,50)."});
  EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), before);
  EXPECT_EQ(orders::BookPayment(book.app, {std::to_string(number), "", "", false, "-59,50", ""}), 1);
  EXPECT_EQ(orders::OpenAmountText(book.stored(number)), "0.00");
}

// An order that is not found, or cannot be read, changes nothing: not the
// file, not the order the pane shows.
TEST(BookPayment, AnOrderThatCannotBeHadChangesNothing) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  const std::int32_t shown = book.order(customer, 0, {BookLine{1, 1250}}).orderNumber;
  const std::int32_t damaged = book.order(customer, 0, {BookLine{1, 1250}}).orderNumber;
  std::vector<std::uint8_t> data = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  data[80 + 402 + store::kOrderDatePointOffset] = '-';
  testsupport::WriteBytes(book.dir.file("RECHNUNG.DAT"), data);
  ASSERT_EQ(store::ReadOrder(book.app, book.app.order, 0), 1);
  book.app.orders.position = 0;
  const auto cursor = book.app.orders;
  const std::pair<std::string, std::string> cases[] = {
      {"4711", "Achtung!\nAuftrag wurde nicht gefunden !"},
      {std::to_string(damaged), "Probleme mit Auftrag #" + std::to_string(damaged) +
                                    "\nAuftrag kann nicht gelesen werden."}};
  for (const auto& [number, told] : cases) {
    SCOPED_TRACE(number);
    book.ui.shown.clear();
    EXPECT_EQ(orders::BookPayment(book.app, {number, "", "", false, "12,50", ""}), 0);
    EXPECT_EQ(book.ui.texts(), std::vector<std::string>{told});
    EXPECT_EQ(book.app.orders.position, cursor.position);
    EXPECT_EQ(+book.app.orders.entry.offset, +cursor.entry.offset);
    EXPECT_EQ(+book.app.order.orderNumber, shown);
    EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), data);
  }
}

// An address file that another copy holds says nothing about the address:
// it is named as busy, never reported as deleted, and the payment is booked.
TEST(BookPayment, ABusyAddressFileIsNamedAsBusyNotAsADeletedAddress) {
  testsupport::OrderBook book;
  const store::OrderHead head =
      book.order(book.customer("Meier"), store::kOrderInvoicePrinted, {BookLine{1, 1250}});
  book.app.retry.bound = std::chrono::milliseconds(100);
  for (const char* held : {"KUNDEN.IDX", "KUNDEN.DAT"}) {
    SCOPED_TRACE(held);
    platform::File other = platform::SystemFileSystem().open(
        book.dir.file(held), platform::Access::ReadWrite, platform::Share::Exclusive);
    ASSERT_TRUE(other);
    book.ui.shown.clear();
    EXPECT_EQ(orders::BookPayment(book.app, {std::to_string(head.orderNumber), "05.12.2026", "",
                                             false, "1", ""}),
              1);
    bool namedBusy = false;
    for (const std::string& text : book.ui.texts()) {
      EXPECT_EQ(text.find("gelöscht"), std::string::npos) << text;
      namedBusy |= text.find(book.dir.file(held) + " wird gerade") != std::string::npos;
    }
    EXPECT_TRUE(namedBusy);
  }
  EXPECT_EQ(+book.stored(head.orderNumber).paid, 200);
}

}  // namespace
