// The payment dialogs fill their fields from the current order and hand
// what was typed to the core.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstring>

#include "core/command_ids.h"
#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "orders/ui/nachlieferliste_dialog.h"
#include "orders/ui/nachlieferung_dialog.h"
#include "orders/ui/oposten_dialog.h"
#include "orders/ui/payment_menu.h"
#include "orders/ui/sammelrechnung_dialog.h"
#include "orders/ui/zahlungseingang_dialog.h"
#include "store/order_kinds.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;

QString Text(QWidget* dialog, int id) { return frame::Control<QLineEdit>(dialog, id)->text(); }

// In the cash-discount period the dialog proposes the open amount less the
// discount (following the box), and booking it settles the invoice.
TEST(PaymentDialogs, ZahlungseingangBooksTheOpenAmountItShows) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}}, "30.11.2026");
  ASSERT_EQ(store::ReadOrder(book.app, book.app.order, 0), 1);
  book.app.order.cashDiscount = 20;
  book.app.order.cashDiscountPeriod = 7;
  std::int32_t position = 0;
  ASSERT_EQ(store::StoreOrder(book.app, book.app.order, position, store::StoreMode::Rewrite), 1);
  orders::ZahlungseingangDialog dialog(book.app);
  EXPECT_EQ(Text(&dialog, 2105), QString::number(book.app.order.orderNumber));
  EXPECT_EQ(Text(&dialog, 2124), "06.12.2026");
  EXPECT_EQ(Text(&dialog, 2108), "12.25");
  QCheckBox* discount = frame::Control<QCheckBox>(&dialog, 2120);
  EXPECT_EQ(discount->text(), "2.0 % Skonto");
  EXPECT_TRUE(discount->isChecked());
  discount->setChecked(false);
  EXPECT_EQ(Text(&dialog, 2108), "12.50");
  discount->setChecked(true);
  EXPECT_EQ(Text(&dialog, 2108), "12.25");
  frame::Control<QLineEdit>(&dialog, 2126)->setText(QStringLiteral("Kasse"));
  dialog.command(1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const store::OrderHead stored = book.stored(book.app.order.orderNumber);
  EXPECT_EQ(+stored.paid, 1250);
  EXPECT_EQ(store::GetText(stored.account), "Kasse");
  EXPECT_EQ(+stored.cashDiscountTaken, 1);
}

TEST(PaymentDialogs, ZahlungseingangRefusesAPaymentOnACreditNote) {
  testsupport::OrderBook book;
  book.order(book.customer("Meier"), store::kOrderInvoicePrinted, {BookLine{-1, 5950}});
  ASSERT_EQ(store::ReadOrder(book.app, book.app.order, 0), 1);
  orders::ZahlungseingangDialog dialog(book.app);
  EXPECT_EQ(Text(&dialog, 2108), "-59.50");
  frame::Control<QLineEdit>(&dialog, 2108)->setText(QStringLiteral("59,50"));
  dialog.command(1);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(book.ui.texts().size(), 1u);
  EXPECT_EQ(+book.stored(book.app.order.orderNumber).paid, 0);
}

// A refused input keeps the dialog open with all that was typed, the focus
// on the field to mend.
TEST(PaymentDialogs, ZahlungseingangStaysOpenOnARefusedInput) {
  testsupport::OrderBook book;
  const std::int32_t customer = book.customer("Meier");
  book.app.order = book.order(customer, store::kOrderInvoicePrinted, {BookLine{1, 1250}});
  const QString number = QString::number(book.app.order.orderNumber);
  const struct {
    QString number, amount;
    int focus;
    std::string told;
  } cases[] = {{number, "abc", 2108, frame::NotANumberMessage("Betrag")},
               {"999999", "12,50", 2105, "Achtung!\nAuftrag wurde nicht gefunden !"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amount.toStdString());
    book.ui.shown.clear();
    orders::ZahlungseingangDialog dialog(book.app);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (auto [id, text] : {std::pair(2105, c.number), {2124, QStringLiteral("01.12.2026")},
                            {2108, c.amount}, {2126, QStringLiteral("Bank")}}) {
      QLineEdit* field = frame::Control<QLineEdit>(&dialog, id);
      field->selectAll();
      QTest::keyClicks(field, text);
    }
    QTest::mouseClick(frame::Control<QPushButton>(&dialog, 1), Qt::LeftButton);
    EXPECT_EQ(book.ui.texts(), std::vector<std::string>{c.told});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), frame::FindControl(&dialog, c.focus));
    EXPECT_EQ(Text(&dialog, 2124), "01.12.2026");
    EXPECT_EQ(Text(&dialog, 2126), "Bank");
    EXPECT_EQ(+book.stored(book.app.order.orderNumber).paid, 0);
  }
}

TEST(PaymentDialogs, OpostenSettlesTheRangeTypedForTheCustomerShown) {
  testsupport::OrderBook book;
  const std::int32_t other = book.customer("Schulz");
  const std::int32_t first =
      book.order(other, store::kOrderInvoicePrinted, {BookLine{1, 100}}).orderNumber;
  const std::int32_t meier = book.customer("Meier");
  const std::int32_t second =
      book.order(meier, store::kOrderInvoicePrinted, {BookLine{1, 200}}).orderNumber;
  orders::OpostenDialog dialog(book.app);
  EXPECT_EQ(static_cast<QLabel*>(frame::FindControl(&dialog, 2149))->text(), "Meier");
  frame::Control<QLineEdit>(&dialog, 2151)->setText(QString::number(first));
  frame::Control<QLineEdit>(&dialog, 2152)->setText(QString::number(second));
  dialog.command(1);
  EXPECT_EQ(+book.stored(first).paid, 0);
  EXPECT_EQ(+book.stored(second).paid, 200);
}

TEST(PaymentDialogs, NachlieferungConfirmsTheEntriesMarkedOk) {
  testsupport::OrderBook book;
  const std::int32_t source = book.order(book.customer("Meier"), store::kOrderHasBackOrder,
                                         {BookLine{1, 100, -1, store::kLineBackOrder},
                                          BookLine{2, 50, -1, store::kLineBackOrder}})
                                  .orderNumber;
  orders::NachlieferungDialog dialog(book.app);
  ASSERT_EQ(dialog.list()->count(), 2);
  QListWidgetItem* second = dialog.list()->item(1);
  emit dialog.list()->itemDoubleClicked(second);
  emit dialog.list()->itemDoubleClicked(dialog.list()->item(0));
  emit dialog.list()->itemDoubleClicked(dialog.list()->item(0));
  EXPECT_TRUE(second->text().startsWith("OK"));
  EXPECT_TRUE(dialog.list()->item(0)->text().startsWith("  "));
  dialog.command(1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(+book.stored(source).lineCount, 1);
  EXPECT_EQ(+book.stored(book.app.order.orderNumber).total, 100);
}

TEST(PaymentDialogs, NachlieferlisteShowsTheCurrentArticlesBackOrders) {
  testsupport::OrderBook book;
  book.order(book.customer("Meier"), store::kOrderHasBackOrder,
             {BookLine{2, 0, -1, store::kLineBackOrder, 0, "A-1"}});
  store::SetText(book.app.article.number, "A-1");
  orders::NachlieferlisteDialog dialog(book.app);
  ASSERT_EQ(dialog.list()->count(), 1);
  EXPECT_TRUE(dialog.list()->item(0)->text().endsWith(" 2.000  A-1 "));
}

TEST(PaymentDialogs, APaymentNeedsAnOrderFound) {
  testsupport::OrderBook book;
  frame::MainWindow window(book.app);
  orders::InstallPaymentCommands(window);
  window.command(frame::cmd::kPaymentReceived);
  EXPECT_EQ(book.ui.texts(), std::vector<std::string>{"Bitte erst Auftrag suchen !"});
}

// The collective invoice is issued with its number before the print job
// finds it in the order pane's buffers, for as long as a copy may print from
// it (a preview keeps `printed`); when no copy came out it is withdrawn;
// then the pane holds its own order again.
TEST(PaymentDialogs, SammelrechnungPrintsTheCollectionAndGivesThePaneItsOrderBack) {
  for (int run : {0, 1, 2}) {  // printed at once, from a preview, preview closed
    const bool preview = run > 0;
    SCOPED_TRACE(run);
    testsupport::OrderBook book;
    store::SetText(book.app.parameters.currencySymbol1, "EUR");
    const std::int32_t meier = book.customer("Meier", "Firma");
    const std::int32_t first =
        book.order(meier, store::kOrderDeliveryNotePrinted,
                   {BookLine{1, 100}, BookLine{2, 50}, BookLine{1, 10, -1, store::kLineBackOrder}})
            .orderNumber;
    book.app.order = book.stored(first);  // the pane holds the first order
    const std::int32_t next = static_cast<std::int32_t>(book.app.nextOrderNumber);
    std::vector<bool> notices;
    std::vector<int> lineCounts, numbers;
    std::function<void()> held;
    orders::SammelrechnungDialog dialog(
        book.app, [&](int job, bool notify, const printing::JobInputs& inputs,
                      const std::function<void()>& printed) {
          EXPECT_EQ(job, 4);
          EXPECT_EQ(inputs.printDate, "06.12.2026");
          notices.push_back(notify);
          lineCounts.push_back(+book.app.order.lineCount);
          numbers.push_back(+book.app.order.orderNumber);
          if (preview) held = printed;
          else printed();
        });
    EXPECT_EQ(static_cast<QLabel*>(frame::FindControl(&dialog, 2103))->text(), "Firma Meier");
    EXPECT_EQ(Text(&dialog, 2102), "126129999");
    EXPECT_EQ(Text(&dialog, 2104), "06.12.2026");
    EXPECT_FALSE(frame::Control<QCheckBox>(&dialog, 2144)->isChecked());
    frame::Control<QLineEdit>(&dialog, 2101)->setText(QString::number(first));
    emit frame::Control<QLineEdit>(&dialog, 2107)->textEdited(QStringLiteral("2"));
    dialog.command(1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(notices, (std::vector<bool>{false, true}));
    EXPECT_EQ(lineCounts, (std::vector<int>{2, 2}));
    EXPECT_EQ(numbers, (std::vector<int>{next, next}));
    if (preview) {
      EXPECT_EQ(+book.app.order.lineCount, 2);
      if (run == 1) held();
      held = nullptr;
    }
    const store::OrderHead stored = book.stored(first);
    const bool issued = run < 2;
    EXPECT_EQ(+stored.flags, store::kOrderDeliveryNotePrinted |
                                 (issued ? store::kOrderCollectivelyBilled : 0));
    EXPECT_EQ(book.stored(next).orderNumber == next, issued);
    EXPECT_EQ(std::memcmp(&book.app.order, &stored, sizeof stored), 0);
  }
}

}  // namespace
