// belvon-cli print for order documents, run as a user runs it: the built
// binary on a data directory with a 60-line invoice. The PDF's text is read
// back with pdftotext where the machine has it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/decimal.h"
#include "store/parameter_file.h"
#include "orders/order_math.h"
#include "store/order_file.h"
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
    store::SetText(app.parameters.currencySymbol1, "EUR");
    store::SetTaxRate(app.parameters, 0, 2, 70);
    store::SetTaxRate(app.parameters, 0, 3, 190);
    ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
    // Two customers; the order belongs to the one filed second.
    Add(testsupport::MakeAddress("Bauer", "10001", "Anna"));
    store::AddressRecord customer = testsupport::MakeAddress("Zimmermann", "10002", "Otto");
    customer.copies = 2;
    Add(customer);
    head.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
    store::SetText(head.orderDate, "03.12.2026");
    head.stored = 1;
    head.lineCount = 60;
    for (int i = 1; i <= 60; ++i) {
      store::OrderLine& line = app.orderLines[i];
      line = testsupport::MakeLine({frame::Format("Position %02d", i)});
      line.quantity = i % 3 + 1;
      line.salePrice = 100 * i + 99;
      line.taxCode = i % 2 ? store::kTaxCodeRate1 : store::kTaxCodeRate2;
    }
    head.total = orders::ComputeOrderTotal(head, app.orderLines, app.parameters);
    std::int32_t position = -1;
    ASSERT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
    data = dir.path().substr(0, dir.path().size() - 1);
    number = std::to_string(head.orderNumber);
  }

  std::string print(const std::string& arguments) const {
    return testsupport::BuiltProgram("belvon-cli") + " --data-dir " + data + " print " + arguments;
  }

  store::OrderHead stored() {
    store::OrderHead criteria{}, read{};
    criteria.orderNumber = head.orderNumber;
    std::int32_t position = -1;
    EXPECT_EQ(store::FindOrder(app, criteria, position, true), 1);
    EXPECT_EQ(store::ReadOrder(app, read, position), 1);
    return read;
  }

  store::OrderHead head{};
  std::string data, number;
};

// Printed, the order stays as it was; issued, it is marked and every copy of
// the customer's is in the output. The PDF holds every line and the total.
TEST_F(OrderDocumentCliTest, SixtyLineInvoicePrintedAndIssued) {
  const std::string pdf = dir.file("rechnung.pdf"), one = dir.file("one");
  ASSERT_EQ(RunCommand(print("3 --order " + number + " --date 06.12.2026 --pdf " + pdf)), 0);
  ASSERT_EQ(RunCommand(print("3 --order " + number + " --png " + one)), 0);
  EXPECT_EQ(+stored().flags, 0);
  const std::string issued = dir.file("issued");
  ASSERT_EQ(RunCommand(print("3 --order " + number + " --date 06.12.2026 --issue --png " + issued)),
            0);
  EXPECT_GE(FilesIn(one), 2u);
  EXPECT_EQ(FilesIn(issued), 2 * FilesIn(one));
  const store::OrderHead after = stored();
  EXPECT_EQ(after.flags & (store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted),
            store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted);
  EXPECT_EQ(store::GetText(after.invoiceDate), "06.12.2026");

  std::string text;
  if (RunCommand("pdftotext -layout " + pdf + " -", &text) != 0)
    GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_EQ(text.find("Bauer"), std::string::npos);
  std::vector<std::string> wanted = {"RECHNUNG", "Zimmermann", "Nr.: " + number + ", Seite 1",
                                     "Seite 2", frame::Format("%.2f EUR", head.total / 100.0)};
  for (int i = 1; i <= 60; ++i) wanted.push_back(frame::Format("Position %02d", i));
  for (const std::string& w : wanted) EXPECT_NE(text.find(w), std::string::npos) << w;
}

TEST_F(OrderDocumentCliTest, RefusesWhatItCannotPrint) {
  const std::pair<std::string, int> refused[] = {{"3 --order 4711", 1},
                                                 {"3 --order abc", 2},
                                                 {"3", 2},
                                                 {"3 --order " + number + " --copies 0", 2},
                                                 {"3 --order " + number + " --date 31.02.2026", 2},
                                                 {"10 --order " + number, 2}};
  for (const auto& [arguments, code] : refused)
    EXPECT_EQ(RunCommand(print(arguments + " --pdf " + dir.file("x.pdf"))), code) << arguments;
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.pdf")));
}

}  // namespace
