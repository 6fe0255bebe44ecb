// The structure test and the reorganisations of articles and addresses on
// real data directories: what is dropped, what every reference points at
// afterwards, and a run killed at any moment.
#include <gtest/gtest.h>

#include "maintenance/maintenance_test_support.h"
#include "maintenance/master_rebuild.h"
#include "maintenance/structure_test.h"
#include "store/discount_file.h"
#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace maintenance {
namespace {

using namespace testsupport;

struct Reorganisation : OrderBook, ::testing::Test {
  Reorganisation() { ui.defaultAnswer = true; }
  // Points index entry `i` of `file` (entry size, offset field) elsewhere.
  void Repoint(const char* file, std::size_t at, std::uint32_t offset) {
    Bytes index = ReadBytes(dir.file(file));
    std::memcpy(&index[at], &offset, 4);
    WriteBytes(dir.file(file), index);
  }
  void Discount(std::int32_t articleRef) {
    store::OrderLine line{};
    line.articleRef = articleRef;
    line.discount = 50;
    store::AppendDiscount(app, line);
  }
};

TEST_F(Reorganisation, EmptyFilesGiveAnEmptyCommittedPair) {
  EXPECT_EQ(TestDataStructures(app), 0);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Test beendet !"});
  EXPECT_EQ(ReorganiseArticles(app), 1);
  EXPECT_EQ(ReorganiseAddresses(app), 1);
  EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.IDX")), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadBytes(dir.file("KUNDEN.IDX")), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.DAT")) + FileSize(dir.file("KUNDEN.DAT")), 0);
}

TEST_F(Reorganisation, DroppedArticlesLeaveLinesAtMinusOneAndDiscountsAlone) {
  const std::int32_t kunde = customer("Kunde");
  const std::int32_t a = article("A", 1), b = article("B", 2), c = article("C", 3);
  order(kunde, 0, {{1, 100, a}, {1, 200, b}, {1, 300, c}});
  Discount(b);
  Repoint("ARTIKEL.IDX", 4 + 26 + 22, 100000);  // B lies past the end: dropped silently
  Bytes record = ReadBytes(dir.file("ARTIKEL.DAT"));
  record[c + 2] = 'X';  // C no longer carries its key
  WriteBytes(dir.file("ARTIKEL.DAT"), record);
  ui.shown.clear();

  ASSERT_EQ(ReorganiseArticles(app), 1);
  EXPECT_EQ(ui.texts(),
            (std::vector<std::string>{"Wollen Sie wirklich alle Artikel reorganisieren "
                                      "?\n Bitte immer erst eine Datensicherung machen !",
                                      "Problem mit Artikel C"}));
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.DAT")), 520);
  EXPECT_EQ(app.articles.lastIndex, 0);
  std::vector<store::OrderLine> lines;
  stored(app.orders.entry.orderNumber, &lines);
  EXPECT_EQ(lines[1].articleRef + lines[2].articleRef + lines[3].articleRef, 0 - 1 - 1)
      << "A moved to the start, B and C are gone";
  EXPECT_EQ(At<std::int32_t>(ReadBytes(dir.file("RABATT.DAT")), 4), b) << "left as it was";
}

TEST_F(Reorganisation, OrdersOfDroppedAddressesAreMarkedAndStayConsistent) {
  const std::int32_t kept = customer("Bleibt"), gone = customer("Weg");
  order(kept, 0, {});
  const store::OrderHead orphan = order(gone, 0, {});
  Repoint("KUNDEN.IDX", 2 + 46 + 42, 100000);  // "Weg" sorts second
  ui.shown.clear();
  ASSERT_EQ(ReorganiseAddresses(app), 1);
  ASSERT_EQ(ui.texts().size(), 2u);
  EXPECT_EQ(ui.texts()[1], "Auftrag " + std::to_string(orphan.orderNumber) +  // nine digits
                               " hat keine Adresse mehr!\nDer Auftrag wird entsprechend markiert.");
  EXPECT_EQ(stored(orphan.orderNumber).customerRef + 0, -1);
  EXPECT_TRUE(FindStructureProblems(app).empty());
  ui.shown.clear();
  ASSERT_EQ(ReorganiseAddresses(app), 1);
  EXPECT_EQ(ui.texts().size(), 1u) << "marked again silently";
}

// A line that names another article than the one it refers to (typed by
// hand in an older program, it kept the reference 0) is reported, and left
// as it is.
TEST_F(Reorganisation, LinesNamingAnotherArticleThanTheirReferenceAreReported) {
  const std::int32_t kunde = customer("Kunde");
  const std::int32_t a = article("A", 1), b = article("B", 2);
  const std::int32_t number =
      order(kunde, 0, {{1, 100, a, 0, 0, "A"}, {1, 200, a, 0, 0, "Montage"}, {1, 300, -1},
                       {1, 400, b, 0, 0, "B"}, {1, 500, a}})
          .orderNumber;
  const Bytes before = ReadBytes(dir.file("RECHNUNG.DAT"));
  const std::string head = "Rechnung Nr: " + std::to_string(number) + ", Position ";
  const std::string tail = "\" gehört nicht zum Artikel \"A\", auf den die Position verweist.";
  EXPECT_EQ(FindStructureProblems(app),
            (std::vector<std::string>{head + "2: Artikel-Nr. \"Montage" + tail,
                                      head + "5: Artikel-Nr. \"" + tail}));
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), before);
}

// A directory grown by changes shrinks to one record per entry, and every
// reference still reaches the same article and address.
struct Grown : Reorganisation {
  Grown() {
    std::vector<std::int32_t> articles;
    for (int i = 0; i < 12; ++i) articles.push_back(article(numbers[i], i));
    for (int i = 0; i < 6; ++i) {
      order(customer("Kunde " + std::to_string(i)), 0,
            {{1, 100 * i, articles[i], 0, 0, numbers[i].c_str()},
             {2, 50, articles[i + 5], 0, 0, numbers[i + 5].c_str()}});
      Discount(articles[(i + 3) % 12]);
    }
  }
  const std::vector<std::string> numbers = [] {
    std::vector<std::string> all;
    for (int i = 0; i < 12; ++i) all.push_back("ART" + std::to_string(10 + i));
    return all;
  }();
  static std::string Toggled(std::string_view key) {
    return key.ends_with('x') ? std::string(key.substr(0, key.size() - 1)) : std::string(key) + "x";
  }
  void Change(int n) {
    for (int k = 0; k < n; ++k) {
      std::int32_t position = k % 12;
      store::ArticleRecord a{};
      store::ReadArticle(app, a, position);
      store::SetText(a.number, Toggled(store::GetText(a.number)));
      store::WriteArticle(app, a, position, false);
      position = k % 6;
      store::AddressRecord c{};
      store::ReadAddress(app, c, position);
      store::SetText(c.name3, std::to_string(k));
      store::SetText(c.name2, Toggled(store::GetText(c.name2)));
      store::WriteAddress(app, c, position, false);
    }
  }
};

TEST_F(Grown, TwoThousandChangesShrinkToTheCompactSizeWithEveryReferenceKept) {
  Change(1000);
  ASSERT_GT(FileSize(dir.file("ARTIKEL.DAT")), 500 * 520);
  const std::string before = ByKey(dir.path());
  ASSERT_EQ(ReorganiseArticles(app) + ReorganiseAddresses(app), 2);
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.DAT")), 12 * 520);
  EXPECT_EQ(FileSize(dir.file("KUNDEN.DAT")), 6 * 1192);
  EXPECT_EQ(ByKey(dir.path()), before);
  EXPECT_TRUE(FindStructureProblems(app).empty());
}

TEST_F(Grown, KilledAtAnyMomentTheNextStartFindsTheOldOrTheNewFiles) {
  Change(20);
  const std::string before = ByKey(dir.path());
  bool finished = false;
  for (int n = 1; !finished; ++n) {
    SCOPED_TRACE("killed at change " + std::to_string(n));
    ScratchDir work;
    CopyFiles(dir.path(), work.path());
    finished = RunsToTheEnd(n, [&](platform::FileSystem& fs) {
      frame::AppState child;
      child.dataDirectory = work.path();
      child.fileSystem = &fs;
      ScriptedUi yes;
      yes.defaultAnswer = true;
      child.ui = &yes;
      frame::LoadParameters(child);
      ReorganiseArticles(child);
      ReorganiseAddresses(child);
    });
    frame::AppState next;
    next.dataDirectory = work.path();
    ASSERT_EQ(frame::LoadParameters(next), 1);
    EXPECT_TRUE(FindStructureProblems(next).empty());
    EXPECT_EQ(ByKey(work.path()), before);
    ASSERT_LT(n, 500);
  }
}

TEST_F(Grown, AFullDiskAtAnyWriteLeavesTheOldFiles) {
  Change(20);
  const std::string before = ByKey(dir.path());
  const auto files = Files(dir.path());
  for (int n = 1;; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    FailingFileSystem full(platform::IoOp::Write, n);
    app.fileSystem = &full;
    const int done = ReorganiseArticles(app);
    app.fileSystem = &platform::SystemFileSystem();
    if (!full.reached()) break;
    EXPECT_EQ(done, 0);
    EXPECT_EQ(Files(dir.path()), files);
  }
  EXPECT_EQ(ByKey(dir.path()), before);
}

}  // namespace
}  // namespace maintenance
