// The e-invoice of a collective invoice, and its record of issue, state the
// delivery its paper states: the last of its delivery notes' dates, not the
// invoice date.
#include <gtest/gtest.h>

#include <string>

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_file.h"
#include "einvoice/einvoice_seller.h"
#include "orders/collective_invoice.h"
#include "orders/issue_statement.h"
#include "store/einvoice_settings.h"
#include "store/order_kinds.h"
#include "support/order_book.h"

namespace {

TEST(CollectiveEInvoice, StatesTheLastDeliveryAsItsDeliveryDate) {
  for (const einvoice::ServiceDate rule :
       {einvoice::ServiceDate::OrderDate, einvoice::ServiceDate::InvoiceDate}) {
    testsupport::OrderBook book;
    einvoice::Settings settings;
    settings.serviceDate = rule;
    ASSERT_TRUE(einvoice::SaveSettings(book.dir.path(), settings));
    const std::int32_t meier = book.customer("Meier");
    einvoicetest::Complete(book.app.parameters, book.app.address);
    const std::int32_t first =
        book.order(meier, store::kOrderDeliveryNotePrinted, {{1, 1000, -1, 0, 0, nullptr, store::kTaxCodeRate2}}, "03.12.2026").orderNumber;
    const std::int32_t last =
        book.order(meier, store::kOrderDeliveryNotePrinted, {{2, 500, -1, 0, 0, nullptr, store::kTaxCodeRate2}}, "28.11.2026").orderNumber;
    orders::Collection collection;
    ASSERT_TRUE(orders::CollectOrders(
        book.app, {static_cast<std::uint32_t>(meier), first, last, false, "06.12.2026"}, collection));
    orders::CollectionInPane pane(book.app, collection);
    ASSERT_TRUE(orders::IssueCollection(book.app, collection));
    pane.issued();
    const einvoice::Document xml = einvoice::MakeIssuedDocument(
        book.app, true, "06.12.2026", einvoice::kXRechnungGuideline, 0, {});
    ASSERT_TRUE(xml.ok) << xml.message;
    const std::size_t event = xml.xml.find("ActualDeliverySupplyChainEvent");
    ASSERT_NE(event, std::string::npos);
    EXPECT_NE(xml.xml.substr(event, 200).find("20261203"), std::string::npos);
    // The book of issued invoices records the same date.
    ASSERT_TRUE(pane.printed());
    EXPECT_EQ(store::GetText(orders::FindIssueRecord(book.app, collection.head.orderNumber)->serviceDate),
              "03.12.2026");
  }
}

}  // namespace
