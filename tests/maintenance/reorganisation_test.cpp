// The structure test and the reorganisations of articles and addresses on
// real data directories: what is dropped, what every reference points at
// afterwards, and a run killed at any moment.
#include <gtest/gtest.h>

#include "maintenance/maintenance_test_support.h"
#include <sys/resource.h>

#include "maintenance/index_repair.h"
#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"
#include "maintenance/structure_test.h"
#include "store/discount_file.h"
#include "support/failing_file_system.h"
#include "support/order_book.h"

namespace maintenance {
namespace {

using namespace testsupport;

struct Reorganisation : StockedBook, ::testing::Test {
  Reorganisation() { ui.defaultAnswer = true; }
  // Writes `bytes` over the file `name` from `at` on.
  void Patch(const char* name, std::size_t at, const Bytes& bytes) {
    Bytes file = ReadBytes(dir.file(name));
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    WriteBytes(dir.file(name), file);
  }
  Bytes Slice(const char* name, std::size_t at, std::size_t size) {
    const Bytes file = ReadBytes(dir.file(name));
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
                 file.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
  // Swaps the `size` bytes at `at` with the `size` bytes behind them.
  void SwapEntries(const char* name, std::size_t at, std::size_t size) {
    const Bytes one = Slice(name, at, size), two = Slice(name, at + size, size);
    Patch(name, at, two);
    Patch(name, at + size, one);
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

TEST_F(Reorganisation, DeletedArticlesLeaveLinesAtMinusOneAndTheirDiscountsGo) {
  const std::int32_t kunde = customer("Kunde");
  const std::int32_t a = article("A", 1), b = article("B", 2), c = article("C", 3);
  order(kunde, 0, {{1, 100, a}, {1, 200, b}, {1, 300, c}});
  Discount(b);
  Discount(c);
  std::int32_t position = 1;
  ASSERT_EQ(store::DeleteArticle(app, position), 1);  // B
  ui.shown.clear();

  ASSERT_EQ(ReorganiseArticles(app), 1);
  EXPECT_EQ(ui.texts().size(), 1u) << "nothing but the question";
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.DAT")), 2 * 520);
  std::vector<store::OrderLine> lines;
  stored(app.orders.entry.orderNumber, &lines);
  EXPECT_EQ(lines[1].articleRef + 0, 0);
  EXPECT_EQ(lines[2].articleRef + 0, -1);
  EXPECT_EQ(lines[3].articleRef + 0, 520);
  // Left, B's discount would come to name whatever article is stored at its
  // old offset next.
  const Bytes discounts = ReadBytes(dir.file("RABATT.DAT"));
  ASSERT_EQ(discounts.size(), 10u);
  EXPECT_EQ(At<std::int32_t>(discounts, 4), 520);
}

TEST_F(Reorganisation, OrdersOfDroppedAddressesAreMarkedAndStayConsistent) {
  const std::int32_t kept = customer("Bleibt"), gone = customer("Weg");
  order(kept, 0, {});
  const store::OrderHead orphan = order(gone, 0, {});
  std::int32_t position = 1;
  ASSERT_EQ(store::DeleteAddress(app, position), 1);  // "Weg", the last entry
  ui.shown.clear();
  ui.answer({true, false});  // reorganise, and do not take "Weg" back
  ASSERT_EQ(ReorganiseAddresses(app), 1);
  ASSERT_EQ(ui.texts().size(), 3u);
  EXPECT_EQ(ui.texts()[1],
            "Kunde: Weg steht in KUNDEN.DAT, aber in keinem Indexeintrag.\n\nDiese Datensätze hat "
            "der Index verloren, oder sie wurden gelöscht.\nSollen sie wieder in den Index "
            "aufgenommen werden? Sonst entfernt die nächste Reorganisation sie.");
  EXPECT_EQ(ui.texts()[2], "Auftrag " + std::to_string(orphan.orderNumber) +  // nine digits
                               " hat keine Adresse mehr!\nDer Auftrag wird entsprechend markiert.");
  EXPECT_EQ(stored(orphan.orderNumber).customerRef + 0, -1);
  EXPECT_TRUE(FindStructureProblems(app).empty());
  ui.shown.clear();
  ASSERT_EQ(ReorganiseAddresses(app), 1);
  EXPECT_EQ(ui.texts().size(), 1u) << "marked again silently";
}

// A line that names another article than the one it refers to (typed by
// hand in an older program, it kept the reference 0) is reported, in UTF-8,
// and left as it is.
TEST_F(Reorganisation, LinesNamingAnotherArticleThanTheirReferenceAreReported) {
  const std::int32_t kunde = customer("Kunde");
  const std::int32_t a = article("A", 1), b = article("B", 2);
  const std::int32_t number =
      order(kunde, 0, {{1, 100, a, 0, 0, "A"}, {1, 200, a, 0, 0, "Montage"}, {1, 300, -1},
                       {1, 400, b, 0, 0, "B"}, {1, 500, a, 0, 0, ""},
                       {1, 600, a, 0, 0, "Zubeh\xF6r"}})
          .orderNumber;
  const Bytes before = ReadBytes(dir.file("RECHNUNG.DAT"));
  const std::string head = "Rechnung Nr: " + std::to_string(number) + ", Position ";
  const std::string tail = "\" gehört nicht zum Artikel \"A\", auf den die Position verweist.";
  EXPECT_EQ(FindStructureProblems(app),
            (std::vector<std::string>{head + "2: Artikel-Nr. \"Montage" + tail,
                                      head + "5: Artikel-Nr. \"" + tail,
                                      // The report is UTF-8, the files Windows-1252.
                                      head + "6: Artikel-Nr. \"Zubeh\xC3\xB6r" + tail}));
  EXPECT_EQ(ReadBytes(dir.file("RECHNUNG.DAT")), before);
}

// A directory grown by changes shrinks to one record per entry, and every
// reference still reaches the same article and address.
struct Grown : Reorganisation {
  Grown() { Stock(); }
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

// Damage that hides records from the index: the run is refused and the index
// built again from its record file, or the records the header lost are taken
// back; either way no record it held is lost.
TEST_F(Grown, AMaintenanceRunOnADamagedIndexLosesNoRecord) {
  Change(20);
  const auto files = Files(dir.path());
  std::map<std::string, KeyedRecord> before;
  ByKey(dir.path(), &before);
  const std::function<int()> articles = [this] { return ReorganiseArticles(app); };
  const std::function<int()> addresses = [this] { return ReorganiseAddresses(app); };
  const std::function<int()> invoices = [this] {
    return DeleteOldInvoices(app, "01.01.1990", "31.12.1990");
  };
  const struct {
    const char* what;
    std::function<void()> damage;
    const std::function<int()>& run;
  } cases[] = {
      {"ARTIKEL.IDX header FF FF FF FF", [&] { Patch("ARTIKEL.IDX", 0, {0xFF, 0xFF, 0xFF, 0xFF}); },
       articles},
      {"ARTIKEL.IDX emptied", [&] { WriteBytes(dir.file("ARTIKEL.IDX"), {}); }, articles},
      {"KUNDEN.IDX header FF FF", [&] { Patch("KUNDEN.IDX", 0, {0xFF, 0xFF}); }, addresses},
      {"RECHNUNG.IDX header 01 00", [&] { Patch("RECHNUNG.IDX", 0, {1, 0}); }, invoices},
      {"ARTIKEL.IDX entries 1 and 2 swapped", [&] { SwapEntries("ARTIKEL.IDX", 4 + 26, 26); },
       articles},
      {"KUNDEN.IDX entry 1 over entry 2",
       [&] { Patch("KUNDEN.IDX", 2 + 92, Slice("KUNDEN.IDX", 2 + 46, 46)); }, addresses},
      {"RECHNUNG.IDX entry 0 reaching the head of order 1",
       [&] { Patch("RECHNUNG.IDX", 2 + 8, Slice("RECHNUNG.IDX", 2 + 12 + 8, 4)); }, invoices},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restore(files);
    c.damage();
    ASSERT_EQ(frame::LoadParameters(app), 1);
    c.run();
    EXPECT_EQ(c.run(), 1) << "runs once the index is mended";
    std::map<std::string, KeyedRecord> after;
    ByKey(dir.path(), &after);
    for (const auto& [key, record] : before)
      EXPECT_TRUE(after.count(key) && after[key].bytes == record.bytes) << key << " is lost";
    EXPECT_TRUE(FindStructureProblems(app).empty());
  }
}

TEST_F(Grown, TheStructureTestNamesEachDisagreement) {
  const auto files = Files(dir.path());
  const std::int32_t first = At<std::int32_t>(ReadBytes(dir.file("RECHNUNG.IDX")), 2 + 4);
  const struct {
    const char* what;
    std::function<void()> damage;
    std::vector<std::string> found;
  } cases[] = {
      {"two articles swapped", [&] { SwapEntries("ARTIKEL.IDX", 4, 26); },
       {"Die Indexdatei ARTIKEL.IDX ist nicht sortiert: Artikel Nr: ART10 steht hinter Artikel "
        "Nr: ART11."}},
      {"an address twice", [&] { Patch("KUNDEN.IDX", 2 + 92, Slice("KUNDEN.IDX", 2 + 46, 46)); },
       {"Die Indexdatei KUNDEN.IDX enthält Kunde: Kunde 1 doppelt."}},
      {"a header beyond the entries", [&] { Patch("ARTIKEL.IDX", 0, {20, 0, 0, 0}); },
       {"Die Indexdatei ARTIKEL.IDX nennt 21 Einträge, enthält aber nur 12."}},
      {"the last article cut short",
       [&] { std::filesystem::resize_file(dir.file("ARTIKEL.DAT"), 12 * 520 - 100); },
       {"ARTIKEL.DAT ist von Byte 5720 bis 6140 nicht lesbar.", "Probleme mit Artikel Nr: ART21"}},
      {"an index the record file cannot fill",
       [&] { std::filesystem::resize_file(dir.file("KUNDEN.IDX"), 1 << 20); },
       {"Die Indexdatei KUNDEN.IDX ist größer, als KUNDEN.DAT zulässt."}},
      {"an emptied index", [&] { WriteBytes(dir.file("KUNDEN.IDX"), {}); },
       {"Die Indexdatei KUNDEN.IDX ist leer, aber KUNDEN.DAT enthält Datensätze."}},
      {"a header that lost the last address", [&] { Patch("KUNDEN.IDX", 0, {4, 0}); },
       {"Kunde: Kunde 5 steht in KUNDEN.DAT, aber in keinem Indexeintrag."}},
      {"an order line left at the old copy of a renamed article",
       [&] {
         Change(1);  // ART10 becomes ART10x at the end of ARTIKEL.DAT
         Patch("RECHNUNG.DAT", 80 + 392, {0, 0, 0, 0});  // order 0, line 1: offset 0
       },
       {"Rechnung Nr: " + std::to_string(first) +
            ", Position 1 verweist auf eine alte Fassung von Artikel Nr: ART10x.",
        "Rechnung Nr: " + std::to_string(first) +
            ", Position 1: Artikel-Nr. \"ART10x\" gehört nicht zum Artikel \"ART10\", auf den "
            "die Position verweist."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restore(files);
    c.damage();
    EXPECT_EQ(FindStructureProblems(app), c.found);
  }
}

// A 256 MiB index or record file of nothing is read in pieces: neither costs
// its size in memory, and what a killed run left is gone.
TEST_F(Grown, HugeFilesCostNoMemoryAndLeaveNoTemporaries) {
  auto peak = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // MiB
  };
  const long before = peak();
  std::filesystem::resize_file(dir.file("ARTIKEL.IDX"), std::uintmax_t{1} << 28);
  std::filesystem::resize_file(dir.file("RECHNUNG.DAT"), std::uintmax_t{1} << 28);
  WriteBytes(dir.file("A.DAT"), Bytes(520));  // left by a run that was killed
  WriteBytes(dir.file("A.IDX"), Bytes(4));
  ui.answer({true, false});  // reorganise, but do not rebuild
  EXPECT_EQ(ReorganiseArticles(app), 0);
  ASSERT_GE(ui.texts().size(), 2u);
  EXPECT_EQ(ui.texts()[1], "Die Indexdatei ARTIKEL.IDX ist größer, als ARTIKEL.DAT zulässt.");
  EXPECT_FALSE(std::filesystem::exists(dir.file("A.DAT")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("A.IDX")));
  EXPECT_EQ(RepairIndexes(app, ExamineDataStructures(app)), 1);
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.IDX")), 4 + 12 * 26);
  EXPECT_EQ(ReorganiseArticles(app) + ReorganiseAddresses(app) +
                DeleteOldInvoices(app, "01.01.1990", "31.12.1990"),
            3);
  EXPECT_LT(peak() - before, 64) << "MiB more at the peak";
}

}  // namespace
}  // namespace maintenance
