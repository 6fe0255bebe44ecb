// belvon-cli pay, book and settle on a data directory the core filled.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "store/parameter_file.h"
#include "store/figure_style_file.h"
#include "store/order_kinds.h"
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
  const std::int32_t last =
      book.order(schulz, store::kOrderInvoicePrinted, {BookLine{1, 200}}).orderNumber;
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
  // The CLI writes its figures in the style of the data directory.
  ASSERT_TRUE(store::SaveFigureStyle(book.app, frame::FigureStyle::German));
  out.clear();
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order " + credit + " --amount -59,50", &out), 0);
  EXPECT_EQ(out, "Auftrag " + credit + ": bezahlt -59,50, offen 0,00\n");
  ASSERT_TRUE(store::SaveFigureStyle(book.app, frame::FigureStyle::Point));
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

// A customer is named by name line 2 as it is stored: "meier" is not
// "Meier". A name that only differs in letter case from one address means
// that one; from several, none, and they are listed. A name with letters
// beyond ASCII is found as typed (UTF-8).
TEST(PaymentCommands, SettleTakesTheCustomerOfExactlyThatName) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  std::map<std::string, std::int32_t> invoices;
  for (const char* name : {"Meier", "meier", "\xD6zdemir", "Schulz"})
    invoices[name] =
        book.order(book.customer(name), store::kOrderInvoicePrinted, {BookLine{1, 1000}}).orderNumber;
  const std::string run = cli + " --data-dir " + book.dir.path() + " settle --from 1 --to 2000000000 --customer ";
  struct Case {
    const char* typed;
    int exit;
    std::vector<std::string> paid;  // stored names whose invoice is settled
    const char* told;
  };
  const Case cases[] = {
      {"MEIER", 1, {}, "Mehrere Adressen hei\xC3\x9F" "en \"MEIER\""},
      {"meier", 0, {"meier"}, ""},
      {"Meier", 0, {"meier", "Meier"}, ""},
      {"\xC3\x96zdemir", 0, {"meier", "Meier", "\xD6zdemir"}, ""},
      {"SCHULZ", 0, {"meier", "Meier", "\xD6zdemir", "Schulz"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string out, errors;
    EXPECT_EQ(testsupport::RunCommand(run + "'" + c.typed + "'", &out, &errors), c.exit) << errors;
    EXPECT_NE(errors.find(c.told), std::string::npos) << errors;
    if (c.exit == 1) {
      EXPECT_NE(errors.find("\n  Meier\n"), std::string::npos) << errors;
      EXPECT_NE(errors.find("\n  meier\n"), std::string::npos) << errors;
    }
    for (const auto& [name, number] : invoices) {
      const bool paid = std::find(c.paid.begin(), c.paid.end(), name) != c.paid.end();
      EXPECT_EQ(book.stored(number).paid, paid ? 1000 : 0) << name;
    }
  }
}

// A payment the command line cannot book as asked is refused with the
// files untouched; a cash discount after its period is booked only when
// --yes answers the question.
TEST(PaymentCommands, RefusesWhatCannotBeBookedAndAsksForALateDiscount) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  const std::int32_t number =
      book.order(book.customer("Meier"), store::kOrderInvoicePrinted, {BookLine{1, 11900}})
          .orderNumber;
  // 2 % cash discount within 10 days of the order date, 01.12.2026.
  ASSERT_EQ(store::ChangeOrderHead(book.app, number, [](store::OrderHead& head) {
              head.cashDiscount = 20;
              head.cashDiscountPeriod = 10;
              return true;
            }),
            1);
  const std::string pay = cli + " --data-dir " + book.dir.path() + " pay --order " +
                          std::to_string(number) + " --amount ";
  const std::vector<std::uint8_t> before = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  for (const auto& [arguments, said] : std::initializer_list<std::pair<std::string, std::string>>{
           {"10 --date 32.13.2026", "Ungültiges Datum: 32.13.2026\n"},
           {"10 --date 00.05.2026", "Ungültiges Datum: 00.05.2026\n"},
           {"10 --date 31.02.2026", "Ungültiges Datum: 31.02.2026\n"},
           {"10 --date ''", "Ungültiges Datum: \n"},
           {"'' --date 05.12.2026", "Kein Betrag angegeben.\n"},
           {"' ' --date 05.12.2026", "Kein Betrag angegeben.\n"},
           {"116,62 --date 11.12.2026 --cash-discount",
            "Die Zahlung vom 11.12.2026 liegt nach der Skontofrist (10 Tage ab 01.12.2026).\n"
            "Skonto trotzdem abziehen? [Nein]\n"}}) {
    SCOPED_TRACE(arguments);
    std::string errors;
    EXPECT_EQ(testsupport::RunCommand(pay + arguments, nullptr, &errors), 1);
    EXPECT_NE(errors.find(said), std::string::npos) << errors;
    EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), before);
  }
  // Answered Yes, the late discount is booked; a date typed short is stored whole.
  const std::string yes = cli + " --data-dir " + book.dir.path() + " --yes pay --order " +
                          std::to_string(number) + " --amount 116,62 --cash-discount --date ";
  EXPECT_EQ(testsupport::RunCommand(yes + "11.12.26"), 0);
  const store::OrderHead paid = book.stored(number);
  EXPECT_EQ(std::tuple(+paid.paid, +paid.cashDiscountTaken, std::string(store::GetText(paid.paymentDate))),
            std::tuple(11900, 1, std::string("11.12.2026")));
}

// belvon-cli print 4 --issue: a collective invoice with its own number that
// can be printed again and paid; invoices are billed again only when asked.
TEST(PaymentCommands, ACollectiveInvoiceIsAnInvoiceOfItsOwn) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  store::SetText(book.app.parameters.currencySymbol1, "EUR");
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  const std::int32_t meier = book.customer("Meier");
  const std::int32_t note =
      book.order(meier, store::kOrderDeliveryNotePrinted, {BookLine{2, 625}}).orderNumber;
  const std::int32_t invoice =
      book.order(meier, store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted,
                 {BookLine{1, 300}}, "01.11.2026")
          .orderNumber;
  const std::string run = cli + " --data-dir " + book.dir.path() + " ";
  const std::string print = run + "print 4 --customer Meier --issue --pdf " + book.dir.file("s");
  const std::int32_t first = invoice + 1;
  ASSERT_EQ(testsupport::RunCommand(print + "1.pdf"), 0);
  EXPECT_EQ(+book.stored(first).total, 1250);
  EXPECT_EQ(+book.stored(note).flags,
            store::kOrderDeliveryNotePrinted | store::kOrderCollectivelyBilled);
  EXPECT_EQ(testsupport::RunCommand(print + "2.pdf"), 1) << "nothing left to bill";
  // The invoice of 01.11. was taken into the book of issued invoices at the
  // first command: issued, it is never billed again, not even when invoiced
  // orders are asked for.
  EXPECT_EQ(testsupport::RunCommand(print + "3.pdf --include-invoiced"), 1);
  EXPECT_EQ(+book.stored(invoice).flags,
            store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted);
  EXPECT_EQ(store::GetText(book.stored(invoice).invoiceDate), "01.11.2026");

  EXPECT_EQ(testsupport::RunCommand(run + "print 3 --order " + std::to_string(first) + " --pdf " +
                                    book.dir.file("again.pdf")),
            0);
  std::string out;
  const std::string pay = run + "pay --order " + std::to_string(first) + " --amount 12,50";
  EXPECT_EQ(testsupport::RunCommand(pay, &out), 0);
  EXPECT_EQ(out, "Auftrag " + std::to_string(first) + ": bezahlt 12.50, offen 0.00\n");
  EXPECT_EQ(testsupport::RunCommand(run + "pay --order " + std::to_string(note) + " --amount 1"), 1)
      << "paid on the collective invoice only";
}

}  // namespace

// A data directory that loading refuses (parameters of the previous version,
// a parameter file that cannot be read) ends every command that works on it
// with 1, and no file changes.
TEST(PaymentCommands, EveryCommandStopsWhenLoadingIsRefused) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier");
  const std::string number = std::to_string(
      book.order(meier, store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted,
                 {BookLine{1, 1000, book.article("A-1", 5)}})
          .orderNumber);
  const std::string out = book.dir.file("out");
  const std::string commands[] = {
      "pay --order " + number + " --amount 10",
      "--yes book",
      "settle --from 1 --to 2000000000 --all",
      "settle --from 1 --to 2000000000 --customer Meier",
      "print 3 --order " + number + " --issue --pdf " + out + ".pdf",
      "einvoice --order " + number + " --output " + out + ".xml",
      "export-journal --from 01.01.2026 --to 31.12.2026 --output " + out + ".csv",
      "datanorm-export --output " + out + ".001",
      "export-addresses",
      "check",
      "--yes reorganise addresses",
      "--yes delete-invoices --from 01.01.2026 --to 31.12.2026",
      "--yes changeover",
  };
  const auto parameters = testsupport::ReadBytes(book.dir.file("BELVON.PAR"));
  const std::vector<std::pair<const char*, std::function<void()>>> refusals = {
      {"parameters of the previous version",
       [&] { testsupport::WriteBytes(book.dir.file("BELVON.PAR"), std::vector<std::uint8_t>(2000, 1)); }},
      {"parameter file that cannot be read", [&] {
         std::filesystem::remove(book.dir.file("BELVON.PAR"));
         std::filesystem::create_directory(book.dir.file("BELVON.PAR"));
       }}};
  auto files = [&] {
    std::map<std::string, std::vector<std::uint8_t>> bytes;
    for (const auto& e : std::filesystem::directory_iterator(book.dir.path()))
      if (e.is_regular_file()) bytes[e.path().string()] = testsupport::ReadBytes(e.path().string());
    return bytes;
  };
  for (const auto& [what, refuse] : refusals) {
    refuse();
    for (const std::string& command : commands) {
      // --yes converts parameters of the previous version, as it should.
      if (command.starts_with("--yes") && std::string(what).ends_with("version")) continue;
      SCOPED_TRACE(std::string(what) + ": " + command);
      const auto before = files();
      EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " " + command), 1);
      EXPECT_TRUE(files() == before);
    }
    std::filesystem::remove_all(book.dir.file("BELVON.PAR"));
    testsupport::WriteBytes(book.dir.file("BELVON.PAR"), parameters);
  }
}
