// An invoice issued with belvon-cli, then the tax rates changed: the copy,
// the journal, the e-invoice and the GiroCode state what the customer got,
// the archive keeps what left the program, and `cancel` nets it to zero.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/sha256.h"
#include "einvoice/einvoice_seller.h"
#include "store/address_file.h"
#include "store/einvoice_settings.h"
#include "store/issue_file.h"
#include "store/parameter_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(IssuedIsFinal, TheCopyTheListsAndTheArchiveStateWhatWasIssued) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  store::AddressRecord customer{};
  customer.length = sizeof customer, customer.kind = store::kAddressCustomer;
  einvoicetest::Complete(book.app.parameters, customer);
  book.app.parameters.printPaymentTerms = 1;
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  std::int32_t position = -1;
  store::WriteAddress(book.app, customer, position, true);
  const auto customerRef = static_cast<std::int32_t>(book.app.addresses.entry.offset);
  einvoice::Settings settings;
  settings.pdfEInvoice = true;
  ASSERT_TRUE(einvoice::SaveSettings(book.dir.path(), settings));
  // 100.00 at 19 %: 119.00. Saved so, while the rates were those.
  const std::string number = std::to_string(
      book.order(customerRef, 0, {{1, 10000, -1, 0, 0, "A-1", store::kTaxCodeRate2}}).orderNumber);
  const std::string run = cli + " --yes --data-dir " + book.dir.path() + " ";
  const std::string original = book.dir.file("original.pdf");
  std::string errors;
  ASSERT_EQ(testsupport::RunCommand(run + "print 3 --issue --order " + number + " --date 15.11.2026 --pdf " + original, nullptr, &errors), 0) << errors;

  // What left the program is in the archive, its digests in the record.
  store::IssueBook issued;
  ASSERT_TRUE(store::ReadIssueBook(book.app, issued));
  const store::IssueRecord* record = issued.find(std::stoi(number));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->total, 11900);
  const std::string archivedPdf = book.dir.file("ARCHIV/" + number + ".pdf");
  const std::string archivedXml = book.dir.file("ARCHIV/" + number + ".xml");
  const auto pdfBytes = testsupport::ReadBytes(archivedPdf);
  const auto xmlBytes = testsupport::ReadBytes(archivedXml);
  ASSERT_FALSE(pdfBytes.empty());
  ASSERT_FALSE(xmlBytes.empty());
  const auto digest = [](const auto& bytes) {
    return frame::HexDigest(frame::Sha256Of(std::string(bytes.begin(), bytes.end())));
  };
  EXPECT_EQ(digest(pdfBytes), frame::HexDigest(std::to_array(record->pdfSha256)));
  EXPECT_EQ(digest(xmlBytes), frame::HexDigest(std::to_array(record->xmlSha256)));

  // The rates change to 16 %; every later statement of the invoice keeps 19 %.
  store::SetTaxRate(book.app.parameters, 0, 3, 160);
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  const std::string copy = book.dir.file("kopie.pdf");
  ASSERT_EQ(testsupport::RunCommand(run + "print 3 --order " + number + " --date 07.12.2026 --pdf " + copy, nullptr, &errors), 0) << errors;
  std::string text;
  ASSERT_EQ(testsupport::RunCommand("pdftotext -layout " + copy + " -", &text), 0);
  EXPECT_TRUE(Has(text, "Kopie")) << text;
  EXPECT_TRUE(Has(text, "Datum: 15.11.2026")) << text;
  EXPECT_TRUE(Has(text, "119.00")) << text;
  EXPECT_FALSE(Has(text, "116.00")) << text;
  std::string attached;
  ASSERT_EQ(testsupport::RunCommand("pdfdetach -list " + copy, &attached), 0);
  EXPECT_TRUE(Has(attached, "factur-x.xml")) << attached;
  // The GiroCode of the copy asks for what the page states.
  std::string code;
  ASSERT_EQ(testsupport::RunCommand("pdftoppm -r 150 -png -f 1 -l 1 " + copy + " " +
                                    book.dir.file("kopie")), 0);
  if (testsupport::RunCommand("zbarimg --quiet --raw " + book.dir.file("kopie-1.png"), &code) == 0)
    EXPECT_TRUE(Has(code, "EUR119.00")) << code;
  else
    ADD_FAILURE() << "no GiroCode found on the copy";

  // An order printed as an invoice without being issued is a draft: it says
  // so and carries no e-invoice.
  const std::string draftNumber = std::to_string(
      book.order(customerRef, 0, {{1, 5000, -1, 0, 0, "A-2", store::kTaxCodeRate2}}).orderNumber);
  const std::string draft = book.dir.file("entwurf.pdf");
  ASSERT_EQ(testsupport::RunCommand(run + "print 3 --order " + draftNumber + " --pdf " + draft), 0);
  text.clear();
  ASSERT_EQ(testsupport::RunCommand("pdftotext -layout " + draft + " -", &text), 0);
  EXPECT_TRUE(Has(text, "Entwurf")) << text;
  attached.clear();
  ASSERT_EQ(testsupport::RunCommand("pdfdetach -list " + draft, &attached), 0);
  EXPECT_FALSE(Has(attached, "factur-x.xml")) << attached;
  const std::string journal = book.dir.file("journal.csv");
  ASSERT_EQ(testsupport::RunCommand(run + "export-journal --from 01.11.2026 --to 30.11.2026 --output " + journal), 0);
  const auto csv = testsupport::ReadBytes(journal);
  EXPECT_TRUE(Has(std::string(csv.begin(), csv.end()), ";19,0;0,00;19,00;119,00;100,00;"));
  const std::string xml = book.dir.file("R.xml");
  ASSERT_EQ(testsupport::RunCommand(run + "einvoice --order " + number + " --output " + xml), 0);
  const auto reprinted = testsupport::ReadBytes(xml);
  EXPECT_EQ(std::string(reprinted.begin(), reprinted.end()), std::string(xmlBytes.begin(), xmlBytes.end()));

  ASSERT_EQ(testsupport::RunCommand(run + "check"), 0);

  // Cancelled: a credit note of -119.00 at 19 %, the journal nets to zero.
  std::string out;
  ASSERT_EQ(testsupport::RunCommand(run + "cancel --order " + number + " --date 07.12.2026", &out, &errors), 0) << errors;
  const std::string credit = out.substr(0, out.find('\n'));
  ASSERT_TRUE(store::ReadIssueBook(book.app, issued));
  ASSERT_NE(issued.find(std::stoi(credit)), nullptr);
  EXPECT_EQ(issued.find(std::stoi(credit))->total, -11900);
  EXPECT_TRUE(std::filesystem::exists(book.dir.file("ARCHIV/" + credit + ".xml")));
  ASSERT_EQ(testsupport::RunCommand(run + "export-journal --from 01.11.2026 --to 31.12.2026 --output " + journal), 0);
  const auto netted = testsupport::ReadBytes(journal);
  const std::string both(netted.begin(), netted.end());
  EXPECT_TRUE(Has(both, number + ";10001;Bauer GmbH;15.11.2026;EUR;7,0;19,0;0,00;19,00;119,00;100,00;"))
      << both;
  EXPECT_TRUE(Has(both, credit + ";10001;Bauer GmbH;07.12.2026;EUR;7,0;19,0;0,00;-19,00;-119,00;-100,00;"))
      << both;
  EXPECT_EQ(testsupport::RunCommand(run + "cancel --order " + number), 1);
  ASSERT_EQ(testsupport::RunCommand(run + "check", nullptr, &errors), 0) << errors;
  // A changed archive is named by the structure test.
  std::filesystem::resize_file(archivedXml, 10);
  ASSERT_EQ(testsupport::RunCommand(run + "check", &out, &errors), 1);
  EXPECT_TRUE(Has(out + errors, "ARCHIV")) << out << errors;
}

}  // namespace
