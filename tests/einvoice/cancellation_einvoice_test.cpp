// The credit note that cancels an issued invoice: its XRechnung names the
// cancelled invoice (BT-25, BT-26), states the invoice's figures turned
// round even after the tax rates changed, and passes the official rules.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>

#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "orders/cancellation.h"
#include "orders/issuing.h"
#include "store/address_file.h"
#include "store/load_parameters.h"
#include "store/order_file.h"
#include "store/parameter_file.h"
#include "support/run_command.h"
#include "support/test_app.h"

namespace {

std::string Text(const pugi::xml_node& root, const char* path) {
  return root.select_node(path).node().text().as_string();
}

TEST(CancellationEInvoice, TheCreditNoteNamesTheInvoiceItCancelsAndPassesTheRules) {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
  ASSERT_TRUE(frame::LoadParameters(app));
  einvoicetest::Prepare(app, einvoicetest::Cases()[0], 0);
  ASSERT_TRUE(frame::SaveParameters(app));
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteAddress(app, app.address, position, true), 1);
  ASSERT_EQ(store::ReadAddress(app, app.address, position), 1);
  app.addresses.position = position;
  app.order.flags = 0;
  app.order.orderNumber = 0;
  app.order.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
  app.order.stored = 1;
  position = -1;
  ASSERT_EQ(store::StoreOrder(app, app.order, position, store::StoreMode::NewNumber), 1);
  app.orders.position = position;
  std::string date = "06.12.2026";
  ASSERT_TRUE(orders::IssueDocument(app, orders::DocumentKind::Invoice, 1, date,
                                    [](int, bool, const printing::JobInputs&,
                                       const std::function<void()>& printed) { printed(); }));
  const std::int32_t invoice = app.order.orderNumber;
  const std::int32_t total = app.order.total;
  pugi::xml_document original;
  ASSERT_TRUE(original.load_string(einvoice::MakeDocument(app).xml.c_str()));

  // Rates change; the cancellation states the invoice's figures all the same.
  store::SetTaxRate(app.parameters, 0, 2, 50);
  store::SetTaxRate(app.parameters, 0, 3, 160);
  std::int32_t creditNote = 0;
  ASSERT_TRUE(orders::CancelInvoice(app, "07.12.2026", creditNote));
  EXPECT_EQ(app.order.orderNumber, creditNote);
  EXPECT_EQ(app.order.total, -total);
  const einvoice::Document document = einvoice::MakeDocument(app);
  ASSERT_TRUE(document.ok) << document.message;
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_string(document.xml.c_str()));
  const pugi::xml_node root = xml.document_element();
  EXPECT_EQ(Text(root, "//rsm:ExchangedDocument/ram:TypeCode"), "381");
  EXPECT_EQ(Text(root, "//ram:InvoiceReferencedDocument/ram:IssuerAssignedID"), std::to_string(invoice));
  EXPECT_EQ(Text(root, "//ram:InvoiceReferencedDocument/ram:FormattedIssueDateTime/qdt:DateTimeString"),
            "20261206");
  for (const char* sum : {"//ram:GrandTotalAmount", "//ram:TaxTotalAmount", "//ram:TaxBasisTotalAmount"})
    EXPECT_EQ(Text(root, sum), Text(original.document_element(), sum)) << sum;

  const std::string path = t.dir.file("storno.xml");
  ASSERT_TRUE(einvoice::WriteDocument(*app.fileSystem, path, document.xml));
  std::string report;
  const int status = testsupport::RunCommand(std::string(BELVON_CII_KIT) + " -q '" + path + "'", &report);
  if (status == 4) GTEST_SKIP() << "Java, Saxon-HE oder xmllint fehlen (make deps)";
  EXPECT_EQ(status, 0) << report;
}

}  // namespace
