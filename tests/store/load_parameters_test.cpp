// LoadParameters and SaveParameters on real directories: the first start,
// files that went missing, index headers, the older parameter layout and the
// data-directory prefix.
#include "store/load_parameters.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/first_start_defaults.h"
#include "store/parameter_file.h"
#include "platform/clock.h"
#include "store/address_file.h"
#include "store/bytes.h"
#include "store/records_test_support.h"
#include "store/text_field.h"
#include "support/failing_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace frame {
namespace {

using testsupport::FailingCalls;
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
  EXPECT_EQ(app.articles.lastIndex, -1);
  EXPECT_EQ(+app.parameters.exchangeRates[0], 1.0f);
  EXPECT_EQ(conversions, 0);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LoadParametersTest, PlusOneNumberingKeepsTheNumberInMemory) {
  app.parameters.plusOneNumbering = 1;
  app.nextOrderNumber = 4711;
  LoadParameters(app);
  EXPECT_EQ(app.nextOrderNumber, 4711u);
  EXPECT_EQ(+app.parameters.plusOneNumbering, 0) << "the record is cleared";
}

TEST_F(LoadParametersTest, IndexHeadersAreReadAndClampedToTheEntries) {
  LoadParameters(app);
  // Three article entries and two order entries; 9 is more than the file holds.
  const std::int32_t cases[][4] = {{2, 1, 2, 1}, {9, -7, 2, -1}};
  for (const auto& c : cases) {
    Bytes articles(4 + 3 * 26, 0), orders(2 + 2 * 12, 0);
    store::Store<std::int32_t>(articles.data(), c[0]);
    store::Store<std::int16_t>(orders.data(), static_cast<std::int16_t>(c[1]));
    WriteBytes(dir.file("ARTIKEL.IDX"), articles);
    WriteBytes(dir.file("RECHNUNG.IDX"), orders);
    LoadParameters(app);
    EXPECT_EQ(std::pair(app.articles.lastIndex, app.orders.lastIndex), std::pair(c[2], c[3]))
        << c[0];
  }
}

bool Mentions(const ScriptedUi& ui, const std::string& part) {
  for (const std::string& text : ui.texts())
    if (text.find(part) != std::string::npos) return true;
  return false;
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
  EXPECT_EQ(now[4 + 1440], 128);
  EXPECT_EQ(now[4 + 1441], 0);
  EXPECT_EQ(store::Load<std::int16_t>(now.data() + 4 + 1446), 160);
  EXPECT_EQ(store::Load<float>(now.data() + 4 + 1468), 1.0f);
  EXPECT_EQ(store::Load<float>(now.data() + 4 + 1472), 1.95583f);
  EXPECT_EQ(store::GetText(app.parameters.deliveryNoteTitle), "Lieferschein");
  EXPECT_EQ(+app.parameters.exchangeRates[0], 1.0f);
  EXPECT_EQ(conversions, 1);

  // Written back in the current layout, the next start just reads it.
  LoadParameters(app);
  EXPECT_EQ(conversions, 1);
  EXPECT_EQ(+app.parameters.taxRates[1], 160);
}

TEST_F(LoadParametersTest, OlderParameterFileIsTakenOverOnlyWithItsConversion) {
  const Bytes older = OlderFile(2642);
  for (bool withConversion : {false, true}) {
    SCOPED_TRACE(withConversion ? "the write-back fails" : "no conversion at hand");
    WriteBytes(dir.file("BELVON.PAR"), older);
    FailingCalls failingWrites(platform::IoOp::Write, "");
    if (withConversion) {
      app.fileSystem = &failingWrites;
      app.convertPreviousFormat = [this](AppState&) { ++conversions; };
    } else {
      app.convertPreviousFormat = nullptr;
    }
    ui = ScriptedUi{};
    EXPECT_EQ(LoadParameters(app), 0);
    EXPECT_EQ(file("BELVON.PAR"), older) << "nothing is written";
    EXPECT_EQ(FileSize(dir.file("KUNDEN.IDX")), -1) << "start-up goes no further";
    EXPECT_EQ(conversions, 0);
    EXPECT_TRUE(Mentions(ui, dir.file("BELVON.PAR")));
    EXPECT_EQ(app.nextOrderNumber, 0u);
  }
  EXPECT_TRUE(Mentions(ui, "nicht umgewandelt"));
}

// A file that is there but cannot be read is named at once: no first start,
// no wait for another program, nothing written.
TEST_F(LoadParametersTest, AFileThatCannotBeReadIsNamedAtOnce) {
  const struct {
    const char* file;
    platform::IoOp op;
    int error;
    const char* told;
  } cases[] = {{"BELVON.PAR", platform::IoOp::Open, EACCES, "keine Zugriffsberechtigung"},
               {"BELVON.PAR", platform::IoOp::Read, EIO, ""},
               {"KUNDEN.IDX", platform::IoOp::Open, EACCES, "keine Zugriffsberechtigung"}};
  app.parameters.plusOneNumbering = 1;
  app.nextOrderNumber = 4711;
  LoadParameters(app);
  SaveParameters(app, OrderCounter::FromMemory);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes saved = file(c.file);
    FailingCalls failing(c.op, c.file, c.error);
    app.fileSystem = &failing;
    app.nextOrderNumber = 1;
    app.parameters.plusOneNumbering = 1;
    ui = ScriptedUi{};
    EXPECT_EQ(LoadParameters(app), 0);
    if (c.file[0] == 'B') { EXPECT_EQ(app.nextOrderNumber, 1u) << "memory keeps what it had"; }
    EXPECT_TRUE(ui.questions().empty()) << "nobody else holds it: nothing to wait for";
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(dir.file(c.file)), std::string::npos);
    EXPECT_NE(ui.shown[0].text.find(c.told), std::string::npos);
    EXPECT_EQ(file(c.file), saved);
  }
}

// The older layout is more than a size: a current file cut short, an older
// one with rates no older program wrote, or a parameter file lost beside
// records is refused with the reason. Nothing is converted or written, and
// the start-up goes no further.
TEST_F(LoadParametersTest, AFileOfNeitherLayoutOrALostOneIsRefused) {
  LoadParameters(app);
  FillFirstStartDefaults(app.parameters);
  ASSERT_EQ(SaveParameters(app), 1);
  const Bytes current = file("BELVON.PAR");
  auto older = [](std::size_t at, std::int16_t value) {
    Bytes bytes = OlderFile(2642);
    store::Store<std::int16_t>(bytes.data() + 4 + at, value);
    return bytes;
  };
  Bytes notANumber = OlderFile(2642);
  store::Store<float>(notANumber.data() + 4 + 1288, std::nanf(""));
  const struct {
    const char* what;
    std::optional<Bytes> parameters;  // none: the file is missing
    const char* records;              // a record file that holds something
    const char* told;
  } cases[] = {
      {"current cut to the older size", Bytes(current.begin(), current.begin() + 2642), nullptr,
       "weder den Aufbau"},
      {"current cut to 2000 bytes", Bytes(current.begin(), current.begin() + 2000), nullptr,
       "weder den Aufbau"},
      {"older with a tax rate of 300 %", older(1260 + 4, 300), nullptr, "weder den Aufbau"},
      {"older with an offer currency 9", older(1242, 9), nullptr, "weder den Aufbau"},
      {"older with a rate that is no number", notANumber, nullptr, "weder den Aufbau"},
      {"older cut short", Bytes(2600, 0), nullptr, "weder den Aufbau"},
      {"missing beside addresses", std::nullopt, "KUNDEN.DAT", " fehlt, "},
      {"emptied beside orders", Bytes{}, "RECHNUNG.DAT", " ist leer, "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir.file("BELVON.PAR"));
    if (c.parameters) WriteBytes(dir.file("BELVON.PAR"), *c.parameters);
    if (c.records) WriteBytes(dir.file(c.records), Bytes(402, 1));
    ui = ScriptedUi{};
    app.nextOrderNumber = 1;
    EXPECT_EQ(LoadParameters(app), 0);
    EXPECT_EQ(FileSize(dir.file("BELVON.PAR")),
              c.parameters ? static_cast<std::int64_t>(c.parameters->size()) : -1);
    if (c.parameters) {
      EXPECT_EQ(file("BELVON.PAR"), *c.parameters) << "left as it is";
    }
    EXPECT_EQ(conversions, 0);
    EXPECT_EQ(app.nextOrderNumber, 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(Mentions(ui, dir.file("BELVON.PAR")) && Mentions(ui, c.told)) << ui.shown[0].text;
    if (c.records) WriteBytes(dir.file(c.records), {});
  }
  // Master data without orders may stand beside the empty file of a first
  // start that never saved its settings.
  WriteBytes(dir.file("BELVON.PAR"), {});
  WriteBytes(dir.file("KUNDEN.DAT"), Bytes(402, 1));
  EXPECT_EQ(LoadParameters(app), 1);
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
  EXPECT_EQ(+app.parameters.plusOneNumbering, 0) << "beyond the end of the file";
}

TEST_F(LoadParametersTest, EmptyParameterFileOfAFirstStartIsNoOlderProgramsFile) {
  LoadParameters(app);
  app.nextOrderNumber = 1;
  LoadParameters(app);
  EXPECT_EQ(conversions, 0);
  EXPECT_EQ(app.nextOrderNumber, 119080001u);
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 3534);
  EXPECT_EQ(+app.parameters.exchangeRates[0], 1.0f);
}

// The directory is a prefix of the file names: empty is the current
// directory, and without a separator it runs into the names.
TEST_F(LoadParametersTest, TheDataDirectoryIsAPrefixOfTheFileNames) {
  std::filesystem::create_directory(dir.file("DATEN"));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const char* prefix : {"", "DATEN"}) {
    app.dataDirectory = prefix;
    LoadParameters(app);
    EXPECT_EQ(SaveParameters(app), 1);
  }
  std::filesystem::current_path(before);
  for (const char* prefix : {"", "DATEN"}) {
    EXPECT_EQ(FileSize(dir.file(prefix + std::string("BELVON.PAR"))), 3534) << prefix;
    EXPECT_EQ(file((prefix + std::string("ARTIKEL.IDX")).c_str()), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("DATEN")));
}

// --- A missing index never costs the records beside it.

class MissingIndexTest : public testsupport::StoreTest {
 protected:
  Bytes file(const char* name) { return ReadBytes(dir.file(name)); }
  void Rename(const char* from, const char* to) {
    store::AddressRecord address{};
    std::int32_t position = 0;
    while (store::ReadAddress(app, address, position) && store::GetText(address.name2) != from)
      ++position;
    store::SetText(address.name2, to);
    ASSERT_EQ(store::WriteAddress(app, address, position, false), 1);
  }
  std::vector<std::pair<std::string, std::uint32_t>> AddressEntries() {
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (const auto& e :
         testsupport::IndexEntries<store::AddressIndexEntry>(dir.file("KUNDEN.IDX"), 2)) {
      std::uint32_t offset = e.offset;  // a copy: the packed member is misaligned
      entries.emplace_back(std::string(store::GetText(e.key)), offset);
    }
    return entries;
  }
};

TEST_F(MissingIndexTest, IsBuiltFromTheRecordsOnlyWhenTheUserAgrees) {
  Add(testsupport::MakeAddress("Meier"));   // offset 0
  Add(testsupport::MakeAddress("schulz"));  // 1192
  Rename("schulz", "Zander");         // 2384
  Rename("Zander", "Schulz");         // 3576
  std::int32_t first = 0;
  ASSERT_EQ(store::DeleteAddress(app, first), 1);  // Meier
  testsupport::AddOrder(app, 0, {{"a"}, {"b"}});
  store::OrderHead replaced = testsupport::AddOrder(app, 0, {{"c"}});
  std::int32_t position = app.orders.position;
  ASSERT_EQ(store::DeleteOrderEntry(app, position), 1);
  app.orderLines[2] = testsupport::MakeLine({"d"});
  replaced.lineCount = 2;
  ASSERT_EQ(store::StoreOrder(app, replaced, position, store::StoreMode::SameNumber), 1);
  const Bytes addresses = file("KUNDEN.DAT");
  const Bytes orders = file("RECHNUNG.DAT");
  Bytes orderIndex = file("RECHNUNG.IDX");
  orderIndex.resize(2 +
                    2 * sizeof(store::OrderIndexEntry));  // the stale entry behind the count goes

  std::filesystem::remove(dir.file("KUNDEN.IDX"));
  std::filesystem::remove(dir.file("RECHNUNG.IDX"));
  ui = ScriptedUi{};
  EXPECT_EQ(LoadParameters(app), 0);
  ASSERT_EQ(ui.questions().size(), 1u) << "No to the first question ends the start-up";
  EXPECT_TRUE(ui.shown[0].defaultNo);
  EXPECT_NE(ui.shown[0].text.find("früher gelöschte Datensätze"), std::string::npos);
  EXPECT_EQ(file("KUNDEN.DAT"), addresses);
  EXPECT_EQ(FileSize(dir.file("KUNDEN.IDX")), -1);

  ui = ScriptedUi{};
  ui.defaultAnswer = true;
  EXPECT_EQ(LoadParameters(app), 1);
  EXPECT_EQ(file("KUNDEN.DAT"), addresses);
  EXPECT_EQ(file("RECHNUNG.DAT"), orders);
  // Every key once, from the record stored last; the deleted Meier is back.
  EXPECT_EQ(AddressEntries(), (std::vector<std::pair<std::string, std::uint32_t>>{
                                  {"Meier", 0}, {"Schulz", 3576}, {"schulz", 1192}, {"Zander", 2384}}));
  EXPECT_EQ(app.addresses.lastIndex, 3);
  EXPECT_EQ(file("RECHNUNG.IDX"), orderIndex);
  store::OrderHead head{};
  ASSERT_EQ(store::ReadOrder(app, head, 1), 1);
  EXPECT_EQ(store::GetText(app.orderLines[2].description1), "d");
}

TEST_F(MissingIndexTest, WhatIsNoRegularFileIsRefusedAndNothingIsCreatedOverIt) {
  Add(testsupport::MakeAddress("Meier"));
  const Bytes addresses = file("KUNDEN.DAT");
  // In place of the file: 'd' a directory, 'l' a dangling link, 'f' a FIFO.
  const std::pair<const char*, char> cases[] = {
      {"KUNDEN.IDX", 'd'}, {"KUNDEN.IDX", 'l'}, {"RABATT.DAT", 'f'}, {"WARENGR.DAT", 'd'}};
  for (const auto& [name, kind] : cases) {
    SCOPED_TRACE(name + std::string(1, kind));
    const std::string path = dir.file(name);
    std::filesystem::rename(path, dir.file("SICHER"));
    if (kind == 'd') std::filesystem::create_directory(path);
    if (kind == 'l') std::filesystem::create_symlink(dir.file("WEG"), path);
    if (kind == 'f') { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0); }
    ui = ScriptedUi{};
    ui.defaultAnswer = true;
    EXPECT_EQ(LoadParameters(app), 0);
    EXPECT_TRUE(Mentions(ui, path));
    EXPECT_NE(app.fileSystem->kind(path), platform::PathKind::Regular);
    EXPECT_EQ(FileSize(dir.file("WEG")), -1) << "nothing is created behind a link";
    EXPECT_EQ(file("KUNDEN.DAT"), addresses);
    std::filesystem::remove(path);
    std::filesystem::rename(dir.file("SICHER"), path);
  }
}

TEST_F(MissingIndexTest, AnEmptyRecordFileMakesThePairNew) {
  Add(testsupport::MakeAddress("Meier"));
  std::filesystem::remove(dir.file("KUNDEN.IDX"));
  WriteBytes(dir.file("KUNDEN.DAT"), {});
  EXPECT_EQ(LoadParameters(app), 1);
  EXPECT_EQ(file("KUNDEN.IDX"), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(app.addresses.lastIndex, -1);
  EXPECT_TRUE(ui.questions().empty());
}

}  // namespace
}  // namespace frame
