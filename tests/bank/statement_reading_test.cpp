// Statements in the layouts the banks deliver, read into transactions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bank/statement_file.h"
#include "bank/statement_text.h"
#include "support/bank_statements.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Booking;

std::vector<Booking> Sample() {
  Booking meier;
  meier.cents = 11900;
  meier.name = "Müller & Söhne GmbH";
  meier.text = "Rechnung 126120001 und 126120002";
  meier.endToEnd = "E2E-4711";
  meier.reference = "BREF0001";
  Booking refund;
  refund.date = "2026-12-05";
  refund.cents = -5950;
  refund.name = "Schulz";
  refund.text = "Erstattung Gutschrift 126120007";
  return {meier, refund};
}

// Every layout yields the same transactions: dates, signed cents, names,
// remittance text and references.
TEST(StatementReading, EveryLayoutGivesTheSameTransactions) {
  struct Case {
    const char* layout;
    std::string bytes;
    bank::StatementFormat format;
    bool bankReference;  // the layout carries the bank's reference
  };
  const std::vector<Booking> sample = Sample();
  const std::vector<Case> cases = {
      {"camt .02", testsupport::Camt(sample, 2), bank::StatementFormat::Camt053, true},
      {"camt .08 with Pty", testsupport::Camt(sample, 8), bank::StatementFormat::Camt053, true},
      {"camt .04 with a prefix", testsupport::Camt(sample, 4, "camt"), bank::StatementFormat::Camt053, true},
      {"mt940", testsupport::Mt940(sample), bank::StatementFormat::Mt940, true},
      {"zip of two days",
       testsupport::Zip({{"2026-12-04.xml", testsupport::Camt({sample[0]})},
                         {"readme.txt", "Kontoauszug"},
                         {"2026-12-05.xml", testsupport::Camt({sample[1]}, 8)}}),
       bank::StatementFormat::Camt053, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    bank::Statement statement;
    std::string error;
    bank::StatementFormat format = bank::StatementFormat::Unknown;
    ASSERT_TRUE(bank::ReadStatement(c.bytes, statement, error, &format)) << error;
    EXPECT_EQ(format, c.format);
    ASSERT_EQ(statement.transactions.size(), 2u);
    const bank::Transaction& in = statement.transactions[0];
    EXPECT_EQ(in.bookingDate, "04.12.2026");
    EXPECT_EQ(in.valueDate, "04.12.2026");
    EXPECT_EQ(in.cents, 11900);
    EXPECT_EQ(in.currency, "EUR");
    EXPECT_EQ(in.name, "Müller & Söhne GmbH");
    EXPECT_EQ(in.iban, "DE02120300000000202051");
    EXPECT_NE(in.text.find("Rechnung 126120001 und 126120002"), std::string::npos) << in.text;
    EXPECT_EQ(in.endToEnd, "E2E-4711");
    if (c.bankReference) { EXPECT_EQ(in.bankReference, "BREF0001"); }
    const bank::Transaction& out = statement.transactions[1];
    EXPECT_EQ(out.bookingDate, "05.12.2026");
    EXPECT_EQ(out.cents, -5950);
    EXPECT_EQ(out.name, "Schulz");
    EXPECT_EQ(out.endToEnd, "");
    EXPECT_EQ(out.bankReference, "");
  }
}

// A batch booking is one entry with several payments: each is a
// transaction with its own amount and payer, told apart by its place.
// A reversal and a foreign currency come through as such.
TEST(StatementReading, BatchesReversalsAndCurrenciesKeepTheirParts) {
  std::vector<Booking> parts = Sample();
  parts[1].cents = 2000;
  parts[0].reference = parts[1].reference = "";
  bank::Statement statement;
  std::string error;
  ASSERT_TRUE(bank::ReadStatement(testsupport::Camt(parts, 2, "", true), statement, error)) << error;
  ASSERT_EQ(statement.transactions.size(), 2u);
  EXPECT_EQ(statement.transactions[0].cents, 11900);
  EXPECT_EQ(statement.transactions[1].cents, 2000);
  EXPECT_EQ(statement.transactions[1].name, "Schulz");
  EXPECT_EQ(statement.transactions[0].bankReference, "BATCH1/1");
  EXPECT_EQ(statement.transactions[1].bankReference, "BATCH1/2");

  Booking returned = Sample()[1];
  returned.reversal = true;
  Booking dollars = Sample()[0];
  dollars.currency = "USD";
  ASSERT_TRUE(bank::ReadStatement(testsupport::Camt({returned, dollars}, 8), statement, error));
  EXPECT_TRUE(statement.transactions[0].reversal);
  EXPECT_FALSE(statement.transactions[1].reversal);
  EXPECT_EQ(statement.transactions[1].currency, "USD");
}

// What is no statement, or one cut off, is refused whole with a German
// message: nothing of it is handed on.
TEST(StatementReading, WhatIsNoStatementIsRefusedWhole) {
  const std::string camt = testsupport::Camt(Sample());
  std::string noAmount = camt;
  noAmount.replace(noAmount.find("119.00"), 6, "eins");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"text", "Sehr geehrte Damen und Herren"},
      {"cut off xml", camt.substr(0, camt.size() / 2)},
      {"amount no number", noAmount},
      {"other xml", "<?xml version=\"1.0\"?><Document><BkToCstmrDbtCdtNtfctn/></Document>"},
      {"zip without statement", testsupport::Zip({{"a.txt", "x"}})},
      {"zip cut off", testsupport::Zip({{"a.xml", camt}}).substr(0, 300)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bank::Statement statement;
    statement.transactions.resize(3);
    std::string error;
    EXPECT_FALSE(bank::ReadStatement(c.bytes, statement, error));
    EXPECT_TRUE(statement.transactions.empty());
    EXPECT_FALSE(error.empty());
  }
  testsupport::TempDir dir;
  bank::Statement statement;
  std::string error;
  EXPECT_FALSE(bank::ReadStatementFile(platform::SystemFileSystem(), dir.file("fehlt.xml"), statement, error));
  EXPECT_NE(error.find("fehlt.xml"), std::string::npos) << error;
}

TEST(StatementReading, AmountsAndNamesCompareAsWritten) {
  const struct {
    const char* text;
    std::optional<std::int64_t> cents;
  } amounts[] = {{"119.00", 11900}, {"119,5", 11950}, {"7", 700}, {" 0.01 ", 1},
                 {"1.2.3", std::nullopt}, {"-5", std::nullopt}, {"1.234", std::nullopt}, {"", std::nullopt}};
  for (const auto& a : amounts) EXPECT_EQ(bank::DecimalCents(a.text), a.cents) << a.text;
  EXPECT_EQ(bank::FoldedName("MÜLLER-Lüdenscheidt, Straße"), "mueller luedenscheidt strasse");
  EXPECT_EQ(bank::FoldedName("  Ölbaum  GmbH "), "oelbaum gmbh");
}

}  // namespace
