// Statements booked onto the order file: each transaction once, whole or
// not at all, whatever the format, a second reading or a kill in between.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bank/bank_import.h"
#include "bank/booked_transactions.h"
#include "bank/statement_file.h"
#include "bank/transaction_identity.h"
#include "bank/bank_book.h"
#include "reports/invoice_journal.h"
#include "support/bank_statements.h"

namespace {

using banktest::BankBook;
using testsupport::Booking;

struct Expected {
  std::int32_t order;
  std::int32_t paid;
  bool discountTaken;
};

// The invoices of every statement case and what they are paid afterwards.
struct Scene {
  std::vector<Booking> bookings;
  std::vector<Expected> expected;
  std::vector<bank::Action> actions;
};

Booking B(const std::string& date, std::int64_t cents, const std::string& name, const std::string& text) {
  Booking b;
  b.date = date;
  b.cents = cents;
  b.name = name;
  b.text = text;
  return b;
}

Scene Build(BankBook& book, bool mt940) {
  Scene s;
  auto n = [](std::int32_t number) { return std::to_string(number); };
  auto add = [&](Booking b, bank::Action action) {
    s.bookings.push_back(std::move(b));
    s.actions.push_back(action);
  };
  const std::int32_t exact = book.issued("Meier GmbH", 11900);
  add(B("2026-12-04", 11900, "Meier GmbH", "Rechnung " + n(exact)), bank::Action::Booked);
  s.expected.push_back({exact, 11900, false});
  const std::int32_t early = book.issued("Gärtnerei Schulz", 10000, 20, 10);
  add(B("2026-12-05", 9800, "Gaertnerei Schulz", "RE " + n(early)), bank::Action::Booked);
  s.expected.push_back({early, 10000, true});
  const std::int32_t late = book.issued("Wagner", 10000, 20, 10);
  add(B("2026-12-20", 9800, "Wagner", "RE " + n(late)), bank::Action::Booked);
  s.expected.push_back({late, 9800, false});
  const std::int32_t part = book.issued("Huber", 20000);
  add(B("2026-12-05", 5000, "Huber", "Abschlag " + n(part)), bank::Action::Booked);
  s.expected.push_back({part, 5000, false});
  const std::int32_t over = book.issued("Becker", 3000);
  add(B("2026-12-05", 3500, "Becker", n(over)), bank::Action::Booked);
  s.expected.push_back({over, 3500, false});
  const std::int32_t first = book.issued("Klein", 1000), second = book.issued("Klein", 2000);
  add(B("2026-12-05", 3000, "Klein", "Rechnungen " + n(first) + " und " + n(second)), bank::Action::Booked);
  s.expected.push_back({first, 1000, false});
  s.expected.push_back({second, 2000, false});
  const std::int32_t credit = book.issued("Zimmer", -5950);
  add(B("2026-12-05", -5950, "Zimmer", "Gutschrift " + n(credit)), bank::Action::Booked);
  s.expected.push_back({credit, -5950, false});
  const std::int32_t quoted = book.quotation("Lang", 4242);
  add(B("2026-12-05", 4242, "Lang", "Angebot " + n(quoted)), bank::Action::Unmatched);
  s.expected.push_back({quoted, 0, false});
  // Two equal transfers on one day are both real.
  const std::int32_t twice = book.issued("Roth", 2000);
  add(B("2026-12-05", 1000, "Roth", "Rechnung " + n(twice)), bank::Action::Booked);
  add(B("2026-12-05", 1000, "Roth", "Rechnung " + n(twice)), bank::Action::Booked);
  s.expected.push_back({twice, 2000, false});
  if (!mt940) {
    // MT940 states the account's currency only, and marks no reversal.
    const std::int32_t dollars = book.issued("Fuchs", 7700);
    Booking usd = B("2026-12-05", 7700, "Fuchs", "Rechnung " + n(dollars));
    usd.currency = "USD";
    add(usd, bank::Action::Proposed);
    s.expected.push_back({dollars, 0, false});
    Booking returned = B("2026-12-06", -11900, "Meier GmbH", "Ruecklastschrift Rechnung " + n(exact));
    returned.reversal = true;
    add(returned, bank::Action::Proposed);
  }
  return s;
}

// Every invoice once in the journal, and the open items what the
// payments left.
void ExpectBooksCountEachEuroOnce(BankBook& book, const Scene& scene) {
  const reports::Journal journal = reports::CollectJournal(book.app, "01.01.2026", "31.12.2026");
  std::map<std::int32_t, int> rows;
  for (const reports::JournalRow& row : journal.rows) ++rows[row.orderNumber];
  bank::Ledger ledger;
  ASSERT_TRUE(bank::LoadLedger(book.app, ledger));
  std::map<std::int32_t, std::int64_t> open;
  for (const bank::OpenItem& item : ledger.items) open[item.head.orderNumber] = bank::OpenAmount(item.head);
  for (const Expected& e : scene.expected) {
    SCOPED_TRACE(e.order);
    const store::OrderHead head = book.stored(e.order);
    EXPECT_EQ(head.paid, e.paid);
    EXPECT_EQ(head.cashDiscountTaken != 0, e.discountTaken);
    if (!ledger.unissued.count(e.order)) {
      EXPECT_EQ(rows[e.order], 1);
      EXPECT_EQ(open.at(e.order), std::int64_t{head.total} - e.paid);
    }
  }
}

TEST(BankBooking, EveryCaseBookedOnceInBothFormats) {
  for (const bool mt940 : {false, true}) {
    SCOPED_TRACE(mt940 ? "MT940" : "CAMT.053");
    BankBook book;
    const Scene scene = Build(book, mt940);
    const std::string bytes = mt940 ? testsupport::Mt940(scene.bookings) : testsupport::Camt(scene.bookings);
    bank::Statement statement;
    std::string error;
    ASSERT_TRUE(bank::ReadStatement(bytes, statement, error)) << error;
    ASSERT_EQ(statement.transactions.size(), scene.bookings.size());

    // Looking changes nothing.
    std::vector<bank::ImportLine> lines;
    ASSERT_TRUE(bank::ImportStatement(book.app, statement, false, "Bank", lines));
    for (const Expected& e : scene.expected) EXPECT_EQ(book.paid(e.order), 0);
    EXPECT_FALSE(std::filesystem::exists(book.dir.file("BANKUMS.DAT")));
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].match.action, scene.actions[i]) << i << " " << lines[i].match.reason;

    // The order the panes show keeps its place and shows what was paid on it.
    const std::int32_t position = book.app.orders.position, shown = book.app.order.orderNumber;
    ASSERT_TRUE(bank::ImportStatement(book.app, statement, true, "Bank", lines));
    EXPECT_EQ(book.app.orders.position, position);
    EXPECT_EQ(book.app.order.paid, book.paid(shown));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].match.action, scene.actions[i]) << i;
      EXPECT_EQ(lines[i].booked.empty(), scene.actions[i] != bank::Action::Booked) << i;
    }
    ExpectBooksCountEachEuroOnce(book, scene);
    EXPECT_EQ(std::string(store::GetText(book.stored(scene.expected[0].order).paymentDate)), "04.12.2026");
    EXPECT_EQ(std::string(store::GetText(book.stored(scene.expected[0].order).account)), "Bank");

    // Read again, by another copy of the program: all known, nothing booked.
    frame::AppState other = book.OtherCopy(book.dir.path());
    ASSERT_TRUE(bank::ImportStatement(other, statement, true, "Bank", lines));
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (scene.actions[i] == bank::Action::Booked) { EXPECT_EQ(lines[i].match.action, bank::Action::Already) << i; }
    ExpectBooksCountEachEuroOnce(book, scene);
  }
}

// A later statement that repeats a day of the earlier one books only what
// is new on it.
TEST(BankBooking, OverlappingStatementsBookOnlyWhatIsNew) {
  BankBook book;
  const std::int32_t a = book.issued("Meier", 1000), b = book.issued("Schulz", 2000);
  const Booking first = B("2026-12-04", 1000, "Meier", "Rechnung " + std::to_string(a));
  const Booking second = B("2026-12-05", 500, "Schulz", "Rechnung " + std::to_string(b));
  bank::Statement statement;
  std::string error;
  std::vector<bank::ImportLine> lines;
  ASSERT_TRUE(bank::ReadStatement(testsupport::Mt940({first}), statement, error));
  ASSERT_TRUE(bank::ImportStatement(book.app, statement, true, "Bank", lines));
  ASSERT_TRUE(bank::ReadStatement(testsupport::Mt940({first, second}), statement, error));
  ASSERT_TRUE(bank::ImportStatement(book.app, statement, true, "Bank", lines));
  EXPECT_EQ(lines[0].match.action, bank::Action::Already);
  EXPECT_EQ(lines[1].booked.size(), 1u);
  EXPECT_EQ(book.paid(a), 1000);
  EXPECT_EQ(book.paid(b), 500);
}

// Every file call of a booking run fails from the Nth on, as when the
// program is killed there: no order holds a part of a transaction for
// good. The next run finishes what was begun, and afterwards every
// payment is on its invoice exactly once.
class KilledAt : public platform::FileSystem {
 public:
  explicit KilledAt(int at) : at_(at) {}
  bool injectFault(platform::IoOp, const std::string&) override {
    if (++calls_ < at_) return false;
    errno = EIO;  // a dead program waits for no lock
    return true;
  }
  bool reached() const { return calls_ >= at_; }

 private:
  int at_;
  int calls_ = 0;
};

TEST(BankBooking, AKillAtEveryFileCallLeavesNothingHalfBooked) {
  BankBook original;
  const Scene scene = Build(original, true);
  const std::string bytes = testsupport::Mt940(scene.bookings);
  bank::Statement statement;
  std::string error;
  ASSERT_TRUE(bank::ReadStatement(bytes, statement, error));
  int runs = 0;
  for (int at = 1;; ++at) {
    SCOPED_TRACE(at);
    BankBook book;  // a fresh copy of the original directory
    for (const auto& file : std::filesystem::directory_iterator(original.dir.path()))
      std::filesystem::copy(file.path(), book.dir.file(file.path().filename().string()),
                            std::filesystem::copy_options::overwrite_existing |
                                std::filesystem::copy_options::recursive);
    KilledAt killed(at);
    frame::AppState dying = book.OtherCopy(book.dir.path());
    dying.fileSystem = &killed;
    dying.retry.bound = dying.retry.missingGrace = std::chrono::milliseconds(0);
    std::vector<bank::ImportLine> lines;
    bank::ImportStatement(dying, statement, true, "Bank", lines);
    // In between: every transaction is on none of its orders, on all of
    // them, or begun in BANKUMS.DAT for the next run to finish.
    bank::BookedTransactions booked;
    frame::AppState looking = book.OtherCopy(book.dir.path());
    ASSERT_TRUE(booked.read(looking));
    const std::vector<std::string> ids = bank::TransactionIdentities(statement.transactions);
    std::map<std::string, bool> begun;
    for (const bank::BookedTransaction& p : booked.pending()) begun[p.identity] = true;
    for (std::size_t i = 0; i < scene.bookings.size(); ++i) {
      const bank::BookedTransaction* entry = booked.find(ids[i]);
      if (entry && entry->state == bank::BookedTransaction::State::Booked) continue;
      if (begun[ids[i]]) continue;
      // Neither booked nor begun: the transfer's orders are untouched
      // unless another transfer of the run paid them (the two of Roth).
      if (scene.bookings[i].name == "Klein") {
        EXPECT_EQ(book.paid(scene.expected[5].order), 0);
        EXPECT_EQ(book.paid(scene.expected[6].order), 0);
      }
    }
    // The next run, undisturbed, books everything once.
    frame::AppState next = book.OtherCopy(book.dir.path());
    ASSERT_TRUE(bank::ImportStatement(next, statement, true, "Bank", lines));
    ExpectBooksCountEachEuroOnce(book, scene);
    ASSERT_TRUE(booked.read(looking));
    EXPECT_TRUE(booked.pending().empty());
    ++runs;
    if (!killed.reached()) break;
  }
  EXPECT_GT(runs, 20);
}

}  // namespace
