// The booking batch read back by its column names: what each invoice
// stated, on the accounts the journal of the period adds up to.
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "datev/booking_batch.h"
#include "datev/datev_export.h"
#include "datev/debtor_file.h"
#include "orders/cancellation.h"
#include "reports/invoice_journal.h"
#include "store/issue_file.h"
#include "datev/datev_fixture.h"

namespace {

using testsupport::DatevTest;
using testsupport::ReadExtf;
using testsupport::SignedCents;

class BookingBatchTest : public DatevTest {
 protected:
  testsupport::ExtfRead Export(const std::string& from, const std::string& to,
                               bool payments = false) {
    datev::ExportRequest request;
    request.from = from;
    request.to = to;
    request.output = dir.file(datev::BatchFileName(from, to));
    request.debtors = dir.file("debitoren.csv");
    request.payments = payments;
    outcome = datev::RunExport(app, settings, request);
    EXPECT_TRUE(outcome.written) << outcome.problem;
    return ReadExtf(request.output);
  }
  datev::ExportOutcome outcome;
};

// Invoices at both rates and without tax, net and gross prices, two
// customers and a cancelling credit note: per invoice the rows add up to
// what it stated, and per debtor and over the revenue accounts the batch
// books what the journal of the period lists; the credit note is "H".
TEST_F(BookingBatchTest, RowsStateTheIssuedFiguresAndBalanceTheJournal) {
  const std::int32_t mueller = Customer("Müller & Söhne", "GmbH", "4711");
  const std::int32_t schulz = Customer("", "Schulz", "20");
  const std::int32_t first = Invoice(mueller, {{10000, store::kTaxCodeRate2}, {4000, store::kTaxCodeRate1}},
                                     "05.11.2026");
  const std::int32_t firstPosition = app.orders.position;
  Invoice(schulz, {{11900, store::kTaxCodeRate2}, {1234, store::kTaxCodeNone}}, "10.11.2026", true);
  Invoice(mueller, {{999, store::kTaxCodeRate1}}, "30.11.2026");
  Invoice(schulz, {{5000, store::kTaxCodeRate2}}, "01.12.2026");  // outside the period
  // The first invoice cancelled in the period.
  store::ReadOrder(app, app.order, firstPosition);
  ASSERT_EQ(app.order.orderNumber, first);
  app.orders.position = firstPosition;
  std::int32_t creditNote = 0;
  ASSERT_TRUE(orders::CancelInvoice(app, "20.11.2026", creditNote));

  const testsupport::ExtfRead file = Export("01.11.2026", "30.11.2026");
  EXPECT_TRUE(file.crlf);
  ASSERT_EQ(file.columns.size(), datev::BatchColumns().size());
  for (const auto& row : file.rows) ASSERT_EQ(row.size(), file.columns.size());

  store::IssueBook book;
  ASSERT_TRUE(store::ReadIssueBook(app, book));
  std::map<std::string, std::int64_t> byInvoice, byAccount;
  std::int64_t revenue = 0;
  const std::set<std::string> revenueAccounts = {"8400", "8300", "8100"};
  for (std::size_t r = 0; r < file.rows.size(); ++r) {
    const std::int64_t amount =
        SignedCents(file.at(r, "Umsatz (ohne Soll/Haben-Kz)"), file.at(r, "Soll/Haben-Kennzeichen"));
    byInvoice[file.at(r, "Belegfeld 1")] += amount;
    byAccount[file.at(r, "Konto")] += amount;
    const std::string contra = file.at(r, "Gegenkonto (ohne BU-Schlüssel)");
    EXPECT_TRUE(revenueAccounts.count(contra)) << contra;
    revenue -= amount;
    EXPECT_EQ(file.at(r, "WKZ Umsatz"), "EUR");
    const store::IssueRecord* record = book.find(std::stoi(file.at(r, "Belegfeld 1")));
    ASSERT_NE(record, nullptr);
    const std::string date(store::GetText(record->invoiceDate));
    EXPECT_EQ(file.at(r, "Belegdatum"), date.substr(0, 2) + date.substr(3, 2));
    EXPECT_EQ(file.at(r, "Leistungsdatum").size(), 8u);
    if (record->invoiceNumber == creditNote) {
      EXPECT_EQ(file.at(r, "Soll/Haben-Kennzeichen"), "H");
      EXPECT_EQ(file.at(r, "Umsatz (ohne Soll/Haben-Kz)").find('-'), std::string::npos);
    } else {
      EXPECT_EQ(file.at(r, "Soll/Haben-Kennzeichen"), "S");
    }
  }
  // One row per invoice and tax class with an amount: 2 + 2 + 1 + 2.
  EXPECT_EQ(file.rows.size(), 7u);
  EXPECT_EQ(byInvoice.size(), 4u);
  for (const auto& [number, sum] : byInvoice)
    EXPECT_EQ(sum, book.find(std::stoi(number))->total) << number;

  const reports::Journal journal = reports::CollectJournal(app, "01.11.2026", "30.11.2026");
  ASSERT_EQ(journal.rows.size(), 4u);
  std::map<std::string, std::int64_t> journalByAccount;
  std::int64_t journalGross = 0;
  for (const reports::JournalRow& row : journal.rows) {
    journalByAccount[datev::DebtorAccount(settings, row.customerNumber)] += row.figures.gross;
    journalGross += row.figures.gross;
    EXPECT_EQ(byInvoice[std::to_string(row.orderNumber)], row.figures.gross) << row.orderNumber;
  }
  EXPECT_EQ(byAccount, journalByAccount);
  EXPECT_EQ(byAccount.count("14711"), 1u);
  EXPECT_EQ(byAccount.count("10020"), 1u);
  EXPECT_EQ(revenue, -journalGross);

  // The debtors of the batch, with the address split as the format wants it.
  const testsupport::ExtfRead debtors = ReadExtf(dir.file("debitoren.csv"));
  EXPECT_EQ(debtors.header.at(2), "16");
  ASSERT_EQ(debtors.rows.size(), 2u);
  EXPECT_EQ(debtors.at(0, "Konto"), "10020");
  EXPECT_EQ(debtors.at(1, "Konto"), "14711");
  EXPECT_EQ(platform::Cp1252ToUtf8(debtors.at(1, "Name (Adressatentyp Unternehmen)")),
            "Müller & Söhne GmbH");
  EXPECT_EQ(platform::Cp1252ToUtf8(debtors.at(1, "Kurzbezeichnung")), "Müller & Söhne");
  EXPECT_EQ(debtors.at(1, "Postleitzahl"), "12345");
  EXPECT_EQ(debtors.at(1, "Ort"), "Berlin");
  EXPECT_EQ(debtors.at(1, "EU-Land"), "DE");
  EXPECT_EQ(debtors.at(1, "EU-UStID"), "123456789");
}

// The header states the settings and the period; the name survives as
// Windows-1252 bytes, cut to the width of the posting text.
TEST_F(BookingBatchTest, HeaderAndEncoding) {
  settings.yearStartDay = 1;
  settings.yearStartMonth = 7;
  settings.accountLength = 5;
  datev::ApplyChart(settings, datev::Chart::Skr04);
  settings.debtorStart = "100000";
  settings.fixed = true;
  const std::int32_t mueller = Customer("Müller & Söhne", "GmbH", "4711");
  Invoice(mueller, {{10000, store::kTaxCodeRate2}}, "05.11.2026");
  const testsupport::ExtfRead file = Export("01.11.2026", "30.11.2026");
  ASSERT_EQ(file.header.size(), 31u);
  const std::vector<std::pair<std::size_t, std::string>> expected = {
      {0, "EXTF"}, {1, "700"}, {2, "21"}, {3, "Buchungsstapel"}, {4, "13"},
      {5, "20261203100000000"}, {10, "29098"}, {11, "55003"}, {12, "20260701"}, {13, "5"},
      {14, "20261101"}, {15, "20261130"}, {18, "1"}, {20, "1"}, {21, "EUR"}, {26, "04"}};
  for (const auto& [field, value] : expected) EXPECT_EQ(file.header[field], value) << field;
  ASSERT_EQ(file.rows.size(), 1u);
  EXPECT_EQ(file.at(0, "Konto"), "104711");
  EXPECT_EQ(file.at(0, "Gegenkonto (ohne BU-Schlüssel)"), "44000");
  EXPECT_EQ(file.at(0, "Umsatz (ohne Soll/Haben-Kz)"), "119,00");
  EXPECT_EQ(file.at(0, "Buchungstext"), "M\xFCller & S\xF6hne GmbH");
  EXPECT_EQ(platform::Cp1252ToUtf8(file.at(0, "Buchungstext")), "Müller & Söhne GmbH");
  EXPECT_EQ(file.at(0, "Leistungsdatum"), "05112026");
  EXPECT_EQ(datev::BatchFileName("01.11.2026", "30.11.2026"),
            "EXTF_Buchungsstapel_20261101_20261130.csv");
}

// An invoice in another currency states its amount in that currency with
// the rate, and the amount in euros beside it.
TEST_F(BookingBatchTest, AnotherCurrencyCarriesTheRateAndTheEuros) {
  store::SetText(app.parameters.currencySymbol2, "USD");
  app.parameters.exchangeRates[1] = 1.25f;
  store::SetTaxRate(app.parameters, 1, 2, 70);
  store::SetTaxRate(app.parameters, 1, 3, 190);
  Invoice(Customer("", "Smith", "30"), {{10000, store::kTaxCodeRate2}}, "05.11.2026", false, 1);
  const testsupport::ExtfRead file = Export("01.11.2026", "30.11.2026");
  ASSERT_EQ(file.rows.size(), 1u);
  const std::pair<const char*, const char*> fields[] = {
      {"Umsatz (ohne Soll/Haben-Kz)", "119,00"}, {"WKZ Umsatz", "USD"}, {"Kurs", "1,250000"},
      {"Basis-Umsatz", "95,20"}, {"WKZ Basis-Umsatz", "EUR"}};
  for (const auto& [column, value] : fields) EXPECT_EQ(file.at(0, column), value) << column;
  EXPECT_EQ(file.header.at(21), "EUR");
}

// Payments of the period: the money on bank or cash against the debtor,
// a cash discount taken in its own field; a cancellation is no payment.
TEST_F(BookingBatchTest, PaymentsBookTheMoneyThatCameIn) {
  const std::int32_t mueller = Customer("", "Meier", "7");
  Invoice(mueller, {{10000, store::kTaxCodeRate2}}, "02.10.2026");
  Pay(11900, "05.11.2026", "Bank", 20);  // 2 % of 119,00 = 2,38 counted as paid
  Invoice(mueller, {{5000, store::kTaxCodeRate2}}, "03.11.2026");
  Pay(5950, "06.11.2026", "kasse");
  Invoice(mueller, {{2000, store::kTaxCodeRate2}}, "04.11.2026");
  Pay(2380, "07.11.2026", "1210");
  Invoice(mueller, {{3000, store::kTaxCodeRate2}}, "04.11.2026");
  Pay(3570, "01.12.2026", "Bank");  // after the period
  // Cancelled: settled by its credit note, no money moved.
  Invoice(mueller, {{1000, store::kTaxCodeRate2}}, "10.11.2026");
  std::int32_t creditNote = 0;
  ASSERT_TRUE(orders::CancelInvoice(app, "12.11.2026", creditNote));

  const testsupport::ExtfRead file = Export("01.11.2026", "30.11.2026", true);
  struct Want {
    std::string account, contra, amount, side, discount, date;
  };
  std::vector<Want> payments;
  for (std::size_t r = 0; r < file.rows.size(); ++r)
    if (file.at(r, "Gegenkonto (ohne BU-Schlüssel)") == "10007")
      payments.push_back({file.at(r, "Konto"), "10007", file.at(r, "Umsatz (ohne Soll/Haben-Kz)"),
                          file.at(r, "Soll/Haben-Kennzeichen"), file.at(r, "Skonto"),
                          file.at(r, "Belegdatum")});
  ASSERT_EQ(payments.size(), 3u);
  const Want expected[] = {{"1200", "10007", "116,62", "S", "2,38", "0511"},
                           {"1000", "10007", "59,50", "S", "", "0611"},
                           {"1210", "10007", "23,80", "S", "", "0711"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(payments[i].account, expected[i].account) << i;
    EXPECT_EQ(payments[i].amount, expected[i].amount) << i;
    EXPECT_EQ(payments[i].side, expected[i].side) << i;
    EXPECT_EQ(payments[i].discount, expected[i].discount) << i;
    EXPECT_EQ(payments[i].date, expected[i].date) << i;
  }
  // Three invoices of November besides, and the cancelled one with its credit note.
  EXPECT_EQ(file.rows.size(), 8u);
}

// Whatever the batch had to decide for the adviser is named after the
// export, and the row is still there.
TEST_F(BookingBatchTest, WhatTheBatchDecidedIsNamed) {
  struct Case {
    const char* what;
    std::function<std::int32_t()> make;
    const char* named;
    const char* contra;
    const char* account;
  };
  const Case cases[] = {
      {"no record of issue",
       [&] {
         const std::int32_t customer = Customer("", "Alt", "8");
         store::OrderHead head = testsupport::AddOrder(app, customer, {{"Alt"}});
         store::ReadOrder(app, head, app.orders.position);
         head.flags |= store::kOrderInvoicePrinted;
         store::SetText(head.invoiceDate, "12.11.2026");
         head.total = 5000;  // stored; the line says 0,00 (no price)
         std::int32_t at = app.orders.position;
         EXPECT_EQ(store::StoreOrder(app, head, at, store::StoreMode::Rewrite), 1);
         return head.orderNumber;
       },
       "Ohne Ausgangsbuch-Eintrag", "8400", "10008"},
      {"a rate of 16 %",
       [&] {
         store::SetTaxRate(app.parameters, 0, 3, 160);
         const std::int32_t number =
             Invoice(Customer("", "Sechzehn", "9"), {{10000, store::kTaxCodeRate2}}, "13.11.2026");
         store::SetTaxRate(app.parameters, 0, 3, 190);
         return number;
       },
       "weder 19 % noch 7 %", "8400", "10009"},
      {"a customer number that is no account",
       [&] { return Invoice(Customer("", "Buchstabe", "K-1"), {{10000, store::kTaxCodeRate1}}, "14.11.2026"); },
       "Sammeldebitor", "8300", "10000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::int32_t number = c.make();
    const testsupport::ExtfRead file = Export("01.11.2026", "30.11.2026");
    ASSERT_EQ(file.rows.size(), 1u);
    EXPECT_EQ(file.at(0, "Belegfeld 1"), std::to_string(number));
    EXPECT_EQ(file.at(0, "Gegenkonto (ohne BU-Schlüssel)"), c.contra);
    EXPECT_EQ(file.at(0, "Konto"), c.account);
    EXPECT_NE(outcome.notes.find(c.named), std::string::npos) << outcome.notes;
    EXPECT_NE(outcome.notes.find(std::to_string(number)), std::string::npos) << outcome.notes;
    // The next case exports alone.
    store::ReadOrder(app, app.order, app.orders.position);
    app.order.flags &= static_cast<std::uint16_t>(~store::kOrderInvoicePrinted);
    std::int32_t at = app.orders.position;
    ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  }
}

// What the batch cannot be made with is refused before anything is written.
TEST_F(BookingBatchTest, RefusedExportsWriteNothing) {
  Invoice(Customer("", "Meier", "7"), {{10000, store::kTaxCodeRate2}}, "05.11.2026");
  struct Case {
    std::function<void(datev::Settings&)> change;
    std::string from, to, problem;
  };
  const Case cases[] = {
      {[](datev::Settings& s) { s.advisor = 0; }, "01.11.2026", "30.11.2026", "Beraternummer"},
      {[](datev::Settings& s) { s.client = 100000; }, "01.11.2026", "30.11.2026", "Mandantennummer"},
      {[](datev::Settings&) {}, "01.12.2026", "30.11.2026", "liegt nach"},
      {[](datev::Settings& s) { s.yearStartMonth = 11; s.yearStartDay = 15; }, "01.11.2026",
       "30.11.2026", "Wirtschaftsjahr"},
  };
  for (const Case& c : cases) {
    datev::Settings s = settings;
    c.change(s);
    datev::ExportRequest request{c.from, c.to, dir.file("out.csv"), "", false};
    const datev::ExportOutcome result = datev::RunExport(app, s, request);
    EXPECT_FALSE(result.written) << c.problem;
    EXPECT_NE(result.problem.find(c.problem), std::string::npos) << result.problem;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv"))) << c.problem;
  }
}

}  // namespace
