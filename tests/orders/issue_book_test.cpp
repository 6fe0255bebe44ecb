// The book of issued invoices: what an invoice states is written once, at
// its issue, and everything that states it later comes back to it; a
// directory of an older version gets its records, and an issue cut off
// between its two writes is finished at the next start.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/sha256.h"
#include "orders/document_figures.h"
#include "orders/cancellation.h"
#include "orders/issue_statement.h"
#include "orders/order_editor.h"
#include "orders/settling.h"
#include "reports/invoice_journal.h"
#include "orders/issuing.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/issue_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/records_test_support.h"
#include "support/failing_file_system.h"

namespace {

using orders::DocumentKind;

class IssueBookTest : public testsupport::StoreTest {
 protected:
  IssueBookTest() {
    store::SetText(app.parameters.currencySymbol1, "EUR");
    store::SetTaxRate(app.parameters, 0, 2, 70);
    store::SetTaxRate(app.parameters, 0, 3, 190);
    store::AddressRecord customer = testsupport::MakeAddress("Meier", "4711", "Anna");
    std::int32_t position = -1;
    store::WriteAddress(app, customer, position, true);
    store::ReadAddress(app, app.address, position);
    app.addresses.position = position;
  }

  // An order of a 100.00 line at the second rate and a 40.00 line at the
  // first, stored with today's rates.
  void NewOrder(bool grossPrices = false) {
    testsupport::AddOrder(app, 0, {{"Tisch"}, {"Stuhl"}});
    store::ReadOrder(app, app.order, app.orders.position);
    app.orderLines[1].salePrice = 10000;
    app.orderLines[2].salePrice = 4000;
    app.orderLines[2].taxCode = store::kTaxCodeRate1;
    if (grossPrices) app.order.flags |= store::kOrderPricesIncludeTax;
    orders::RefreshOrderTotal(app.order, app.orderLines, app.parameters);
    std::int32_t at = app.orders.position;
    ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  }

  bool Issue(std::string date) {
    return orders::IssueDocument(app, DocumentKind::Invoice, 1, date,
                                 [](int, bool, const printing::JobInputs&,
                                    const std::function<void()>& printed) { printed(); });
  }

  store::IssueBook Book() {
    store::IssueBook book;
    EXPECT_TRUE(store::ReadIssueBook(app, book));
    return book;
  }

  store::OrderHead Stored() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head;
  }

  std::string BookBytes() {
    std::ifstream in(dir.file(store::kIssueFileName), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

// Net and gross prices: the record states the figures of the page, and
// they add up to the total the order stores.
TEST_F(IssueBookTest, TheRecordStatesWhatTheInvoicePrinted) {
  struct Case {
    bool gross;
    std::int64_t net2, tax2, net1, tax1, total;
  };
  for (const Case& c : {Case{false, 10000, 1900, 4000, 280, 16180},
                        Case{true, 8403, 1597, 3738, 262, 14000}}) {
    SCOPED_TRACE(c.gross);
    NewOrder(c.gross);
    ASSERT_TRUE(Issue("15.06.2026"));
    const store::IssueBook book = Book();
    const store::IssueRecord* record = book.find(app.order.orderNumber);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(+record->kind, store::kIssuedInvoice);
    EXPECT_EQ(store::GetText(record->invoiceDate), "15.06.2026");
    EXPECT_EQ(store::GetText(record->customerNumber), "4711");
    EXPECT_EQ(store::GetText(record->customerName), "Anna Meier");
    EXPECT_EQ(store::GetText(record->currencySymbol), "EUR");
    EXPECT_EQ(+record->classes[1].rate, 70);
    EXPECT_EQ(+record->classes[2].rate, 190);
    EXPECT_EQ(record->classes[2].net, c.net2);
    EXPECT_EQ(record->classes[2].tax, c.tax2);
    EXPECT_EQ(record->classes[1].net, c.net1);
    EXPECT_EQ(record->classes[1].tax, c.tax1);
    EXPECT_EQ(record->total, c.total);
    EXPECT_EQ(record->classes[1].net + record->classes[1].tax + record->classes[2].net +
                  record->classes[2].tax + record->classes[0].net,
              record->total);
    EXPECT_EQ(Stored().total, record->total);
    EXPECT_GT(record->issuedAt, 0);
  }
  EXPECT_EQ(Book().records().size(), 2u);
}

// Today's rates change; the invoice does not. A reprint neither asks nor
// writes a second record, and keeps the date it was issued with.
TEST_F(IssueBookTest, AReprintUnderOtherRatesStatesTheIssuedFigures) {
  NewOrder();
  ASSERT_TRUE(Issue("15.06.2026"));
  store::SetTaxRate(app.parameters, 0, 2, 50);
  store::SetTaxRate(app.parameters, 0, 3, 160);
  ui.shown.clear();
  ASSERT_TRUE(Issue("07.12.2026"));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(Book().records().size(), 1u);
  EXPECT_EQ(store::GetText(Stored().invoiceDate), "15.06.2026");
  EXPECT_EQ(+Stored().total, 16180);

  const store::ParameterRecord stated = orders::ParametersOfOrder(app, app.order);
  const auto lines = std::span<const store::OrderLine>(app.orderLines).subspan(1, 2);
  const orders::DocumentFigures figures = orders::ComputeDocumentFigures(app.order, lines, stated, true);
  EXPECT_EQ(figures.final(), 16180);
  EXPECT_EQ(figures.tax[0], 280);
  EXPECT_EQ(figures.tax[1], 1900);
  EXPECT_EQ(orders::StatedTotal(app.order, app.orderLines, stated), 16180);
  // A draft of another order computes with today's rates.
  EXPECT_EQ(orders::FirstTaxRate(orders::ParametersOfOrder(app, store::OrderHead{}), 0), 50);
}

// The record is the issue: it is appended before the order's mark, under
// the order file's lock. A failed append leaves the order unmarked and
// names the book; a failed mark leaves a record that the next start rolls
// forward onto the order.
TEST_F(IssueBookTest, BookAndMarkAreWrittenAllOrNothing) {
  NewOrder();
  testsupport::FailingWritesTo faults(store::kIssueFileName);
  app.fileSystem = &faults;
  EXPECT_FALSE(Issue("15.06.2026"));
  app.fileSystem = &platform::SystemFileSystem();
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_NE(ui.shown.back().text.find("AUSGANG.DAT konnte nicht geschrieben werden"),
            std::string::npos);
  EXPECT_EQ(+Stored().flags, 0);
  EXPECT_TRUE(Book().records().empty());

  // The program stopped after the record: the order lacks its mark.
  store::IssueRecord record = orders::StateIssue(app.order, app.orderLines, app.parameters,
                                                 app.address, "16.06.2026", "16.06.2026");
  ASSERT_TRUE(store::AppendIssueRecord(app, record));
  ASSERT_EQ(+Stored().flags, 0);
  ASSERT_TRUE(orders::CompleteIssueBook(app));
  const store::OrderHead head = Stored();
  EXPECT_EQ(head.flags & (store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted),
            store::kOrderInvoicePrinted | store::kOrderDeliveryNotePrinted);
  EXPECT_EQ(store::GetText(head.invoiceDate), "16.06.2026");
  EXPECT_EQ(head.total, 16180);
  EXPECT_EQ(Book().records().size(), 1u);
}

// Damage in the book: a record whose bytes were changed is not taken for
// one, and an append cut off in the middle is cut away by the next one.
TEST_F(IssueBookTest, ChangedRecordsAndTornAppendsAreNoRecords) {
  NewOrder();
  ASSERT_TRUE(Issue("15.06.2026"));
  NewOrder();
  ASSERT_TRUE(Issue("16.06.2026"));
  std::string bytes = BookBytes();
  ASSERT_EQ(bytes.size(), 2 * store::kIssueRecordSize);
  bytes[offsetof(store::IssueRecord, total)] ^= 1;  // a cent more on the first
  bytes += std::string(100, 'x');                   // half an append
  {
    std::ofstream out(dir.file(store::kIssueFileName), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  store::IssueBook book = Book();
  EXPECT_EQ(book.records().size(), 1u);
  EXPECT_EQ(book.damaged(), 1);
  EXPECT_EQ(book.tornTail(), 100u);
  NewOrder();
  ASSERT_TRUE(Issue("17.06.2026"));
  EXPECT_EQ(BookBytes().size(), 3 * store::kIssueRecordSize);
  EXPECT_EQ(Book().records().size(), 2u);
}

// An older directory: invoices issued before the book was kept get their
// records at the first start, from the stored total and the rates of that
// day, marked as taken over; a second start adds nothing.
TEST_F(IssueBookTest, InvoicesOfAnOlderVersionAreTakenOverOnce) {
  NewOrder();
  std::int32_t at = app.orders.position;
  app.order.flags |= store::kOrderInvoicePrinted;
  store::SetText(app.order.invoiceDate, "01.02.2020");
  ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  const std::int32_t agreeing = app.order.orderNumber;
  NewOrder();  // issued under 16 %: its stored total is not what today's rates give
  at = app.orders.position;
  app.order.flags |= store::kOrderInvoicePrinted;
  app.order.total = 15780;
  ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  NewOrder();  // a quotation only
  std::remove(dir.file(store::kIssueFileName).c_str());

  ASSERT_TRUE(orders::CompleteIssueBook(app));
  ASSERT_TRUE(orders::CompleteIssueBook(app));
  const store::IssueBook book = Book();
  ASSERT_EQ(book.records().size(), 2u);
  const store::IssueRecord* first = book.find(agreeing);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->flags & (store::kIssueTakenOver | store::kIssueFiguresUnknown),
            store::kIssueTakenOver);
  EXPECT_EQ(store::GetText(first->invoiceDate), "01.02.2020");
  EXPECT_EQ(first->total, 16180);
  const store::IssueRecord* second = book.find(agreeing + 1);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->flags & (store::kIssueTakenOver | store::kIssueFiguresUnknown),
            store::kIssueTakenOver | store::kIssueFiguresUnknown);
  EXPECT_EQ(second->total, 15780);
}

// Cancelling: a credit note of the invoice's figures turned round, with the
// rates the invoice was issued with; both are written off against each
// other, the journal nets them to zero, and nothing is cancelled twice.
TEST_F(IssueBookTest, CancellingIssuesACreditNoteThatNetsTheInvoiceToZero) {
  NewOrder();
  ASSERT_TRUE(Issue("15.06.2026"));
  const std::int32_t invoice = app.order.orderNumber;
  std::int32_t position = app.orders.position;
  ASSERT_TRUE(store::ChangeOrderHead(app, invoice, [](store::OrderHead& head) {
    head.paid = 6180;  // paid in part
    return true;
  }));
  store::ReadOrder(app, app.order, position);
  store::SetTaxRate(app.parameters, 0, 2, 50);
  store::SetTaxRate(app.parameters, 0, 3, 160);

  std::int32_t creditNote = 0;
  ASSERT_TRUE(orders::CancelInvoice(app, "07.12.2026", creditNote));
  ASSERT_GT(creditNote, invoice);
  const store::IssueBook book = Book();
  const store::IssueRecord* original = book.find(invoice);
  const store::IssueRecord* credit = book.find(creditNote);
  ASSERT_NE(original, nullptr);
  ASSERT_NE(credit, nullptr);
  EXPECT_EQ(+credit->kind, store::kIssuedCreditNote);
  EXPECT_TRUE(credit->flags & store::kIssueCancellation);
  EXPECT_EQ(credit->precedingInvoice, invoice);
  EXPECT_EQ(store::GetText(credit->precedingDate), "15.06.2026");
  EXPECT_EQ(store::GetText(credit->invoiceDate), "07.12.2026");
  for (int c = 0; c < store::kIssueClasses; ++c) {
    EXPECT_EQ(credit->classes[c].rate, original->classes[c].rate) << c;
    EXPECT_EQ(credit->classes[c].net, -original->classes[c].net) << c;
    EXPECT_EQ(credit->classes[c].tax, -original->classes[c].tax) << c;
  }
  EXPECT_EQ(credit->total, -16180);
  // Its first line names the invoice; the rest are the invoice's lines.
  EXPECT_EQ(store::GetText(app.orderLines[1].description1),
            "Storno der Rechnung Nr. " + std::to_string(invoice));
  EXPECT_EQ(app.orderLines[2].quantity, -1.0);
  // Open items: the invoice is settled, the 61.80 paid stays owed back.
  store::OrderHead head{};
  store::ReadOrder(app, head, position);
  EXPECT_EQ(head.paid, head.total);
  EXPECT_EQ(store::GetText(head.account), orders::kCancelledNote);
  EXPECT_EQ(app.order.total - app.order.paid, -6180);
  EXPECT_TRUE(app.order.flags & store::kOrderBooked);  // no stock comes back

  // The journal of the year lists both with the issued rates: zero in all.
  const reports::Journal journal = reports::CollectJournal(app, "01.01.2026", "31.12.2026", {});
  ASSERT_EQ(journal.rows.size(), 2u);
  EXPECT_EQ(journal.rows[0].figures.tax1, 280);
  EXPECT_EQ(journal.rows[0].figures.tax2, 1900);
  EXPECT_EQ(journal.rows[0].rate2, 190);
  EXPECT_EQ(journal.totals[0].sum.gross, 0);
  EXPECT_EQ(journal.totals[0].sum.net, 0);
  EXPECT_EQ(journal.totals[0].sum.tax1 + journal.totals[0].sum.tax2, 0);

  // Neither again, nor the credit note, nor a draft.
  store::ReadOrder(app, app.order, position);
  ui.shown.clear();
  EXPECT_FALSE(orders::CancelInvoice(app, "08.12.2026", creditNote));
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("schon mit der Gutschrift"), std::string::npos);
  NewOrder();
  ui.shown.clear();
  EXPECT_FALSE(orders::CancelInvoice(app, "08.12.2026", creditNote));
  EXPECT_NE(ui.texts().at(0).find("keine ausgestellte Rechnung"), std::string::npos);
  EXPECT_EQ(Book().records().size(), 2u);
}

// The order pane keeps an issued invoice as it was issued: no line is
// added, removed or taken back, no changed field is saved; only its dunning
// level may still be saved. "Kopieren" gives a new order to change.
TEST_F(IssueBookTest, AnIssuedInvoiceCannotBeChangedOnlyCopied) {
  NewOrder();
  ASSERT_TRUE(Issue("15.06.2026"));
  orders::OrderEditor editor(app);
  const std::int32_t invoice = app.order.orderNumber;
  const std::string refusal = orders::IssuedInvoiceRefusal(invoice, "geändert");
  int level = 0;
  editor.setDunningLevelSource([&level] { return level; });
  struct Attempt {
    const char* what;
    std::function<bool()> run;
  };
  const std::vector<Attempt> attempts = {
      {"append", [&] { return editor.appendLine(); }},
      {"take back", [&] { return editor.editLine(0); }},
      {"delete line", [&] { editor.select(0); editor.deleteLine(); return app.order.lineCount != 2; }},
      {"save a changed price", [&] {
         app.orderLines[1].salePrice = 1;
         editor.save(true);
         return Stored().total != 16180;
       }},
      {"save another date", [&] {
         store::ReadOrder(app, app.order, app.orders.position);
         store::SetText(app.order.orderDate, "01.01.2026");
         editor.save(true);
         return store::GetText(Stored().orderDate) == "01.01.2026";
       }},
  };
  for (const Attempt& attempt : attempts) {
    SCOPED_TRACE(attempt.what);
    store::ReadOrder(app, app.order, app.orders.position);
    ui.shown.clear();
    EXPECT_FALSE(attempt.run());
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_EQ(ui.texts()[0], refusal);
  }
  store::ReadOrder(app, app.order, app.orders.position);
  level = 2;
  ui.shown.clear();
  editor.save(true);
  EXPECT_TRUE(ui.texts().empty());
  EXPECT_EQ(+Stored().dunningLevel, 2);
  EXPECT_EQ(Book().records().size(), 1u);

  std::int32_t copy = 0;
  ASSERT_TRUE(orders::CopyOrder(app, copy));
  EXPECT_GT(copy, invoice);
  EXPECT_EQ(+app.order.flags, 0);
  EXPECT_EQ(+app.order.lineCount, 2);
  EXPECT_EQ(app.order.total, 16180);
  EXPECT_TRUE(editor.appendLine());
}

// Settling writes off issued invoices only; a delivery note that a
// collective invoice bills is never printed as an invoice of its own.
TEST_F(IssueBookTest, OnlyIssuedInvoicesAreSettledAndBilledDeliveryNotesNotInvoicedAgain) {
  NewOrder();  // a quotation
  const std::int32_t first = app.order.orderNumber;
  NewOrder();
  ASSERT_TRUE(Issue("15.06.2026"));
  NewOrder();
  std::int32_t at = app.orders.position;
  app.order.flags |= store::kOrderDeliveryNotePrinted | store::kOrderCollectivelyBilled;
  ASSERT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  int settled = 0;
  ASSERT_EQ(orders::SettleOpenItems(app, first, first + 10, true, &settled), 1);
  EXPECT_EQ(settled, 1);

  store::ReadOrder(app, app.order, at);
  ui.shown.clear();
  EXPECT_FALSE(Issue("16.06.2026"));
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("mit einer Sammelrechnung berechnet"), std::string::npos);
  EXPECT_EQ(Stored().flags & store::kOrderInvoicePrinted, 0);
  EXPECT_EQ(Book().records().size(), 1u);
}

TEST(Sha256Test, KnownDigests) {
  EXPECT_EQ(frame::HexDigest(frame::Sha256Of("")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(frame::HexDigest(frame::Sha256Of("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the first block.
  EXPECT_EQ(frame::HexDigest(frame::Sha256Of(
                "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  // A million times "a": many blocks and the padding in a block of its own.
  frame::Sha256 sha;
  const std::string a(1000, 'a');
  for (int i = 0; i < 1000; ++i) sha.add(a);
  EXPECT_EQ(frame::HexDigest(sha.finish()),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
