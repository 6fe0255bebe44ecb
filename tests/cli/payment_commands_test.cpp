// belvon-cli pay, book and settle on a data directory the core filled.
#include <gtest/gtest.h>

#include <string>

#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::BookLine;

TEST(PaymentCommands, PayBookAndSettleWriteWhatTheDialogsWrite) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  const std::int32_t article = book.article("A-1", 10);
  const std::int32_t meier = book.customer("Meier"), schulz = book.customer("Schulz");
  const std::int32_t first =
      book.order(meier, store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted,
                 {BookLine{2, 625, article}})
          .orderNumber;
  const std::int32_t last = book.order(schulz, 0, {BookLine{1, 200}}).orderNumber;
  const std::string run = cli + " --data-dir " + book.dir.path() + " ";
  const std::string pay = run + "pay --order " + std::to_string(first) + " --amount 12,50";
  std::string out;
  EXPECT_EQ(testsupport::RunCommand(pay + " --date 04.12.2026 --cash-discount", &out), 0);
  EXPECT_EQ(out, "Auftrag " + std::to_string(first) + ": bezahlt 12.50, offen 0.00\n");
  EXPECT_EQ(std::pair(std::string(store::GetText(book.stored(first).paymentDate)),
                      +book.stored(first).cashDiscountTaken),
            std::pair(std::string("04.12.2026"), 1));
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order 4711 --amount 1"), 1);
  // A credit note takes refunds only.
  const std::string credit = std::to_string(
      book.order(meier, store::kOrderInvoicePrinted, {BookLine{-1, 5950}}).orderNumber);
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order " + credit + " --amount 59,50"), 1);
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order " + credit + " --amount -59,50"), 0);
  EXPECT_EQ(+book.stored(std::stoi(credit)).paid, -5950);

  EXPECT_EQ(testsupport::RunCommand(run + "book"), 1);  // the question is answered No
  EXPECT_EQ(book.stock(article), 10);
  EXPECT_EQ(testsupport::RunCommand(run + "--yes book"), 0);
  EXPECT_EQ(book.stock(article), 8);

  const std::string settle =
      run + "settle --from " + std::to_string(first) + " --to " + std::to_string(last);
  EXPECT_EQ(testsupport::RunCommand(settle), 2);
  EXPECT_EQ(testsupport::RunCommand(settle + " --customer Niemand"), 1);
  EXPECT_EQ(testsupport::RunCommand(settle + " --customer Meier"), 0);
  EXPECT_EQ(+book.stored(last).paid, 0);
  EXPECT_EQ(testsupport::RunCommand(settle + " --all"), 0);
  EXPECT_EQ(+book.stored(last).paid, 200);
}

}  // namespace
