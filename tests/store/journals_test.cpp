// The journals a start carries out unasked (TAUSCH.JNL, ARTIKEL.UMZ) do
// only what an interrupted run of this program left to do: a journal that
// names anything outside the data directory, or a move that the files do
// not hold, is refused with a message naming it, and nothing changes.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "store/file_replacement.h"
#include "store/records_test_support.h"

namespace {

using testsupport::MakeArticle;
using testsupport::ReadBytes;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool Told(const testsupport::ScriptedUi& ui, const std::string& part) {
  for (const std::string& text : ui.texts())
    if (text.find(part) != std::string::npos) return true;
  return false;
}

class JournalTest : public testsupport::StoreTest {
 protected:
  JournalTest() {
    // A folder beside the data directory: "<data>-aussen/".
    const std::string data = dir.path().substr(0, dir.path().size() - 1);
    outsideName = std::filesystem::path(data).filename().string() + "-aussen";
    outside = data + "-aussen/";
    std::filesystem::create_directories(outside);
    WriteText(outside + "victim.txt", "Fremde Datei");
  }
  ~JournalTest() override { std::filesystem::remove_all(outside); }

 public:
  std::string outside, outsideName;
};

// Each journal names one thing a swap must never touch; a sound swap before
// it in the same journal is not carried out either.
TEST_F(JournalTest, ASwapJournalNamesOnlyFilesOfTheDataDirectory) {
  struct Case {
    std::string name;
    std::function<std::string(const JournalTest&)> line;  // the foreign swap
    std::string named;                                    // what the message names
  };
  const Case cases[] = {
      {"a path up and out", [](const JournalTest&) { return std::string("../x\t-"); }, "../x"},
      {"a file outside by a path up",
       [](const JournalTest& t) {
         return "../" + t.outsideName + "/victim.txt\t-";
       },
       "victim.txt"},
      {"an absolute path", [](const JournalTest& t) { return t.outside + "victim.txt\t-"; },
       "victim.txt"},
      {"a target outside",
       [](const JournalTest& t) { return "ARTIKEL.DAT\t" + t.outside + "victim.txt"; },
       "victim.txt"},
      {"an empty name", [](const JournalTest&) { return std::string("\tARTIKEL.DAT"); }, "\"\""},
      {"a link leading out", [](const JournalTest&) { return std::string("AUSSEN.LNK\t-"); },
       "AUSSEN.LNK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    WriteText(dir.file("K.NEU"), "neu");
    std::filesystem::remove(dir.file("AUSSEN.LNK"));
    std::filesystem::create_symlink(outside + "victim.txt", dir.file("AUSSEN.LNK"));
    const auto articles = ReadBytes(dir.file("ARTIKEL.DAT"));
    WriteText(dir.file("TAUSCH.JNL"),
              "BELVON-TAUSCH\nK.NEU\tKUNDEN.NEU\n" + c.line(*this) + "\nENDE\n");

    EXPECT_EQ(store::FinishInterruptedReplacement(app), 0);
    EXPECT_TRUE(Told(ui, "TAUSCH.JNL")) << "the journal is named";
    EXPECT_TRUE(Told(ui, c.named)) << "and what it must not name";
    EXPECT_TRUE(std::filesystem::exists(outside + "victim.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("K.NEU"))) << "not even the sound swap is done";
    EXPECT_FALSE(std::filesystem::exists(dir.file("KUNDEN.NEU")));
    EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.DAT")), articles);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("AUSSEN.LNK")));
  }
  // The same journal without the foreign line is an interrupted run's: done.
  ui.shown.clear();
  WriteText(dir.file("TAUSCH.JNL"), "BELVON-TAUSCH\nK.NEU\tKUNDEN.NEU\nENDE\n");
  EXPECT_EQ(store::FinishInterruptedReplacement(app), 1);
  EXPECT_TRUE(std::filesystem::exists(dir.file("KUNDEN.NEU")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("TAUSCH.JNL")));
}

// Two articles at 0 and 520, and the index pointing at both.
class MoveJournalTest : public JournalTest {
 protected:
  MoveJournalTest() {
    Add(MakeArticle("A-000", "Leim"));
    Add(MakeArticle("B-520", "Nagel"));
    ui.shown.clear();
  }
};

// A move journal is carried out only where it describes a move the files
// hold; and anything at its name that is no regular file is named, never
// waited on (a FIFO) and never silently ends the start.
TEST_F(MoveJournalTest, AMoveJournalIsCheckedBeforeItIsCarriedOut) {
  struct Case {
    std::string name;
    std::function<void(const std::string& path)> plant;
    std::string told;  // a part of the message besides the journal's name
  };
  auto text = [](std::string body) {
    return [body](const std::string& path) { WriteText(path, "BELVON-UMZUG\n" + body); };
  };
  const Case cases[] = {
      {"two records both indexed", text("0\t520\n"), "ARTIKEL.IDX"},
      {"backwards", text("520\t0\n"), "520"},
      {"past the end", text("0\t1040\n"), "1040"},
      {"not on a record", text("0\t300\n"), "300"},
      {"from the middle of a record", text("7\t520\n"), "beginnt kein Datensatz"},
      {"an offset beyond 32 bits", text("0\t99999999999\n"), "Umzugsprotokoll"},
      {"a negative offset", text("-1\t520\n"), "Umzugsprotokoll"},
      {"trailing text", text("0\t520\n../x\n"), "Umzugsprotokoll"},
      {"a FIFO", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); },
       "keine gewöhnliche Datei"},
      {"a directory", [](const std::string& path) { std::filesystem::create_directory(path); },
       "keine gewöhnliche Datei"},
      {"a link leading out",
       [this](const std::string& path) {
         WriteText(outside + "umzug", "BELVON-UMZUG\n0\t520\n");
         std::filesystem::create_symlink(outside + "umzug", path);
       },
       "Verknüpfung"},
  };
  const auto index = ReadBytes(dir.file("ARTIKEL.IDX"));
  const auto data = ReadBytes(dir.file("ARTIKEL.DAT"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    const std::string journal = dir.file("ARTIKEL.UMZ");
    c.plant(journal);
    EXPECT_EQ(store::FinishInterruptedArticleMove(app), 0);
    EXPECT_TRUE(Told(ui, "ARTIKEL.UMZ")) << "the journal is named";
    EXPECT_TRUE(Told(ui, c.told));
    EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.IDX")), index);
    EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.DAT")), data);
    std::filesystem::remove_all(journal);
  }
}

// A move cut short after its journal was written is still carried through:
// the checks refuse only what an interrupted move cannot have left.
TEST_F(MoveJournalTest, AnInterruptedMoveIsStillCarriedThrough) {
  store::ArticleRecord moved = MakeArticle("Z-000", "Leim");
  moved.length = sizeof moved;
  auto data = ReadBytes(dir.file("ARTIKEL.DAT"));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&moved);
  data.insert(data.end(), bytes, bytes + sizeof moved);
  testsupport::WriteBytes(dir.file("ARTIKEL.DAT"), data);
  WriteText(dir.file("ARTIKEL.UMZ"), "BELVON-UMZUG\n0\t1040\n");
  ASSERT_EQ(store::FinishInterruptedArticleMove(app), 1) << testing::PrintToString(ui.texts());
  EXPECT_FALSE(std::filesystem::exists(dir.file("ARTIKEL.UMZ")));
  const auto entries =
      testsupport::IndexEntries<store::ArticleIndexEntry>(dir.file("ARTIKEL.IDX"), 4);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(store::GetText(entries[0].key), "B-520");
  EXPECT_EQ(store::GetText(entries[1].key), "Z-000");
  EXPECT_EQ(+entries[1].offset, 1040u);
}

}  // namespace
