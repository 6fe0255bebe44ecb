// belvon-cli print for order documents, run as a user runs it: the built
// binary on a data directory with a 60-line invoice. The PDF's text is read
// back with pdftotext where the machine has it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "frame/decimal.h"
#include "frame/parameter_file.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/records_test_support.h"
#include "support/run_command.h"

namespace {

using testsupport::RunCommand;

std::size_t FilesIn(const std::string& folder) {
  return std::distance(std::filesystem::directory_iterator(folder),
                       std::filesystem::directory_iterator());
}

class OrderDocumentCliTest : public testsupport::StoreTest {
 protected:
  void SetUp() override {
    if (testsupport::BuiltProgram("belvon-cli").empty())
      GTEST_SKIP() << "belvon-cli is not built (BELVON_TEST_BIN)";
    store::ParameterRecord& p = app.parameters;
    store::SetText(p.companyName1, "Schreinerei Holzwurm GmbH");
    store::SetText(p.street, "Eichenweg 12");
    store::SetText(p.town, "34117 Kassel");
    store::SetText(p.letterheadLine1, "Schreinerei Holzwurm");
    store::SetText(p.currencySymbol1, "EUR");
    store::SetTaxRate(p, 0, 2, 70);
    store::SetTaxRate(p, 0, 3, 190);
    p.printLetterhead = 1;
    p.printFooter = 1;
    p.printPaymentTerms = 1;
    ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);

    // Two customers; the order belongs to the one filed second.
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteAddress(app, testsupport::MakeAddress("Bauer", "10001", "Anna"),
                                  position, true), 1);
    store::AddressRecord customer = testsupport::MakeAddress("Zimmermann", "10002", "Otto");
    customer.copies = 2;
    position = -1;
    ASSERT_EQ(store::WriteAddress(app, customer, position, true), 1);
    store::AddressRecord read{};
    ASSERT_EQ(store::ReadAddress(app, read, 1), 1);
    ASSERT_EQ(store::GetText(read.name2), "Zimmermann");

    head = store::OrderHead{};
    head.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
    store::SetText(head.orderDate, "03.12.2026");
    head.paymentPeriod = 14;
    head.stored = 1;
    head.lineCount = 60;
    for (int i = 1; i <= 60; ++i) {
      store::OrderLine& line = app.orderLines[i];
      line = store::OrderLine{};
      line.length = sizeof line;
      line.quantity = i % 3 + 1;
      store::SetText(line.unit, "Stk");
      store::SetText(line.articleNumber, frame::Format("ART-%02d", i));
      store::SetText(line.description1, frame::Format("Position %02d", i));
      line.salePrice = 100 * i + 99;
      line.taxCode = i % 2 ? store::kTaxCodeRate1 : store::kTaxCodeRate2;
      line.articleRef = -1;
    }
    head.total = orders::ComputeOrderTotal(head, app.orderLines, app.parameters);
    position = -1;
    ASSERT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
    data = dir.path().substr(0, dir.path().size() - 1);
    number = std::to_string(head.orderNumber);
  }

  std::string cli(const std::string& arguments) const {
    return testsupport::BuiltProgram("belvon-cli") + " --data-dir " + data + " " + arguments;
  }

  store::OrderHead stored() {
    store::OrderHead criteria{};
    criteria.orderNumber = head.orderNumber;
    std::int32_t position = -1;
    store::OrderHead read{};
    EXPECT_EQ(store::FindOrder(app, criteria, position, true), 1);
    EXPECT_EQ(store::ReadOrder(app, read, position), 1);
    return read;
  }

  store::OrderHead head{};
  std::string data, number;
};

TEST_F(OrderDocumentCliTest, SixtyLineInvoiceAsPdfHoldsEveryLineAndTheTotal) {
  const std::string pdf = dir.file("rechnung.pdf");
  ASSERT_EQ(RunCommand(cli("print 3 --order " + number + " --date 06.12.2026 --pdf " + pdf)), 0);
  ASSERT_GT(testsupport::FileSize(pdf), 1000);
  // Printing without --issue leaves the order as it was.
  EXPECT_EQ(+stored().flags, 0);

  std::string text;
  if (RunCommand("pdftotext -layout " + pdf + " -", &text) != 0)
    GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_NE(text.find("RECHNUNG"), std::string::npos);
  EXPECT_NE(text.find("Zimmermann"), std::string::npos);
  EXPECT_EQ(text.find("Bauer"), std::string::npos);
  EXPECT_NE(text.find("Nr.: " + number + ", Seite 1"), std::string::npos);
  EXPECT_NE(text.find("Seite 2"), std::string::npos);
  for (int i = 1; i <= 60; ++i)
    EXPECT_NE(text.find(frame::Format("Position %02d", i)), std::string::npos) << i;
  EXPECT_NE(text.find("Rechnungsbetrag"), std::string::npos);
  EXPECT_NE(text.find(frame::Format("%.2f EUR", head.total / 100.0)), std::string::npos)
      << head.total;
}

TEST_F(OrderDocumentCliTest, IssueMarksTheOrderAndPrintsEveryCopy) {
  const std::string one = dir.file("one");
  ASSERT_EQ(RunCommand(cli("print 3 --order " + number + " --date 06.12.2026 --png " + one)), 0);
  const std::size_t pages = FilesIn(one);
  ASSERT_GE(pages, 2u);

  // The customer's two copies, all in the output.
  const std::string issued = dir.file("issued");
  ASSERT_EQ(RunCommand(cli("print 3 --order " + number + " --date 06.12.2026 --issue --png " + issued)), 0);
  EXPECT_EQ(FilesIn(issued), 2 * pages);
  store::OrderHead after = stored();
  EXPECT_EQ(after.flags & (store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted),
            store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted);
  EXPECT_EQ(store::GetText(after.invoiceDate), "06.12.2026");

  // Issued again on another day: --yes keeps the old invoice date, without
  // it the new print date becomes the invoice date.
  ASSERT_EQ(RunCommand(cli("--yes print 3 --order " + number +
                    " --date 09.12.2026 --issue --copies 1 --pdf " + dir.file("a.pdf"))), 0);
  EXPECT_EQ(store::GetText(stored().invoiceDate), "06.12.2026");
  ASSERT_EQ(RunCommand(cli("print 3 --order " + number +
                    " --date 09.12.2026 --issue --copies 1 --pdf " + dir.file("b.pdf"))), 0);
  EXPECT_EQ(store::GetText(stored().invoiceDate), "09.12.2026");

  // Under another rate the printed invoice would not match its stored total:
  // printed again only on Yes, and the stored total stays.
  const std::int32_t total = stored().total;
  store::SetTaxRate(app.parameters, 0, 3, 160);
  ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromFile), 1);
  EXPECT_EQ(RunCommand(cli("print 3 --order " + number + " --pdf " + dir.file("c.pdf"))), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("c.pdf")));
  EXPECT_EQ(RunCommand(cli("--yes print 3 --order " + number + " --pdf " + dir.file("c.pdf"))), 0);
  EXPECT_EQ(stored().total, total);
}

TEST_F(OrderDocumentCliTest, RefusesWhatItCannotPrint) {
  const std::pair<std::string, int> refused[] = {
      {"--order 4711", 1}, {"--order abc", 2}, {"", 2}, {"--order " + number + " --copies 0", 2},
      {"--order " + number + " --date 31.02.2026", 2}};
  for (const auto& [arguments, code] : refused)
    EXPECT_EQ(RunCommand(cli("print 3 " + arguments + " --pdf " + dir.file("x.pdf"))), code) << arguments;
  EXPECT_EQ(RunCommand(cli("print 10 --order " + number + " --pdf " + dir.file("x.pdf"))), 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.pdf")));
  // An output that cannot be written leaves the order unissued.
  EXPECT_EQ(RunCommand(cli("print 3 --order " + number + " --issue --pdf " + dir.file("no/such/x.pdf"))), 1);
  EXPECT_EQ(+stored().flags, 0);
}

}  // namespace
