// The GiroCode of an invoice: its payload from the order and the master
// data, and the code on a rendered page read back by an independent reader
// (zbarimg) against what the invoice states.
#include "orders/girocode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>

#include "core/figures.h"
#include "orders/order_math.h"
#include "printing/printing_fixture.h"
#include "store/figure_style_file.h"
#include "store/order_file.h"
#include "store/parameter_file.h"
#include "store/records_test_support.h"
#include "support/run_command.h"

namespace orders {
namespace {

using printingtest::Put;

constexpr const char* kIban = "DE89370400440532013000";
// Every line of a code up to the remittance text, which follows it.
const std::string kHead = "BCD\n002\n1\nSCT\n\nSchreinerei Holzwurm GmbH\n" + std::string(kIban) + '\n';

TEST(GiroCode, PayloadOfEachInvoice) {
  struct Row {
    const char* what;
    std::function<void(store::OrderHead&, store::ParameterRecord&, einvoice::Settings&)> change;
    std::string payload;  // empty: no code
  };
  const std::string name70(70, 'N');
  const Row rows[] = {
      {"an invoice", [](auto&, auto&, auto&) {}, kHead + "EUR1234.56\n\n\nRechnung 126120001"},
      {"a cent", [](auto& h, auto&, auto&) { h.total = 1; }, kHead + "EUR0.01\n\n\nRechnung 126120001"},
      {"seven digits", [](auto& h, auto&, auto&) { h.total = 123456789; },
       kHead + "EUR1234567.89\n\n\nRechnung 126120001"},
      {"whole euros", [](auto& h, auto&, auto&) { h.total = 50000; },
       kHead + "EUR500.00\n\n\nRechnung 126120001"},
      {"partly paid", [](auto& h, auto&, auto&) { h.paid = 123400; },
       kHead + "EUR0.56\n\n\nRechnung 126120001"},
      {"the symbol €", [](auto&, auto& p, auto&) { Put(p.currencySymbol1, "€"); },
       kHead + "EUR1234.56\n\n\nRechnung 126120001"},
      {"a name of 75 characters, the first 70 of them",
       [&](auto&, auto& p, auto&) { Put(p.companyName1, " " + name70 + "ÄÖÜßé"); },
       "BCD\n002\n1\nSCT\n\n" + name70 + '\n' + kIban + "\nEUR1234.56\n\n\nRechnung 126120001"},
      {"umlauts count as one character each",
       [&](auto&, auto& p, auto&) { Put(p.companyName1, std::string(68, 'N') + "ÄÖÜ"); },
       "BCD\n002\n1\nSCT\n\n" + std::string(68, 'N') + "ÄÖ\n" + kIban +
           "\nEUR1234.56\n\n\nRechnung 126120001"},
      {"an IBAN typed in groups",
       [](auto&, auto& p, auto&) { Put(p.bank1Iban, "de89 3704 0044 0532 0130 00"); },
       kHead + "EUR1234.56\n\n\nRechnung 126120001"},
      {"wrong check digits", [](auto&, auto& p, auto&) { Put(p.bank1Iban, "DE88370400440532013000"); }, ""},
      {"a German IBAN of 20 characters with right check digits",
       [](auto&, auto& p, auto&) { Put(p.bank1Iban, "DE863704004405320130"); }, ""},
      {"a valid IBAN outside SEPA",
       [](auto&, auto& p, auto&) { Put(p.bank1Iban, "SA0380000000608010167519"); }, ""},
      {"no IBAN", [](auto&, auto& p, auto&) { Put(p.bank1Iban, ""); }, ""},
      {"no company name", [](auto&, auto& p, auto&) { Put(p.companyName1, "  "); }, ""},
      {"a credit note", [](auto& h, auto&, auto&) { h.total = -123456; }, ""},
      {"paid in full", [](auto& h, auto&, auto&) { h.paid = h.total; }, ""},
      {"overpaid", [](auto& h, auto&, auto&) { h.paid = h.total + 1; }, ""},
      {"in francs (SFR)", [](auto& h, auto&, auto&) { h.currency = 1; }, ""},
      {"in francs (CHF)", [](auto&, auto& p, auto&) { Put(p.currencySymbol1, "CHF"); }, ""},
      {"a symbol the settings make EUR",
       [](auto&, auto& p, auto& s) { Put(p.currencySymbol1, "Eu"), s.currencyCodes = "Eu:EUR"; },
       kHead + "EUR1234.56\n\n\nRechnung 126120001"},
      {"without a number", [](auto& h, auto&, auto&) { h.orderNumber = 0; }, ""},
      {"the setting off", [](auto&, auto&, auto& s) { s.giroCode = false; }, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    store::OrderHead head{};
    head.orderNumber = 126120001;
    head.total = 123456;
    store::ParameterRecord p = printingtest::SampleParameters();
    Put(p.bank1Iban, "DE89 3704 0044 0532 0130 00");
    Put(p.currencySymbol1, "EUR");
    Put(p.currencySymbol2, "SFR");
    einvoice::Settings settings;
    row.change(head, p, settings);
    EXPECT_EQ(GiroCodePayload(head, p, settings), row.payload);
  }
}

TEST(GiroCode, SettingReadsBackAndIsOnByDefault) {
  EXPECT_TRUE(einvoice::ParseSettings("[E-Rechnung]\n").giroCode);
  einvoice::Settings off;
  off.giroCode = false;
  const std::string text = einvoice::SettingsText(off);
  EXPECT_NE(text.find("\nGiroCode=0\n"), std::string::npos) << text;
  EXPECT_FALSE(einvoice::ParseSettings(text).giroCode);
  EXPECT_TRUE(einvoice::ParseSettings("GiroCode=1\n").giroCode);
}

// belvon-cli prints invoices of one data directory to PNG; zbarimg reads
// each page. The invoice in euros carries a code whose every field is what
// the invoice and the master data state; the others carry none.
class GiroCodeCliTest : public testsupport::StoreTest {
 protected:
  void SetUp() override {
    if (testsupport::BuiltProgram("belvon-cli").empty())
      GTEST_SKIP() << "belvon-cli is not built (BELVON_TEST_BIN)";
    if (testsupport::RunCommand("command -v zbarimg") != 0)
      GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    store::ParameterRecord& p = app.parameters;
    Put(p.companyName1, "Schreinerei Holzwurm GmbH");
    Put(p.bank1Name, "Kasseler Sparkasse");
    Put(p.bank1Iban, "DE89 3704 0044 0532 0130 00");
    Put(p.currencySymbol1, "EUR");
    Put(p.currencySymbol2, "SFR");
    store::SetTaxRate(p, 0, 3, 190);
    store::SetTaxRate(p, 1, 3, 81);
    p.printPaymentTerms = 1;
    p.printFooter = 1;
    ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
    // The German figures on paper; the code keeps its point.
    ASSERT_TRUE(store::SaveFigureStyle(app, frame::FigureStyle::German));
    Add(testsupport::MakeAddress("Zimmermann", "10002", "Otto"));
    data = dir.path().substr(0, dir.path().size() - 1);
  }

  // A stored invoice of one line; its number.
  std::string order(double quantity, std::int32_t price, std::uint8_t currency, bool paid) {
    store::OrderHead head{};
    head.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
    store::SetText(head.orderDate, "03.12.2026");
    head.stored = 1;
    head.lineCount = 1;
    head.currency = currency;
    head.paymentPeriod = 14;
    app.orderLines[1] = testsupport::MakeLine({"Hobelbank"});
    app.orderLines[1].quantity = quantity;
    app.orderLines[1].salePrice = price;
    head.total = ComputeOrderTotal(head, app.orderLines, app.parameters);
    if (paid) head.paid = head.total;
    std::int32_t position = -1;
    EXPECT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
    return std::to_string(head.orderNumber);
  }

  // What zbarimg reads on the invoice's PNG pages, one code per line.
  std::string codes(const std::string& number) {
    const std::string folder = dir.file("png-" + number);
    EXPECT_EQ(testsupport::RunCommand(program() + " 3 --order " + number + " --date 06.12.2026 --png " +
                                      folder),
              0);
    std::string all;
    for (const auto& page : std::filesystem::directory_iterator(folder)) {
      std::string out;
      testsupport::RunCommand("zbarimg --raw -q -Sdisable -Sqrcode.enable " + page.path().string(), &out);
      all += out;
    }
    return all;
  }

  std::string program() const {
    return testsupport::BuiltProgram("belvon-cli") + " --data-dir " + data + " print";
  }

  std::string data;
};

TEST_F(GiroCodeCliTest, TheCodeReadsAsTheInvoiceStatesAndOnlyOnOpenInvoicesInEuros) {
  const std::string invoice = order(3, 34567, 0, false);
  std::string read = codes(invoice);
  ASSERT_FALSE(read.empty()) << "no code found on invoice " << invoice;
  if (read.back() == '\n') read.pop_back();  // zbarimg ends each code with a line feed
  for (const auto& [what, number] : {std::pair{"a credit note", order(-1, 5000, 0, false)},
                                     std::pair{"a paid invoice", order(1, 5000, 0, true)},
                                     std::pair{"an invoice in francs", order(1, 5000, 1, false)}})
    EXPECT_EQ(codes(number), "") << what;

  const std::string pdf = dir.file("rechnung.pdf");
  ASSERT_EQ(testsupport::RunCommand(program() + " 3 --order " + invoice + " --date 06.12.2026 --pdf " + pdf), 0);
  std::string text;
  if (testsupport::RunCommand("pdftotext -layout " + pdf + " -", &text) != 0)
    GTEST_SKIP() << "pdftotext is not installed";
  // The amount due, the number, the firm's name and IBAN 1 as the invoice
  // states them, from the PDF's text (3 x 345.67 and 19 % tax in German
  // figures; the name and IBAN in the footer).
  std::smatch amount, number, iban;
  ASSERT_TRUE(std::regex_search(text, amount, std::regex("Rechnungsbetrag +(1\\.234),(04) EUR"))) << text;
  ASSERT_TRUE(std::regex_search(text, number, std::regex("Nr\\.: ([0-9]+), Seite 1"))) << text;
  ASSERT_TRUE(std::regex_search(text, iban, std::regex("IBAN: (DE[0-9 ]+[0-9])"))) << text;
  EXPECT_NE(text.find("Schreinerei Holzwurm GmbH"), std::string::npos);
  EXPECT_NE(text.find("Zahlen mit Code"), std::string::npos);
  EXPECT_EQ(number[1].str(), invoice);
  std::string euros = amount[1].str(), account = iban[1].str();
  std::erase(euros, '.');
  std::erase(account, ' ');
  // Eleven lines, the last with no line feed after it.
  EXPECT_EQ(read, "BCD\n002\n1\nSCT\n\nSchreinerei Holzwurm GmbH\n" + account + "\nEUR" + euros + '.' +
                      amount[2].str() + "\n\n\nRechnung " + number[1].str());
}

}  // namespace
}  // namespace orders
