// A read or a write that fails half way through an operation leaves the files
// wholly as they were or wholly as they should become. For N = 1, 2, ... the
// Nth read (or write) fails; afterwards the whole data directory is described
// (every entry with the record it points at, every reference by the key of
// the record it reaches) and must equal the state before or the state after,
// and the result must say which.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "maintenance/maintenance_test_support.h"
#include "orders/issuing.h"
#include "orders/order_editor.h"
#include "orders/payments.h"
#include "store/bytes.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/discount_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"
#include "support/failing_file_system.h"

namespace {

using platform::IoOp;
using testsupport::ReadAt;
using testsupport::ReadBytes;
using Bytes = std::vector<std::uint8_t>;

std::string TextAt(const Bytes& bytes, std::size_t offset, std::size_t width) {
  if (offset + width > bytes.size()) return "<fehlt>";
  return std::string(store::GetText(reinterpret_cast<const char*>(bytes.data()) + offset, width));
}

class FaultInjectionTest : public testsupport::StoreTest {
 protected:
  // Articles 10 30 50 70 and ab, addresses Meier and Schulz, an order of
  // Meier with a line of article 30, and discounts of Meier on 30 and 50.
  FaultInjectionTest() {
    for (const char* number : {"10", "30", "50", "70", "ab"}) Add(testsupport::MakeArticle(number, number));
    for (const char* name : {"Meier", "Schulz"}) Add(testsupport::MakeAddress(name));
    testsupport::AddOrder(app, 0, {{"dreißig", 520, "30", 50}, {"frei"}});
    app.addresses.entry.offset = 0;
    store::AppendDiscount(app, app.orderLines[1]);
    store::OrderLine fifty = testsupport::MakeLine({"", 1040, "50", 70});
    store::AppendDiscount(app, fifty);
  }

  // Every entry with what its record holds, every reference by the key of
  // the record it reaches through the index ("?" when none), and the counter.
  std::string Describe() {
    std::string out;
    std::map<std::uint32_t, std::string> articleAt, addressAt;
    // A text-keyed index: the key (with what follows it in the record when
    // `showAt`), "!" when the record does not carry the key.
    auto keyed = [&](const char* kind, const auto& entries, const Bytes& data, std::size_t keyAt,
                     std::size_t showAt, std::map<std::uint32_t, std::string>& byOffset) {
      for (const auto& e : entries) {
        std::string key(store::GetText(e.key, sizeof e.key));
        if (TextAt(data, e.offset + keyAt, sizeof e.key) != key) out += "!";
        out += kind + key + (showAt ? " " + TextAt(data, e.offset + showAt, 42) : "") + "\n";
        byOffset[+e.offset] = key;  // a copy: the packed member may be misaligned
      }
    };
    keyed("A ", testsupport::IndexEntries<store::ArticleIndexEntry>(dir.file("ARTIKEL.IDX"), 4),
          ReadBytes(dir.file("ARTIKEL.DAT")), 2, 24, articleAt);
    keyed("K ", testsupport::IndexEntries<store::AddressIndexEntry>(dir.file("KUNDEN.IDX"), 2),
          ReadBytes(dir.file("KUNDEN.DAT")), 56, 0, addressAt);
    auto name = [](const std::map<std::uint32_t, std::string>& at, std::int32_t ref) {
      if (ref < 0) return std::string("-");
      auto it = at.find(static_cast<std::uint32_t>(ref));
      return it == at.end() ? "?" + std::to_string(ref) : it->second;
    };
    const Bytes orders = ReadBytes(dir.file("RECHNUNG.DAT"));
    for (const auto& e : testsupport::IndexEntries<store::OrderIndexEntry>(dir.file("RECHNUNG.IDX"), 2)) {
      if (e.offset + 80 > orders.size()) {
        out += "!R " + std::to_string(e.orderNumber) + "\n";
        continue;
      }
      const auto head = ReadAt<store::OrderHead>(orders, e.offset);
      if (head.orderNumber != e.orderNumber || head.customerRef != static_cast<std::int32_t>(e.customerRef))
        out += "!";
      out += "R " + std::to_string(e.orderNumber) + " " + name(addressAt, head.customerRef);
      for (int l = 0; l < head.lineCount; ++l) {
        const std::size_t at = e.offset + 80 + l * 402u;
        out += " | " + TextAt(orders, at + 32, 42) + " " +
               name(articleAt, ReadAt<store::OrderLine>(orders, at).articleRef) + "/" + TextAt(orders, at + 10, 22);
      }
      out += "\n";
    }
    const Bytes discounts = ReadBytes(dir.file("RABATT.DAT"));
    for (std::size_t at = 0; at + 10 <= discounts.size(); at += 10) {
      const auto entry = ReadAt<store::DiscountEntry>(discounts, at);
      out += "D " + name(addressAt, entry.customerRef) + " " + name(articleAt, entry.articleRef) + "\n";
    }
    return out + "Zähler " + std::to_string(ReadAt<std::uint32_t>(ReadBytes(dir.file("BELVON.PAR")), 0));
  }

  std::map<std::string, Bytes> SaveFiles() {
    std::map<std::string, Bytes> files;
    for (const auto& item : std::filesystem::directory_iterator(dir.path()))
      files[item.path().string()] = ReadBytes(item.path().string());
    return files;
  }
  void RestoreFiles(const std::map<std::string, Bytes>& files) {
    for (const auto& [path, bytes] : files) testsupport::WriteBytes(path, bytes);
  }

  // Runs `operation` once without faults for the state after, then once per
  // N with the Nth call of `kind` failing, until the operation no longer
  // reaches the Nth call.
  void CountDown(IoOp kind, const std::function<int()>& operation) {
    const auto files = SaveFiles();
    const frame::AppState started = app;
    const std::string before = Describe();
    ASSERT_EQ(operation(), 1);
    const std::string after = Describe();
    ASSERT_NE(before, after);
    // "!" marks an entry whose record does not carry its key.
    ASSERT_EQ((before + after).find('!'), std::string::npos) << before << "\n" << after;
    for (int n = 1;; ++n) {
      SCOPED_TRACE((kind == IoOp::Read ? "read " : "write ") + std::to_string(n));
      RestoreFiles(files);
      app = started;
      app.ui = &ui;
      testsupport::FailingFileSystem faults(kind, n);
      app.fileSystem = &faults;
      const int result = operation();
      app.fileSystem = &platform::SystemFileSystem();
      EXPECT_EQ(Describe(), result == 1 ? after : before) << "result " << result;
      if (!faults.reached()) {
        EXPECT_EQ(result, 1);
        break;
      }
      ASSERT_LT(n, 200) << "the countdown never ends";
    }
    RestoreFiles(files);
    app = started;
  }

  // The record as the user had it on screen before the operation: read
  // with no fault injected.
  template <typename Read>
  void ReadUnfaulted(Read read) {
    platform::FileSystem* faulty = app.fileSystem;
    app.fileSystem = &platform::SystemFileSystem();
    read();
    app.fileSystem = faulty;
  }
  int ChangeNumber(const char* from, const char* to) {
    std::int32_t position = -1;
    store::ArticleRecord article{};
    ReadUnfaulted([&] {
      ASSERT_EQ(store::FindArticleByNumber(app, testsupport::MakeArticle(from), position), 1);
      ASSERT_EQ(store::ReadArticle(app, article, position), 1);
    });
    store::SetText(article.number, to);
    return store::WriteArticle(app, article, position, false);
  }
};

TEST_F(FaultInjectionTest, EveryOperationIsAllOrNothingWhateverCallFails) {
  struct Case {
    const char* name;
    std::function<int()> operation;
  };
  const Case cases[] = {
      {"insert an article",
       [&] {
         std::int32_t position = -1;
         return store::WriteArticle(app, testsupport::MakeArticle("40", "vierzig"), position, true);
       }},
      {"delete an article",
       [&] {
         std::int32_t position = 1;
         return store::DeleteArticle(app, position);
       }},
      {"change an article number", [&] { return ChangeNumber("30", "55"); }},
      {"change only the case of a number", [&] { return ChangeNumber("ab", "AB"); }},
      {"change name 2 of an address",
       [&] {
         store::AddressRecord meier{};
         std::int32_t position = 0;
         ReadUnfaulted([&] { ASSERT_EQ(store::ReadAddress(app, meier, position), 1); });
         store::SetText(meier.name2, "Zander");
         return store::WriteAddress(app, meier, position, false);
       }},
      {"rewrite an order in place",
       [&] {
         store::OrderHead head{};
         ReadUnfaulted([&] { ASSERT_EQ(store::ReadOrder(app, head, 0), 1); });
         store::SetText(app.orderLines[2].description1, "geändert");
         std::int32_t position = 0;
         return store::StoreOrder(app, head, position, store::StoreMode::Rewrite);
       }},
      {"store a new order", [&] {
         int stored = 0;
         testsupport::AddOrder(app, 1192, {{"zwei"}, {"drei"}}, &stored);
         return stored;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (IoOp kind : {IoOp::Read, IoOp::Write}) CountDown(kind, c.operation);
  }
}

// The checks before a store read the index (and the addresses): a read that
// fails never answers "free" (0), so the store that follows them is not made.
TEST_F(FaultInjectionTest, AKeyCheckThatCannotReadNeverAnswersFree) {
  Add(testsupport::MakeAddress("Kunz", "7"));
  auto customerNumber = [&] {
    store::AddressRecord clash = testsupport::MakeAddress("Neu", "7");
    int result = store::MakeCustomerNumberUnique(app, clash);
    return std::to_string(result) + " " + std::string(store::GetText(clash.customerNumber));
  };
  struct Case {
    std::function<std::string()> check;
    std::string sound, unreadable;
  };
  const Case cases[] = {
      {[&] { return std::to_string(store::ArticleNumberExists(app, testsupport::MakeArticle("50"), true)); },
       "1", "-1"},
      {[&] { return std::to_string(store::SecondNameExists(app, testsupport::MakeAddress("Schulz"), true)); },
       "1", "-1"},
      {customerNumber, "0 8", "-1 7"},
  };
  for (const Case& c : cases) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(c.sound + ", read " + std::to_string(n));
      testsupport::FailingFileSystem faults(IoOp::Read, n);
      app.fileSystem = &faults;
      const std::string result = c.check();
      app.fileSystem = &platform::SystemFileSystem();
      EXPECT_EQ(result, faults.reached() ? c.unreadable : c.sound);
      if (!faults.reached()) break;
    }
  }
}

// A copy of the program killed at any write, flush, rename or removal of
// one operation leaves, once the next copy has started on the directory,
// the state before the operation or the state after it. The kill comes in a
// child process; the state is every record reachable from an index with its
// references by key, and the order counter.
TEST_F(FaultInjectionTest, ACopyKilledAtAnyCallLeavesTheStateBeforeOrAfter) {
  auto state = [&] {
    testsupport::ScriptedUi quiet;
    frame::AppState next;
    next.dataDirectory = dir.path();
    next.ui = &quiet;
    next.clock = app.clock;
    frame::LoadParameters(next);
    // A discount entry appended again with the value it already has (as
    // saving an order does for its special prices) changes nothing: the
    // discounts count as the set of what they say.
    std::istringstream lines(testsupport::ByKey(dir.path()));
    std::string out;
    std::set<std::string> discounts;
    for (std::string line; std::getline(lines, line);)
      if (line.starts_with("D"))
        discounts.insert(line);
      else
        out += line + "\n";
    for (const std::string& line : discounts) out += line + "\n";
    return out + "Zähler " +
           std::to_string(ReadAt<std::uint32_t>(ReadBytes(dir.file("BELVON.PAR")), 0));
  };
  auto show = [&] {  // the order and its customer, as the order pane holds them
    ASSERT_EQ(store::ReadOrder(app, app.order, 0), 1);
    app.orders.position = 0;
    ASSERT_EQ(store::ReadAddress(app, app.address, 0), 1);
    app.addresses.position = 0;
  };
  struct Case {
    const char* name;
    std::function<void()> operation;
    bool mayDrawInVain = false;  // a number drawn by a cut store is not given again
  };
  const Case cases[] = {
      {"insert an article",
       [&] {
         std::int32_t position = -1;
         store::WriteArticle(app, testsupport::MakeArticle("40", "vierzig"), position, true);
       }},
      {"delete an article",
       [&] {
         std::int32_t position = 1;
         store::DeleteArticle(app, position);
       }},
      {"change an article number", [&] { ChangeNumber("30", "55"); }},
      {"change name 2 of an address",
       [&] {
         store::AddressRecord meier{};
         std::int32_t position = 0;
         store::ReadAddress(app, meier, position);
         store::SetText(meier.name2, "Zander");
         store::WriteAddress(app, meier, position, false);
       }},
      {"store a new order", [&] { testsupport::AddOrder(app, 1192, {{"zwei"}, {"drei"}}); }, true},
      {"save a changed order from the order pane",
       [&] {
         show();
         orders::OrderEditor editor(app);
         editor.editedLine() = testsupport::MakeLine({"neu"});
         editor.appendLine();
         editor.save(true);
       }},
      {"issue the invoice",
       [&] {
         show();
         orders::RecordIssue(app, orders::DocumentKind::Invoice, "06.12.2026");
       }},
      {"book a payment",
       [&] {
         orders::PaymentForm form;
         form.orderNumber = std::to_string(testsupport::IndexEntries<store::OrderIndexEntry>(
                                               dir.file("RECHNUNG.IDX"), 2)[0].orderNumber);
         form.amount = "12,50";
         form.paymentDate = "06.12.2026";
         orders::BookPayment(app, form);
       }},
  };
  const auto files = testsupport::Files(dir.path());
  auto restore = [&] {
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      if (!files.count(e.path().filename().string())) std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files) testsupport::WriteBytes(dir.file(name.c_str()), bytes);
  };
  const std::string before = state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    restore();
    ASSERT_TRUE(testsupport::RunsToTheEnd(1 << 20, [&](platform::FileSystem& fs) {
      app.fileSystem = &fs;
      c.operation();
    }));
    const std::string after = state();
    ASSERT_NE(before, after);
    std::string skipped = before;
    skipped.replace(skipped.rfind(' ') + 1, std::string::npos,
                    std::to_string(std::stoul(before.substr(before.rfind(' ') + 1)) + 1));
    for (int n = 1;; ++n) {
      SCOPED_TRACE("killed at call " + std::to_string(n));
      restore();
      const bool ended = testsupport::RunsToTheEnd(n, [&](platform::FileSystem& fs) {
        app.fileSystem = &fs;
        c.operation();
      });
      const std::string now = state();
      const bool whole = now == before || now == after || (c.mayDrawInVain && now == skipped);
      EXPECT_TRUE(whole) << "killed at call " << n << " of " << c.name;
      if (ended || !whole) break;
      ASSERT_LT(n, 400) << "the countdown never ends";
    }
  }
  restore();
}

}  // namespace
