// BANKUMS.DAT as another run left it: a line cut off, a line damaged, a
// file that is none of ours.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "bank/booked_transactions.h"
#include "support/test_app.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(BookedTransactions, CutAndDamagedLinesAreLeftOutAndNeverFollowed) {
  testsupport::TestApp t;
  const std::string path = t.dir.file(bank::kBookedTransactionsName);
  bank::BookedTransaction entry;
  entry.identity = "a1";
  entry.date = "04.12.2026";
  entry.cents = 11900;
  entry.account = "Giro";
  entry.plan = {{126120001, 11900, true}};
  {
    bank::BookedTransactions booked;
    ASSERT_TRUE(booked.hold(t.app));
    ASSERT_TRUE(booked.planned(entry));
    entry.identity = "b2";
    ASSERT_TRUE(booked.planned(entry));
  }
  const std::string whole = Read(path);
  const std::size_t second = whole.find("\nP\tb2") + 1;
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> pending;
    int damaged;
  };
  std::string flipped = whole;
  flipped[second + 8] = flipped[second + 8] == '1' ? '2' : '1';  // a digit of the date
  const std::vector<Case> cases = {
      {"whole", whole, {"a1", "b2"}, 0},
      {"second cut off", whole.substr(0, whole.size() - 5), {"a1"}, 0},
      {"second damaged", flipped, {"a1"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
    {
    bank::BookedTransactions booked;  // held until the block ends
    ASSERT_TRUE(booked.hold(t.app));
    std::vector<std::string> pending;
    for (const bank::BookedTransaction& p : booked.pending()) pending.push_back(p.identity);
    EXPECT_EQ(pending, c.pending);
    EXPECT_EQ(booked.damaged(), c.damaged);
    ASSERT_EQ(booked.find("a1")->plan, entry.plan);
    EXPECT_EQ(booked.find("a1")->account, "Giro");
    // The next line follows the last whole one: read again, all is there.
    ASSERT_TRUE(booked.finished("a1"));
    }
    bank::BookedTransactions again;
    ASSERT_TRUE(again.read(t.app));
    EXPECT_EQ(again.find("a1")->state, bank::BookedTransaction::State::Booked);
    // A damaged last line is no more than a cut-off one: the append cut it away.
    EXPECT_EQ(again.damaged(), 0);
  }

  // A file of another kind under the name is neither read nor written.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "Kontoauszug Dezember\n";
  bank::BookedTransactions foreign;
  EXPECT_FALSE(foreign.hold(t.app));
  EXPECT_EQ(Read(path), "Kontoauszug Dezember\n");
  ASSERT_EQ(t.ui.texts().size(), 1u);
  EXPECT_NE(t.ui.texts()[0].find("Es wird nichts gebucht"), std::string::npos);
}

}  // namespace
