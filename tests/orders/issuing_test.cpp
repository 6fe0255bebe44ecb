// Issuing documents of an order: what lands in the files, what is asked and
// how often the print job runs.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "orders/issuing.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"

namespace {

using orders::DocumentKind;

class IssuingTest : public testsupport::StoreTest {
 protected:
  IssuingTest() {
    store::AddressRecord customer = testsupport::MakeAddress("Meier", "7");
    customer.copies = 3;
    std::int32_t position = -1;
    store::WriteAddress(app, customer, position, true);
    store::ReadAddress(app, app.address, position);
    app.addresses.position = position;
    store::OrderHead head = testsupport::AddOrder(app, 0, {{"Tisch"}, {"Stuhl"}});
    store::ReadOrder(app, app.order, app.orders.position);
  }

  // Issues and records every call of the print job.
  bool Issue(DocumentKind kind, std::string date, int copies = 1) {
    return orders::IssueDocument(app, kind, copies, date,
                                 [this](int job, bool notify, const std::string& printDate) {
                                   jobs.emplace_back(job, notify, printDate);
                                 });
  }

  store::OrderHead Stored() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head;
  }

  std::vector<std::tuple<int, bool, std::string>> jobs;
};

TEST_F(IssuingTest, InvoiceMarksTheDeliveryNoteAndFixesItsDateInTheFile) {
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
  store::OrderHead head = Stored();
  EXPECT_EQ(head.flags & (store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted),
            store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted);
  EXPECT_EQ(store::GetText(head.invoiceDate), "04.12.2026");
  EXPECT_TRUE(ui.questions().empty());
}

TEST_F(IssuingTest, SecondInvoiceAsksWhetherToKeepTheOldDate) {
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
  ui.answer({true});
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "10.12.2026"));
  ASSERT_EQ(ui.questions().size(), 1u);
  EXPECT_EQ(ui.questions()[0],
            "Dieser Auftrag wurde schon einmal als Rechnung gedruckt.\n"
            "Soll das alte Rechnungsdatum beibehalten werden ?");
  // Kept: the document is printed with the old date.
  EXPECT_EQ(std::get<2>(jobs.back()), "04.12.2026");
  EXPECT_EQ(store::GetText(Stored().invoiceDate), "04.12.2026");
  ui.answer({false});
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "11.12.2026"));
  EXPECT_EQ(store::GetText(Stored().invoiceDate), "11.12.2026");
}

TEST_F(IssuingTest, CopiesRunTheJobWithTheNoticeOnlyOnTheLast) {
  ASSERT_TRUE(Issue(DocumentKind::Quotation, "04.12.2026", 3));
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[0], std::make_tuple(1, false, std::string("04.12.2026")));
  EXPECT_EQ(jobs[1], std::make_tuple(1, false, std::string("04.12.2026")));
  EXPECT_EQ(jobs[2], std::make_tuple(1, true, std::string("04.12.2026")));
  jobs.clear();
  ASSERT_TRUE(Issue(DocumentKind::Confirmation, "04.12.2026", 0));
  EXPECT_EQ(jobs.size(), 1u);
  EXPECT_EQ(Stored().flags & (store::kOrderQuotationPrinted | store::kOrderConfirmationPrinted),
            store::kOrderQuotationPrinted | store::kOrderConfirmationPrinted);
}

TEST_F(IssuingTest, CustomerRecordIsWrittenBackExceptForDeliveryNotes) {
  app.address.copies = 5;
  ASSERT_TRUE(Issue(DocumentKind::DeliveryNote, "04.12.2026"));
  store::AddressRecord stored{};
  store::ReadAddress(app, stored, 0);
  EXPECT_EQ(stored.copies, 3);
  ASSERT_TRUE(Issue(DocumentKind::CostEstimate, "04.12.2026"));
  store::ReadAddress(app, stored, 0);
  EXPECT_EQ(stored.copies, 5);
  EXPECT_TRUE(Stored().flags & store::kOrderCostEstimatePrinted);
}

TEST_F(IssuingTest, AnOrderLongerThanItsRecordIsNotIssued) {
  // Lines added in memory but never saved may not be written in place.
  app.orderLines[3] = testsupport::MakeLine({"Schrank"});
  app.order.lineCount = 3;
  EXPECT_FALSE(Issue(DocumentKind::Invoice, "04.12.2026"));
  EXPECT_TRUE(jobs.empty());
  EXPECT_EQ(Stored().lineCount, 2);
}

}  // namespace
