// A copy killed at any write of issuing a collective invoice or of booking:
// the next start finishes or takes back what it left, the next run does
// the rest, and nothing is billed or moved twice. Journals that name
// anything but what they may are refused, changing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "maintenance/maintenance_test_support.h"
#include "maintenance/structure_test.h"
#include "orders/booking.h"
#include "orders/booking_journal.h"
#include "orders/collective_invoice.h"
#include "orders/collective_journal.h"
#include "orders/issue_statement.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;
using Files = std::map<std::string, std::vector<std::uint8_t>>;
constexpr std::uint16_t kDelivered = store::kOrderDeliveryNotePrinted;

Files Snapshot(const std::string& folder) {
  Files files;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.is_regular_file()) files[e.path().filename().string()] = testsupport::ReadBytes(e.path().string());
  return files;
}

void Restore(const std::string& folder, const Files& files) {
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.is_regular_file() && !files.count(e.path().filename().string()))
      std::filesystem::remove(e.path());
  for (const auto& [name, bytes] : files) testsupport::WriteBytes(folder + name, bytes);
}

// Meier's three delivery notes, one of them on an article.
struct Notes : testsupport::OrderBook {
  Notes() {
    meier = customer("Meier");
    a1 = article("A-1", 10);
    for (const std::vector<BookLine>& lines :
         {std::vector<BookLine>{{2, 1000, a1}}, {{1, 250}, {3, 50}}, {{1, 700}}})
      notes.push_back(+order(meier, kDelivered, lines).orderNumber);
  }
  orders::CollectionRequest request() const {
    return {static_cast<std::uint32_t>(meier), notes.front(), notes.back(), false, "06.12.2026"};
  }
  // A start of another copy: what it finds and finishes.
  frame::AppState start() {
    frame::AppState next = OtherCopy(dir.path());
    next.ui = &ui;
    next.address = app.address;
    next.addresses = app.addresses;
    EXPECT_TRUE(orders::CompleteIssueBook(next));
    return next;
  }
  std::int32_t meier = 0, a1 = 0;
  std::vector<std::int32_t> notes;
};

bool IssueCollective(frame::AppState& app, const orders::CollectionRequest& request) {
  orders::Collection collection;
  if (!orders::CollectOrders(app, request, collection)) return false;
  orders::CollectionInPane pane(app, collection);
  if (!orders::IssueCollection(app, collection)) return false;
  pane.issued();
  return pane.printed();
}

TEST(KilledIssue, ACollectiveInvoiceIsIssuedWholeOnceWhereverItWasKilled) {
  Notes book;
  const std::int32_t number = static_cast<std::int32_t>(book.app.nextOrderNumber);
  const Files before = Snapshot(book.dir.path());
  int n = 1;
  for (;; ++n) {
    SCOPED_TRACE("killed at write " + std::to_string(n));
    Restore(book.dir.path(), before);
    book.ui.shown.clear();
    const bool ended = testsupport::RunsToTheEnd(n, [&](platform::FileSystem& fs) {
      book.app.fileSystem = &fs;
      IssueCollective(book.app, book.request());
    });
    // The next start, then the next collective invoice of the same notes:
    // issued only when the killed one was not.
    frame::AppState next = book.start();
    const bool wasIssued = orders::FindIssueRecord(next, number).has_value();
    book.ui.shown.clear();
    EXPECT_EQ(IssueCollective(next, book.request()), !wasIssued);
    // One collective invoice, with the first number, billing every note once.
    EXPECT_EQ(maintenance::FindStructureProblems(next), std::vector<std::string>{});
    EXPECT_TRUE(orders::FindIssueRecord(next, number).has_value());
    EXPECT_FALSE(orders::FindIssueRecord(next, number + 1).has_value());
    EXPECT_EQ(+book.stored(number).flags, store::kOrderCollectiveInvoice | store::kOrderInvoicePrinted);
    EXPECT_EQ(+book.stored(number).total, 2000 + 250 + 150 + 700);
    EXPECT_EQ(+book.stored(number).customerRef, book.meier);
    for (std::int32_t note : book.notes)
      EXPECT_EQ(+book.stored(note).flags, kDelivered | store::kOrderCollectivelyBilled) << note;
    EXPECT_FALSE(std::filesystem::exists(book.dir.file("SAMMEL.JNL")));
    if (ended) break;
    ASSERT_LT(n, 60);
  }
  EXPECT_GT(n, 8);
}

TEST(KilledIssue, BookingMovesStockAndTurnoverOnceWhereverItWasKilled) {
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier");
  const std::int32_t a = book.article("A", 10), b = book.article("B", 10);
  const std::int32_t first =
      book.order(meier, kDelivered, {{2, 250, a}, {1, 100}, {3, 100, b}}).orderNumber;
  const std::int32_t second = book.order(meier, kDelivered, {{1, 400, a}}).orderNumber;
  const Files before = Snapshot(book.dir.path());
  int n = 1;
  for (;; ++n) {
    SCOPED_TRACE("killed at write " + std::to_string(n));
    Restore(book.dir.path(), before);
    const bool ended = testsupport::RunsToTheEnd(n, [&](platform::FileSystem& fs) {
      book.app.fileSystem = &fs;
      orders::BookDeliveredOrders(book.app);
    });
    frame::AppState next = book.OtherCopy(book.dir.path());
    next.ui = &book.ui;
    ASSERT_TRUE(orders::CompleteIssueBook(next));
    orders::BookDeliveredOrders(next);
    EXPECT_EQ(book.stock(a), 7);
    EXPECT_EQ(book.stock(b), 7);
    EXPECT_EQ(+book.address(meier).turnover, 500 + 100 + 300 + 400);
    EXPECT_EQ(book.stored(first).flags & store::kOrderBooked, store::kOrderBooked);
    EXPECT_EQ(book.stored(second).flags & store::kOrderBooked, store::kOrderBooked);
    EXPECT_EQ(maintenance::FindStructureProblems(next), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(book.dir.file("BUCHUNG.JNL")));
    if (ended) break;
    ASSERT_LT(n, 80);
  }
  EXPECT_GT(n, 8);
}

// A journal a start finds is carried out only when it names what it may:
// anything else is refused with a message and changes nothing.
TEST(KilledIssue, AJournalThatNamesAnythingElseIsRefused) {
  struct Case {
    const char* name;
    const char* file;
    std::string text;
  };
  const Case cases[] = {
      {"a file outside the directory", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\n../victim.txt 0 41 42\n"},
      {"an index instead of a record file", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\nARTIKEL.IDX 0 00 01\n"},
      {"a path into the directory", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\n./ARTIKEL.DAT 0 00 01\n"},
      {"an offset past the end", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\nARTIKEL.DAT 999999 00 01\n"},
      {"bytes neither before nor after", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\nARTIKEL.DAT 0 FFFF EEEE\n"},
      {"before and after of different lengths", "BUCHUNG.JNL",
       "BELVON-BUCHUNG\nAuftrag 1\nARTIKEL.DAT 0 00 0001\n"},
      {"another journal's first line", "SAMMEL.JNL", "BELVON-TAUSCH\n../victim.txt\n"},
      {"an unknown line", "SAMMEL.JNL", "BELVON-SAMMEL\nRechnung 5\nZaehler 4\nDatei ../x\n"},
      {"a note that is no number", "SAMMEL.JNL",
       "BELVON-SAMMEL\nRechnung 5\nZaehler 4\nLieferschein -3\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Notes book;
    testsupport::WriteBytes(book.dir.file("victim.txt"), {'A'});
    testsupport::WriteBytes(book.dir.file(c.file),
                            std::vector<std::uint8_t>(c.text.begin(), c.text.end()));
    Files before = Snapshot(book.dir.path());
    book.ui.shown.clear();
    frame::AppState next = book.OtherCopy(book.dir.path());
    next.ui = &book.ui;
    EXPECT_FALSE(orders::CompleteIssueBook(next));
    ASSERT_FALSE(book.ui.shown.empty());
    EXPECT_NE(book.ui.shown.front().text.find(c.file), std::string::npos)
        << book.ui.shown.front().text;
    // The book of issued invoices is made at the first start; nothing else changes.
    Files after = Snapshot(book.dir.path());
    after.erase("AUSGANG.DAT");
    before.erase("AUSGANG.DAT");
    EXPECT_EQ(after, before);
  }
}

}  // namespace
