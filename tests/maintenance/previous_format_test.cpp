// A data directory of the previous program version, built from the record
// widths of that version, converted at the first start: every reference
// still reaches its record, and a start killed at any moment ends, at the
// next start, with the same files as a run that was never interrupted.
#include "maintenance/previous_format.h"

#include <gtest/gtest.h>

#include <tuple>

#include "store/load_parameters.h"
#include "maintenance/maintenance_test_support.h"
#include "maintenance/structure_test.h"
#include "store/file_replacement.h"
#include "support/scripted_ui.h"

namespace maintenance {
namespace {

using namespace testsupport;

template <typename T>
void Append(Bytes& to, const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  to.insert(to.end(), p, p + sizeof value);
}

// An index entry: the key field, then the record offset.
void IndexEntry(Bytes& to, const char* key, std::size_t width, std::size_t offset) {
  to.insert(to.end(), key, key + width);
  Append(to, static_cast<std::uint32_t>(offset));
}

// 120 articles, 60 addresses, 80 orders of two lines, 40 discounts; a
// quarter of each with `small`.
void WritePreviousDirectory(const std::string& dir, bool small = false) {
  const int s = small ? 4 : 1;
  Bytes parameters(2642, 0), ai, ad, ki, kd, ri, rd, rab;
  parameters[0] = 7;          // next order number
  parameters[4 + 1262] = 16;  // a tax rate in whole percents
  Append(ai, std::int32_t{120 / s - 1});
  for (int i = 0; i < 120 / s; ++i) {
    PreviousArticleRecord a{};
    a.length = sizeof a;
    std::snprintf(a.number, sizeof a.number, "A%03d", i);
    std::snprintf(a.designation, sizeof a.designation, "Artikel %d", i);
    std::snprintf(a.productGroup, sizeof a.productGroup, "Gruppe %d", i % 7);
    a.price1 = 100 * i;
    a.quantityPrice2 = 10;
    a.stock[0] = static_cast<std::int16_t>(i - 5);
    IndexEntry(ai, a.number, sizeof a.number, ad.size());
    Append(ad, a);
  }
  Append(ki, static_cast<std::int16_t>(60 / s - 1));
  for (int i = 0; i < 60 / s; ++i) {
    PreviousAddressRecord k{};
    k.length = sizeof k;
    std::snprintf(k.name2, sizeof k.name2, "Kunde %02d", i);
    std::snprintf(k.mobile, sizeof k.mobile, "0170 %d", i);
    k.turnover = 1000 + i;
    IndexEntry(ki, k.name2, sizeof k.name2, kd.size());
    Append(kd, k);
  }
  Append(ri, static_cast<std::int16_t>(80 / s - 1));
  for (int i = 0; i < 80 / s; ++i) {
    std::uint8_t head[78] = {78};
    const std::int32_t customer = (i % (60 / s)) * 760, number = 1000 + i;
    std::memcpy(head + 2, &customer, 4);
    std::memcpy(head + 6, &number, 4);
    std::memcpy(head + 10, "01.02.1999", 11);
    head[24] = 2;
    const std::int32_t entry[3] = {customer, number, static_cast<std::int32_t>(rd.size())};
    Append(ri, entry);
    Append(rd, head);
    for (int l = 0; l < 2; ++l) {
      PreviousOrderLine line{};
      line.length = sizeof line;
      line.quantity = l + 1;
      std::snprintf(line.articleNumber, sizeof line.articleNumber, "A%03d",
                    (i + 50 * l) % (120 / s));
      line.articleRef = (i + 50 * l) % (120 / s) * 234;
      line.orderNumber = number;
      Append(rd, line);
    }
  }
  for (int i = 0; i < 40 / s; ++i) {
    const std::int32_t entry[2] = {i % (60 / s) * 760, (i * 3) % (120 / s) * 234};
    Append(rab, entry);
    Append(rab, std::int16_t{50});
  }
  const std::pair<const char*, const Bytes*> files[] = {
      {"BELVON.PAR", &parameters}, {"ARTIKEL.IDX", &ai}, {"ARTIKEL.DAT", &ad},
      {"KUNDEN.IDX", &ki},         {"KUNDEN.DAT", &kd},  {"RECHNUNG.IDX", &ri},
      {"RECHNUNG.DAT", &rd},       {"RABATT.DAT", &rab}};
  for (const auto& [name, bytes] : files) WriteBytes(dir + name, *bytes);
}

int Start(const std::string& dir, platform::FileSystem* fs = nullptr) {
  ScriptedUi ui;
  frame::AppState app;
  app.ui = &ui;
  app.dataDirectory = dir;
  if (fs) app.fileSystem = fs;
  app.convertPreviousFormat = ConvertPreviousFormat;
  return frame::LoadParameters(app);
}

TEST(PreviousFormat, ConvertsAtTheFirstStartWithEveryReferenceKept) {
  TempDir dir;
  WritePreviousDirectory(dir.path());
  ASSERT_EQ(Start(dir.path()), 1);
  for (auto [name, size] : {std::pair{"BELVON.PAR", 3534}, {"ARTIKEL.DAT", 120 * 520},
                            {"KUNDEN.DAT", 60 * 1192}, {"RECHNUNG.DAT", 80 * (80 + 2 * 402)},
                            {"WARENGR.DAT", 7 * 21}, {store::kConversionProgressName, -1}})
    EXPECT_EQ(FileSize(dir.file(name)), size) << name;
  const Bytes articles = ReadBytes(dir.file("ARTIKEL.DAT"));
  const Bytes addresses = ReadBytes(dir.file("KUNDEN.DAT"));
  // Lines, heads and discounts reach the records they reached before.
  const Bytes orders = ReadBytes(dir.file("RECHNUNG.DAT")),
              discounts = ReadBytes(dir.file("RABATT.DAT"));
  for (std::size_t line = 80; line < orders.size(); line += line % 884 == 80 ? 402 : 482) {
    EXPECT_EQ(Text(articles, At<std::int32_t>(orders, line + 392) + 2, 22),
              Text(orders, line + 10, 22));
    EXPECT_EQ(At<std::uint16_t>(orders, line), 402);
  }
  EXPECT_EQ(Text(addresses, At<std::int32_t>(orders, 884 * 70 + 2) + 56, 42), "Kunde 10");
  EXPECT_EQ(Text(addresses, At<std::int32_t>(discounts, 10 * 33) + 56, 42), "Kunde 33");
  EXPECT_EQ(Text(articles, At<std::int32_t>(discounts, 10 * 33 + 4) + 2, 22), "A099");
  // Fields moved to their new places, the unit filled in, the stock widened.
  EXPECT_EQ(Text(articles, 7 * 520 + 24, 42) + "|" + Text(articles, 7 * 520 + 398, 8) + "|" +
                Text(addresses, 4 * 1192 + 246, 22),
            "Artikel 7|Stk|0170 4");
  EXPECT_EQ(std::tuple(At<std::int32_t>(articles, 7 * 520 + 406),
                       At<std::int32_t>(articles, 7 * 520 + 410), At<double>(articles, 2 * 520 + 438),
                       At<std::int32_t>(addresses, 4 * 1192 + 930)),
            std::tuple(700, 10, -3.0, 1004));
  frame::AppState app;
  app.dataDirectory = dir.path();
  ASSERT_EQ(frame::LoadParameters(app), 1);
  EXPECT_EQ(app.nextOrderNumber, 7u);
  EXPECT_EQ(+app.parameters.taxRates[1], 160);
  EXPECT_TRUE(FindStructureProblems(app).empty());
  // An older parameter file put back over converted files converts nothing.
  const auto converted = Files(dir.path());
  WriteBytes(dir.file("BELVON.PAR"), Bytes(2642, 0));
  ASSERT_EQ(Start(dir.path()), 1);
  for (const char* name : {"ARTIKEL.DAT", "KUNDEN.DAT", "RECHNUNG.DAT", "RABATT.DAT"})
    EXPECT_EQ(ReadBytes(dir.file(name)), converted.at(name)) << name;
}

// The previous program's directory before anything was entered: empty
// record files, indexes that say so, no discount or product-group file yet.
// An empty file converts to an empty file.
TEST(PreviousFormat, AnEmptyDirectoryConvertsToEmptyFiles) {
  TempDir dir;
  Bytes parameters(2642, 0);
  parameters[0] = 7;
  WriteBytes(dir.file("BELVON.PAR"), parameters);
  WriteBytes(dir.file("ARTIKEL.IDX"), {0xFF, 0xFF, 0xFF, 0xFF});
  for (const char* name : {"KUNDEN.IDX", "RECHNUNG.IDX"}) WriteBytes(dir.file(name), {0xFF, 0xFF});
  for (const char* name : {"ARTIKEL.DAT", "KUNDEN.DAT", "RECHNUNG.DAT"}) WriteBytes(dir.file(name), {});
  ASSERT_EQ(Start(dir.path()), 1);
  for (auto [name, size] : {std::pair{"BELVON.PAR", 3534}, {"ARTIKEL.IDX", 4}, {"KUNDEN.IDX", 2},
                            {"RECHNUNG.IDX", 2}, {"ARTIKEL.DAT", 0}, {"KUNDEN.DAT", 0},
                            {"RECHNUNG.DAT", 0}, {"RABATT.DAT", 0}, {"WARENGR.DAT", 0},
                            {store::kConversionProgressName, -1}, {store::kReplacementJournalName, -1}})
    EXPECT_EQ(FileSize(dir.file(name)), size) << name;
  EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.IDX")), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(PreviousFormat, KilledAtAnyMomentTheNextStartEndsWithTheSameFiles) {
  ScratchDir old, whole;
  WritePreviousDirectory(old.path(), true);
  CopyFiles(old.path(), whole.path());
  ASSERT_EQ(Start(whole.path()), 1);
  const auto expected = Files(whole.path());
  bool finished = false;
  for (int n = 1; !finished; ++n) {
    SCOPED_TRACE("killed at change " + std::to_string(n));
    ScratchDir work;
    CopyFiles(old.path(), work.path());
    finished = RunsToTheEnd(n, [&](platform::FileSystem& fs) { Start(work.path(), &fs); });
    ASSERT_EQ(Start(work.path()), 1);
    ASSERT_EQ(Files(work.path()), expected);
    ASSERT_LT(n, 500);
  }
}

}  // namespace
}  // namespace maintenance
