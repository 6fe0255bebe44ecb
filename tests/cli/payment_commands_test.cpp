// belvon-cli pay and book on a data directory the core filled.
#include <gtest/gtest.h>

#include <string>

#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::BookLine;

TEST(PaymentCommands, PayAndBookWriteWhatTheDialogsWrite) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  const std::int32_t article = book.article("A-1", 10);
  const store::OrderHead head =
      book.order(book.customer("Meier"), store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted,
                 {BookLine{2, 625, article}});
  const std::string run = cli + " --data-dir " + book.dir.path() + " ";
  std::string out;
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order " + std::to_string(head.orderNumber) +
                                        " --amount 12,50 --date 04.12.2026 --cash-discount",
                                    &out),
            0);
  EXPECT_NE(out.find("bezahlt 12.50, offen 0.00"), std::string::npos) << out;
  store::OrderHead paid = book.stored(head.orderNumber);
  EXPECT_EQ(paid.paid, 1250);
  EXPECT_EQ(store::GetText(paid.paymentDate), "04.12.2026");
  EXPECT_EQ(paid.cashDiscountTaken, 1);
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order 4711 --amount 1"), 1);

  // Without --yes the question is answered No.
  EXPECT_EQ(testsupport::RunCommand(run + "book"), 1);
  EXPECT_EQ(book.stock(article), 10);
  EXPECT_EQ(testsupport::RunCommand(run + "--yes book", &out), 0);
  EXPECT_EQ(book.stored(head.orderNumber).flags & store::kOrderBooked, store::kOrderBooked);
  EXPECT_EQ(book.stock(article), 8);
}

TEST(PaymentCommands, SettleTakesOneCustomersRangeOrEveryCustomers) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier"), schulz = book.customer("Schulz");
  const std::int32_t first = book.order(meier, 0, {BookLine{1, 100}}).orderNumber;
  const std::int32_t last = book.order(schulz, 0, {BookLine{1, 200}}).orderNumber;
  const std::string run = cli + " --data-dir " + book.dir.path() + " settle --from " +
                          std::to_string(first) + " --to " + std::to_string(last);
  EXPECT_EQ(testsupport::RunCommand(run), 2);
  EXPECT_EQ(testsupport::RunCommand(run + " --customer Niemand"), 1);
  std::string out;
  EXPECT_EQ(testsupport::RunCommand(run + " --customer Meier", &out), 0);
  EXPECT_EQ(out, "Egalisierte Aufträge: 1\n");
  EXPECT_EQ(book.stored(first).paid, 100);
  EXPECT_EQ(book.stored(last).paid, 0);
  EXPECT_EQ(testsupport::RunCommand(run + " --all"), 0);
  EXPECT_EQ(book.stored(last).paid, 200);
}

}  // namespace
