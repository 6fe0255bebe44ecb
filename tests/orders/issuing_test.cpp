// Issuing documents of an order: what lands in the files, what is asked and
// how often the print job runs; nothing is marked before a copy is out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "orders/issuing.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/einvoice_settings.h"
#include "store/parameter_file.h"
#include "store/records_test_support.h"
#include "support/failing_file_system.h"

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
    testsupport::AddOrder(app, 0, {{"Tisch"}, {"Stuhl"}});
    store::ReadOrder(app, app.order, app.orders.position);
  }

  // Issues and records every call of the print job; a job prints when
  // `jobsPrint` says so, else it is cancelled.
  bool Issue(DocumentKind kind, std::string date, int copies = 1) {
    return orders::IssueDocument(
        app, kind, copies, date,
        [this](int job, bool notify, const printing::JobInputs& inputs,
               const std::function<void()>& printed) {
          jobs.emplace_back(job, notify, inputs.printDate);
          invoiceDates.push_back(inputs.invoiceDate);
          if (jobsPrint) printed();
          later = printed;
        });
  }

  // A line of 100.00 at 19 %: 119.00 stored.
  void StoreAtNineteenPercent() {
    store::SetTaxRate(app.parameters, 0, 3, 190);
    app.orderLines[1].salePrice = 10000;
    orders::RefreshOrderTotal(app.order, app.orderLines, app.parameters);
    std::int32_t at = app.orders.position;
    ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  }

  store::OrderHead Stored() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head;
  }

  std::vector<std::tuple<int, bool, std::string>> jobs;
  std::vector<std::string> invoiceDates;  // what each job was told the invoice states
  bool jobsPrint = true;
  std::function<void()> later;
};

TEST_F(IssuingTest, InvoiceMarksTheDeliveryNoteAndKeepsItsDateForGood) {
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
  store::OrderHead head = Stored();
  EXPECT_EQ(head.flags & (store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted),
            store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted);
  EXPECT_EQ(store::GetText(head.invoiceDate), "04.12.2026");
  EXPECT_TRUE(ui.questions().empty());

  // Printed again, an issued invoice is a copy of itself: nothing is asked
  // and its date stays the one it was issued with.
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "10.12.2026"));
  EXPECT_TRUE(ui.questions().empty());
  EXPECT_EQ(store::GetText(Stored().invoiceDate), "04.12.2026");
  // Each print is told the date its issue records: the order it draws from
  // holds it only afterwards.
  EXPECT_EQ(invoiceDates, (std::vector<std::string>{"04.12.2026", "04.12.2026"}));
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
  EXPECT_EQ(+stored.copies, 3);
  ASSERT_TRUE(Issue(DocumentKind::CostEstimate, "04.12.2026"));
  store::ReadAddress(app, stored, 0);
  EXPECT_EQ(+stored.copies, 5);
  EXPECT_TRUE(Stored().flags & store::kOrderCostEstimatePrinted);
}

// A cancelled printer dialog or an aborted job: no mark, no date, no
// customer record; a preview that prints later issues then.
TEST_F(IssuingTest, NothingIsIssuedUntilACopyIsOut) {
  app.address.copies = 5;
  jobsPrint = false;
  EXPECT_FALSE(Issue(DocumentKind::Invoice, "04.12.2026", 2));
  EXPECT_EQ(jobs.size(), 2u);
  store::OrderHead head = Stored();
  EXPECT_EQ(+head.flags, 0);
  EXPECT_EQ(store::GetText(head.invoiceDate), "");
  EXPECT_EQ(+app.order.flags, 0);
  store::AddressRecord customer{};
  store::ReadAddress(app, customer, 0);
  EXPECT_EQ(+customer.copies, 3);

  later();  // the preview prints
  later();  // and prints again: recorded once
  EXPECT_EQ(store::GetText(Stored().invoiceDate), "04.12.2026");
  EXPECT_TRUE(Stored().flags & store::kOrderInvoicePrinted);
  EXPECT_TRUE(ui.texts().empty());
}

TEST_F(IssuingTest, AnOrderLongerThanItsRecordIsNotIssued) {
  // Lines added in memory but never saved may not be written in place.
  app.orderLines[3] = testsupport::MakeLine({"Schrank"});
  app.order.lineCount = 3;
  EXPECT_FALSE(Issue(DocumentKind::Invoice, "04.12.2026"));
  EXPECT_TRUE(jobs.empty());
  EXPECT_EQ(+Stored().lineCount, 2);
}

// Every write of issuing is checked: a failure names its file and leaves the
// order unmarked.
TEST_F(IssuingTest, AFailedWriteLeavesTheOrderUnmarked) {
  testsupport::FailingWritesTo faults;
  // An invoice writes its record into AUSGANG.DAT under the lock of the
  // order file, so the write of the order's head is failed on a quotation.
  for (auto [file, kind] : {std::pair{"KUNDEN.DAT", DocumentKind::Invoice},
                            std::pair{"BELVON.PAR", DocumentKind::Invoice},
                            std::pair{"AUSGANG.DAT", DocumentKind::Invoice},
                            std::pair{"RECHNUNG.DAT", DocumentKind::Quotation}}) {
    SCOPED_TRACE(file);
    faults.file = file;
    app.fileSystem = &faults;
    ui.shown.clear();
    EXPECT_FALSE(Issue(kind, "04.12.2026"));
    app.fileSystem = &platform::SystemFileSystem();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(dir.file(file) + " konnte nicht geschrieben werden"),
              std::string::npos)
        << ui.shown[0].text;
    EXPECT_EQ(+Stored().flags, 0);
    EXPECT_EQ(+app.order.flags, 0);
  }
}

// A reprint under changed tax rates states the issued figures: nothing to
// ask, the stored total stays what lists, dunning and payments go by.
TEST_F(IssuingTest, AReprintUnderOtherRatesKeepsTheIssuedTotal) {
  StoreAtNineteenPercent();
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
  ASSERT_TRUE(ui.questions().empty());  // the first print asks nothing

  store::SetTaxRate(app.parameters, 0, 3, 160);
  orders::RefreshOrderTotal(app.order, app.orderLines, app.parameters);  // as browsing does
  jobs.clear();
  EXPECT_TRUE(Issue(DocumentKind::Invoice, "05.12.2026"));
  EXPECT_TRUE(ui.questions().empty());
  EXPECT_EQ(jobs.size(), 1u);
  EXPECT_EQ(+Stored().total, 11900);
}

// The first invoice after a change of rates states the total it printed,
// and that is what is stored: one figure on paper, in lists and dunning.
TEST_F(IssuingTest, TheFirstInvoiceStoresThePrintedTotal) {
  StoreAtNineteenPercent();
  ASSERT_EQ(+Stored().total, 11900);

  store::SetTaxRate(app.parameters, 0, 3, 160);
  ASSERT_TRUE(Issue(DocumentKind::DeliveryNote, "03.12.2026"));
  EXPECT_EQ(+Stored().total, 11900);  // only an invoice states the amount owed
  ASSERT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
  EXPECT_TRUE(ui.questions().empty());
  EXPECT_EQ(+Stored().total, 11600);
  EXPECT_EQ(+app.order.total, 11600);
}

// Without a currency and any tax rate (first-start settings cancelled) a
// document with prices is refused before anything is printed or marked.
TEST_F(IssuingTest, NoDocumentWithPricesWithoutCurrencyAndTaxRate) {
  app.orderLines[1].salePrice = 10000;
  for (DocumentKind kind : {DocumentKind::Invoice, DocumentKind::Quotation, DocumentKind::DeliveryNote}) {
    ui.shown.clear();
    EXPECT_FALSE(Issue(kind, "04.12.2026"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("Währungen, UmSt..."), std::string::npos) << ui.shown[0].text;
  }
  EXPECT_TRUE(jobs.empty());
  EXPECT_EQ(+Stored().flags, 0);
  app.parameters.pricesHidden = 1;  // a delivery note without prices may go
  EXPECT_TRUE(Issue(DocumentKind::DeliveryNote, "04.12.2026"));
  store::SetText(app.parameters.currencySymbol1, "EUR");
  EXPECT_TRUE(Issue(DocumentKind::Invoice, "04.12.2026"));
}

// Issuing writes the print settings of the dialog into the parameter file
// as the file holds it: what another copy saved meanwhile (here its
// currency and rates, as a changeover does) is not undone by a stale copy.
TEST_F(IssuingTest, IssuingKeepsWhatAnotherCopySavedInTheParameters) {
  frame::AppState other = OtherCopy(dir.path());
  store::SetText(other.parameters.currencySymbol1, "EUR");
  store::SetTaxRate(other.parameters, 0, 3, 190);
  ASSERT_EQ(frame::SaveParameters(other), 1);
  app.parameters.printSignature = 1;  // ticked in the dialog of this copy
  ASSERT_TRUE(Issue(DocumentKind::Quotation, "04.12.2026"));
  frame::AppState after = OtherCopy(dir.path());
  EXPECT_EQ(store::GetText(after.parameters.currencySymbol1), "EUR");
  EXPECT_EQ(store::TaxRate(after.parameters, 0, 3), 190);
  EXPECT_EQ(+after.parameters.printSignature, 1);
}

// An invoice states something to pay in amounts its record can hold, or it
// is not issued: each case is refused with the line it names, no job runs
// and nothing is marked. A quotation of such amounts is refused as well.
TEST_F(IssuingTest, NoInvoiceOfNothingAndNoneBeyondTheRecord) {
  store::SetText(app.parameters.currencySymbol1, "EUR");
  const store::OrderLine blank = app.orderLines[1];
  auto lines = [&](int count, const std::function<void(store::OrderLine&, int)>& set) {
    return [=, this] {
      app.order.lineCount = static_cast<std::uint16_t>(count);
      for (int i = 1; i <= 2; ++i) {
        app.orderLines[i] = blank;
        app.orderLines[i].salePrice = 1000;
        set(app.orderLines[i], i);
      }
    };
  };
  const std::string nothing = "keine Position, die berechnet werden kann";
  struct Case {
    const char* name;
    std::function<void()> arrange;
    DocumentKind kind;
    std::string refusal;  // empty: issued
  };
  const std::vector<Case> cases = {
      {"back-orders only", lines(2, [](store::OrderLine& l, int) { l.flags |= store::kLineBackOrder; }),
       DocumentKind::Invoice, nothing},
      {"no lines", lines(0, [](store::OrderLine&, int) {}), DocumentKind::Invoice, nothing},
      {"no tax class", lines(2, [](store::OrderLine& l, int) { l.taxCode = 3; }),
       DocumentKind::Invoice, nothing},
      {"one line beyond", lines(2, [](store::OrderLine& l, int i) { if (i == 2) l.quantity = 1e12; }),
       DocumentKind::Invoice, "Position 2: Menge und Preis ergeben einen Betrag außerhalb"},
      {"the total beyond",
       lines(2, [](store::OrderLine& l, int) {
         l.salePrice = 1'500'000'000;
         l.taxCode = store::kTaxCodeNone;
       }),
       DocumentKind::Invoice, "Ab Position 2 liegt die Summe des Auftrags außerhalb"},
      {"a quotation beyond", lines(2, [](store::OrderLine& l, int i) { if (i == 1) l.quantity = 1e12; }),
       DocumentKind::Quotation, "Position 1: Menge und Preis"},
      {"a quotation of back-orders",
       lines(2, [](store::OrderLine& l, int) { l.flags |= store::kLineBackOrder; }),
       DocumentKind::Quotation, ""},
      {"one billable line among back-orders",
       lines(2, [](store::OrderLine& l, int i) { if (i == 1) l.flags |= store::kLineBackOrder; }),
       DocumentKind::Invoice, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    ui.shown.clear();
    jobs.clear();
    EXPECT_EQ(Issue(c.kind, "04.12.2026"), c.refusal.empty());
    if (c.refusal.empty()) continue;
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(c.refusal), std::string::npos) << ui.shown[0].text;
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(+Stored().flags, 0);
  }
}

// The due date of an invoice being issued is one a four-digit year states;
// an invoice date that is no day is refused too. Nothing is marked.
TEST_F(IssuingTest, NoInvoiceDueAfterTheYear9999) {
  store::SetText(app.parameters.currencySymbol1, "EUR");
  app.order.paymentPeriod = 14;
  const struct {
    const char* date;
    bool issued;
  } cases[] = {{"31.12.9999", false}, {"29.02.2023", false}, {"17.12.9999", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    ui.shown.clear();
    EXPECT_EQ(Issue(DocumentKind::Invoice, c.date), c.issued);
    if (!c.issued) {
      ASSERT_EQ(ui.shown.size(), 1u);
      EXPECT_NE(ui.shown[0].text.find("nicht ausgestellt"), std::string::npos) << ui.shown[0].text;
      EXPECT_EQ(+Stored().flags, 0);
    }
  }
}

// An invoice states the seller's VAT ID or tax number: without either it is
// not issued (the user is told where to enter one); a quotation may go.
TEST_F(IssuingTest, NoInvoiceWithoutTheSellersTaxNumber) {
  store::SetText(app.parameters.currencySymbol1, "EUR");
  const struct {
    const char* vatId;
    const char* taxNumber;
    bool issued;
  } cases[] = {{"", "", false}, {"DE123456789", "", true}, {"", "12/345/67890", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.vatId) + "/" + c.taxNumber);
    testsupport::AddOrder(app, 0, {{"Tisch"}});  // a new order each time
    store::ReadOrder(app, app.order, app.orders.position);
    app.orderLines[1].salePrice = 10000;
    store::SetText(app.parameters.vatId, c.vatId);
    einvoice::Settings settings;
    settings.taxNumber = c.taxNumber;
    ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
    ui.shown.clear();
    jobs.clear();
    EXPECT_TRUE(Issue(DocumentKind::Quotation, "04.12.2026"));
    EXPECT_EQ(Issue(DocumentKind::Invoice, "04.12.2026"), c.issued);
    EXPECT_EQ((Stored().flags & store::kOrderInvoicePrinted) != 0, c.issued);
    if (c.issued) continue;
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_NE(ui.texts()[0].find("Datei / Stammdaten..."), std::string::npos) << ui.texts()[0];
    EXPECT_EQ(jobs.size(), 1u);  // only the quotation was printed
  }
}

// No reason for tax-free lines is taken for granted: an invoice with a
// tax-free line is issued only once one is chosen; an invoice without one
// needs none.
TEST_F(IssuingTest, ATaxFreeLineNeedsAChosenReason) {
  store::SetText(app.parameters.currencySymbol1, "EUR");
  store::SetTaxRate(app.parameters, 0, 3, 190);
  const struct {
    std::int16_t taxCode;
    einvoice::Exemption exemption;
    bool issued;
  } cases[] = {{store::kTaxCodeNone, einvoice::Exemption::Unset, false},
               {store::kTaxCodeNone, einvoice::Exemption::ReverseCharge, true},
               {store::kTaxCodeRate2, einvoice::Exemption::Unset, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.exemption));
    testsupport::AddOrder(app, 0, {{"Tisch"}});
    store::ReadOrder(app, app.order, app.orders.position);
    app.orderLines[1].salePrice = 10000;
    app.orderLines[1].taxCode = c.taxCode;
    einvoice::Settings settings;
    settings.exemption = c.exemption;
    ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
    ui.shown.clear();
    EXPECT_EQ(Issue(DocumentKind::Invoice, "04.12.2026"), c.issued);
    if (c.issued) continue;
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_NE(ui.texts()[0].find("Datei / E-Rechnung..."), std::string::npos) << ui.texts()[0];
    EXPECT_EQ(Stored().flags & store::kOrderInvoicePrinted, 0);
  }
  // A new settings file names no reason, and one saved without a choice
  // reads back without one.
  EXPECT_EQ(einvoice::Settings{}.exemption, einvoice::Exemption::Unset);
  EXPECT_EQ(einvoice::ParseSettings(einvoice::SettingsText(einvoice::Settings{})).exemption,
            einvoice::Exemption::Unset);
  einvoice::Settings chosen;
  chosen.exemption = einvoice::Exemption::Export;
  EXPECT_EQ(einvoice::ParseSettings(einvoice::SettingsText(chosen)).exemption,
            einvoice::Exemption::Export);
}

}  // namespace
