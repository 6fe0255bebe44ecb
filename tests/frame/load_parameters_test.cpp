// LoadParameters and SaveParameters on real directories: the first start,
// files that went missing, index headers, the older parameter layout and the
// data-directory prefix.
#include "frame/load_parameters.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/parameter_file.h"
#include "platform/clock.h"
#include "store/bytes.h"
#include "store/text_field.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace frame {
namespace {

using testsupport::FileSize;
using testsupport::ReadBytes;
using testsupport::ScriptedUi;
using testsupport::TempDir;
using testsupport::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

struct LoadParametersTest : ::testing::Test {
  LoadParametersTest() {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
    app.retry = {std::chrono::milliseconds(10), std::chrono::milliseconds(100)};
    app.convertPreviousFormat = [this](AppState&) { ++conversions; };
  }
  Bytes file(const char* name) { return ReadBytes(dir.file(name)); }

  TempDir dir;
  ScriptedUi ui;
  platform::FixedClock clock{{2019, 8, 31, 23, 59, 0}};
  AppState app;
  int conversions = 0;
};

TEST_F(LoadParametersTest, FirstStartCreatesEveryFileEmpty) {
  app.articles.lastIndex = 5;
  LoadParameters(app);
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 0);
  EXPECT_EQ(file("KUNDEN.IDX"), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(file("RECHNUNG.IDX"), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(file("ARTIKEL.IDX"), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  for (const char* name : {"KUNDEN.DAT", "ARTIKEL.DAT", "RECHNUNG.DAT", "WARENGR.DAT", "RABATT.DAT"})
    EXPECT_EQ(FileSize(dir.file(name)), 0) << name;
  EXPECT_EQ(app.nextOrderNumber, 119080001u);
  EXPECT_EQ(app.addresses.lastIndex, -1);
  EXPECT_EQ(app.articles.lastIndex, -1);
  EXPECT_EQ(app.orders.lastIndex, -1);
  EXPECT_EQ(app.parameters.exchangeRates[0], 1.0f);
  EXPECT_EQ(conversions, 0);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LoadParametersTest, PlusOneNumberingKeepsTheNumberInMemory) {
  app.parameters.plusOneNumbering = 1;
  app.nextOrderNumber = 4711;
  LoadParameters(app);
  EXPECT_EQ(app.nextOrderNumber, 4711u);
  EXPECT_EQ(app.parameters.plusOneNumbering, 0) << "the record is cleared";
}

TEST_F(LoadParametersTest, OnlyTheIndexDecidesWhetherAFilePairIsNew) {
  LoadParameters(app);
  WriteBytes(dir.file("KUNDEN.DAT"), Bytes(1192, 0x41));
  WriteBytes(dir.file("ARTIKEL.DAT"), Bytes(520, 0x41));
  std::filesystem::remove(dir.file("KUNDEN.IDX"));
  LoadParameters(app);
  EXPECT_EQ(FileSize(dir.file("KUNDEN.DAT")), 0);
  EXPECT_EQ(file("KUNDEN.IDX"), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.DAT")), 520) << "its index is still there";
}

TEST_F(LoadParametersTest, IndexHeadersAreReadAndClampedToTheEntries) {
  LoadParameters(app);
  Bytes articles(4 + 3 * 26, 0);
  store::Store<std::int32_t>(articles.data(), 2);
  WriteBytes(dir.file("ARTIKEL.IDX"), articles);
  Bytes orders(2 + 2 * 12, 0);
  store::Store<std::int16_t>(orders.data(), 1);
  WriteBytes(dir.file("RECHNUNG.IDX"), orders);
  LoadParameters(app);
  EXPECT_EQ(app.articles.lastIndex, 2);
  EXPECT_EQ(app.orders.lastIndex, 1);

  store::Store<std::int32_t>(articles.data(), 9);  // more than the file holds
  WriteBytes(dir.file("ARTIKEL.IDX"), articles);
  store::Store<std::int16_t>(orders.data(), -7);
  WriteBytes(dir.file("RECHNUNG.IDX"), orders);
  LoadParameters(app);
  EXPECT_EQ(app.articles.lastIndex, 2);
  EXPECT_EQ(app.orders.lastIndex, -1);
}

// An older parameter file: the order number, then the older record, whose
// offsets below are relative to file offset 4.
Bytes OlderFile(std::size_t size) {
  Bytes bytes(size, 0);
  auto put = [&](std::size_t oldOffset, const char* text) {
    std::memcpy(bytes.data() + 4 + oldOffset, text, std::strlen(text));
  };
  store::Store<std::uint32_t>(bytes.data(), 119070042);
  put(0, "Firma Alt");
  put(2592, "info@alt.de");
  put(1244 + 12, "DM");                                           // currency symbol 4
  store::Store<std::int16_t>(bytes.data() + 4 + 1260 + 2, 16);    // tax rate 2, currency 1
  store::Store<float>(bytes.data() + 4 + 1284, 7.5f);             // rate 1, reset to 1.0
  store::Store<float>(bytes.data() + 4 + 1284 + 4, 1.95583f);     // rate 2
  return bytes;
}

TEST_F(LoadParametersTest, OlderParameterFileIsMigratedAndWrittenBack) {
  Bytes older = OlderFile(2642);
  // The delivery-note title runs up to the end of the file, unterminated:
  // what lies beyond counts as zero.
  std::memcpy(older.data() + 4 + 2626, "Lieferschein", 12);
  WriteBytes(dir.file("BELVON.PAR"), older);
  LoadParameters(app);

  Bytes now = file("BELVON.PAR");
  ASSERT_EQ(now.size(), 3534u);
  EXPECT_EQ(store::Load<std::uint32_t>(now.data()), 119070042u);
  EXPECT_EQ(app.nextOrderNumber, 119070042u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(now.data()) + 6), "Firma Alt");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(now.data()) + 4 + 362), "info@alt.de");
  EXPECT_EQ(now[4 + 1440], 128);
  EXPECT_EQ(now[4 + 1441], 0);
  EXPECT_EQ(store::Load<std::int16_t>(now.data() + 4 + 1446), 160);
  EXPECT_EQ(store::Load<float>(now.data() + 4 + 1468), 1.0f);
  EXPECT_EQ(store::Load<float>(now.data() + 4 + 1472), 1.95583f);
  EXPECT_EQ(store::GetText(app.parameters.deliveryNoteTitle), "Lieferschein");
  EXPECT_EQ(store::GetText(app.parameters.companyName1), "Firma Alt");
  EXPECT_EQ(app.parameters.exchangeRates[0], 1.0f);
  EXPECT_EQ(conversions, 1);

  // Written back in the current layout, the next start just reads it.
  LoadParameters(app);
  EXPECT_EQ(conversions, 1);
  EXPECT_EQ(app.parameters.taxRates[1], 160);
}

TEST_F(LoadParametersTest, OneByteMoreIsTheCurrentLayout) {
  Bytes current = OlderFile(2643);
  WriteBytes(dir.file("BELVON.PAR"), current);
  app.parameters.plusOneNumbering = 1;
  LoadParameters(app);
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 2643) << "nothing is written back";
  EXPECT_EQ(conversions, 0);
  EXPECT_EQ(app.nextOrderNumber, 119070042u);
  // Read as the current record: the older offsets land elsewhere.
  EXPECT_EQ(store::GetText(app.parameters.companyName1), "rma Alt");
  EXPECT_EQ(app.parameters.taxRates[0], 0);
  EXPECT_EQ(app.parameters.exchangeRates[0], 1.0f);
  EXPECT_EQ(app.parameters.plusOneNumbering, 0) << "beyond the end of the file";
}

TEST_F(LoadParametersTest, EmptyParameterFileOfAFirstStartIsNoOlderProgramsFile) {
  LoadParameters(app);
  app.nextOrderNumber = 1;
  LoadParameters(app);
  EXPECT_EQ(conversions, 0);
  EXPECT_EQ(app.nextOrderNumber, 119080001u);
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 3534);
  EXPECT_EQ(app.parameters.exchangeRates[0], 1.0f);
}

TEST_F(LoadParametersTest, SaveParametersWritesTheWholeFileAndCreatesIt) {
  app.nextOrderNumber = 119080017;
  store::SetText(app.parameters.companyName1, "Belvon GmbH");
  app.parameters.exchangeRates[0] = 3.0f;
  ASSERT_EQ(SaveParameters(app), 1);  // no file yet
  Bytes bytes = file("BELVON.PAR");
  ASSERT_EQ(bytes.size(), 3534u);
  EXPECT_EQ(store::Load<std::uint32_t>(bytes.data()), 119080017u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.data()) + 6), "Belvon GmbH");

  app = AppState{};
  app.dataDirectory = dir.path();
  app.clock = &clock;
  LoadParameters(app);
  EXPECT_EQ(app.nextOrderNumber, 119080017u);
  EXPECT_EQ(store::GetText(app.parameters.companyName1), "Belvon GmbH");
  EXPECT_EQ(app.parameters.exchangeRates[0], 1.0f);
}

TEST_F(LoadParametersTest, EmptyDataDirectoryIsTheCurrentDirectory) {
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  app.dataDirectory = "";
  LoadParameters(app);
  int saved = SaveParameters(app);
  std::filesystem::current_path(before);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 3534);
  EXPECT_EQ(file("ARTIKEL.IDX"), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(LoadParametersTest, DirectoryWithoutSeparatorRunsIntoTheFileNames) {
  std::filesystem::create_directory(dir.file("DATEN"));
  app.dataDirectory = dir.file("DATEN");
  LoadParameters(app);
  EXPECT_EQ(FileSize(dir.file("DATENBELVON.PAR")), 0);
  EXPECT_EQ(file("DATENKUNDEN.IDX"), (Bytes{0xFF, 0xFF}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("DATEN")));
}

TEST_F(LoadParametersTest, MissingDirectoryLeavesEveryIndexEmptyWithoutHanging) {
  app.dataDirectory = dir.file("FEHLT/");
  app.articles.lastIndex = 3;
  auto start = std::chrono::steady_clock::now();
  LoadParameters(app);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(app.articles.lastIndex, -1);
  EXPECT_EQ(app.addresses.lastIndex, -1);
  EXPECT_EQ(app.orders.lastIndex, -1);
}

}  // namespace
}  // namespace frame
