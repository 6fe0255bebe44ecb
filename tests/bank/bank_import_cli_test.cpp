// belvon-cli bank-import run as its own process, once and twice at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bank/bank_book.h"
#include "support/bank_statements.h"
#include "support/run_command.h"

namespace {

using testsupport::Booking;

std::string Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(BankImportCommand, PrintsEveryTransactionAndBooksOnlyWithBook) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  banktest::BankBook book;
  const std::int32_t invoice = book.issued("Meier GmbH", 11900, 20, 10);
  Booking paid;
  paid.cents = 11662;  // less 2 % within the period
  paid.name = "Meier GmbH";
  paid.text = "Rechnung " + std::to_string(invoice);
  paid.reference = "REF-1";
  Booking stranger;
  stranger.cents = 777;
  stranger.name = "Niemand";
  stranger.text = "Spende";
  const std::string file = Write(book.dir.file("auszug.xml"), testsupport::Camt({paid, stranger}));
  const std::string run = cli + " --data-dir " + book.dir.path() + " bank-import " + file;

  std::string out;
  ASSERT_EQ(testsupport::RunCommand(run, &out), 0);
  EXPECT_EQ(out,
            "{\"date\":\"04.12.2026\",\"value_date\":\"04.12.2026\",\"amount\":116.62,\"currency\":\"EUR\","
            "\"name\":\"Meier GmbH\",\"iban\":\"DE02120300000000202051\",\"text\":\"Rechnung " +
                std::to_string(invoice) +
                "\",\"end_to_end\":\"\",\"reference\":\"REF-1\",\"orders\":[" + std::to_string(invoice) +
                "],\"action\":\"booked\",\"cash_discount\":true,\"written\":false,\"reason\":\"Rechnungsnummer\"}\n"
                "{\"date\":\"04.12.2026\",\"value_date\":\"04.12.2026\",\"amount\":7.77,\"currency\":\"EUR\","
                "\"name\":\"Niemand\",\"iban\":\"DE02120300000000202051\",\"text\":\"Spende\",\"end_to_end\":\"\","
                "\"reference\":\"\",\"orders\":[],\"action\":\"unmatched\",\"cash_discount\":false,\"written\":false}\n");
  EXPECT_EQ(book.paid(invoice), 0);
  EXPECT_FALSE(std::filesystem::exists(book.dir.file("BANKUMS.DAT")));

  out.clear();
  ASSERT_EQ(testsupport::RunCommand(run + " --book --account Giro", &out), 0);
  EXPECT_EQ(Count(out, "\"written\":true"), 1);
  EXPECT_EQ(book.paid(invoice), 11900);
  EXPECT_EQ(std::string(store::GetText(book.stored(invoice).account)), "Giro");
  out.clear();
  ASSERT_EQ(testsupport::RunCommand(run + " --book", &out), 0);
  EXPECT_EQ(Count(out, "\"action\":\"already\""), 1);
  EXPECT_EQ(book.paid(invoice), 11900);

  // What is no statement changes nothing and ends with 1.
  std::string errors;
  EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " bank-import " +
                                        Write(book.dir.file("brief.txt"), "Hallo") + " --book",
                                    nullptr, &errors),
            1);
  EXPECT_NE(errors.find("kein Kontoauszug"), std::string::npos) << errors;
  EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " bank-import"), 2);
}

// Two copies import the same statement at the same moment: each transfer
// is booked by one of them, the other reports it as already booked.
TEST(BankImportCommand, TwoCopiesAtOnceBookEachTransferOnce) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  banktest::BankBook book;
  std::vector<Booking> bookings;
  std::vector<std::int32_t> invoices;
  for (int i = 0; i < 12; ++i) {
    invoices.push_back(book.issued("Kunde" + std::to_string(i), 1000 + i));
    Booking b;
    b.cents = 1000 + i;
    b.name = "Kunde" + std::to_string(i);
    b.text = "Rechnung " + std::to_string(invoices.back());
    bookings.push_back(b);
  }
  const std::string file = Write(book.dir.file("auszug.sta"), testsupport::Mt940(bookings));
  const std::string run = cli + " --data-dir " + book.dir.path() + " bank-import " + file + " --book";
  const std::string a = book.dir.file("a.out"), b = book.dir.file("b.out");
  ASSERT_EQ(testsupport::RunCommand("(" + run + " >" + a + "; echo $? >>" + a + ") & (" + run + " >" + b +
                                    "; echo $? >>" + b + ") & wait"),
            0);
  std::ifstream ina(a), inb(b);
  const std::string outa((std::istreambuf_iterator<char>(ina)), {}), outb((std::istreambuf_iterator<char>(inb)), {});
  EXPECT_TRUE(outa.ends_with("\n0\n")) << outa;
  EXPECT_TRUE(outb.ends_with("\n0\n")) << outb;
  EXPECT_EQ(Count(outa + outb, "\"written\":true"), 12);
  EXPECT_EQ(Count(outa + outb, "\"action\":\"already\""), 12);
  for (std::size_t i = 0; i < invoices.size(); ++i) EXPECT_EQ(book.paid(invoices[i]), 1000 + static_cast<int>(i));
}

}  // namespace
