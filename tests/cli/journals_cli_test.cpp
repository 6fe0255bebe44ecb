// Journals planted in a data directory, as the next command of any kind
// meets them at its start: refused with a message that names them, and
// nothing inside or outside the directory changed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(JournalsCli, APlantedJournalIsRefusedByEveryCommandAndNamed) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  struct Case {
    std::string name;
    std::string journal;
    std::function<void(const std::string& path, const std::string& outside)> plant;
    std::string told;
  };
  const Case cases[] = {
      {"a swap journal renaming a file outside", "TAUSCH.JNL",
       [](const std::string& path, const std::string& outside) {
         WriteText(path, "BELVON-TAUSCH\n" + outside + "opfer.txt\tARTIKEL.DAT\n../" +
                             std::filesystem::path(outside).parent_path().filename().string() +
                             "/opfer.txt\t-\nENDE\n");
       },
       "keine Datei des Datenverzeichnisses"},
      {"a move journal between two records", "ARTIKEL.UMZ",
       [](const std::string& path, const std::string&) {
         WriteText(path, "BELVON-UMZUG\n0\t520\n");
       },
       "ARTIKEL.UMZ"},
      {"a FIFO at the article move journal", "ARTIKEL.UMZ",
       [](const std::string& path, const std::string&) { mkfifo(path.c_str(), 0644); },
       "keine gewöhnliche Datei"},
      {"a folder at the address move journal", "KUNDEN.UMZ",
       [](const std::string& path, const std::string&) { std::filesystem::create_directory(path); },
       "keine gewöhnliche Datei"},
  };
  for (const Case& c : cases) {
    for (const std::string command : {"init", "check", "pay --order 1 --amount 1,00"}) {
      SCOPED_TRACE(c.name + ", " + command);
      testsupport::TempDir dir;
      const std::string outside = dir.path().substr(0, dir.path().size() - 1) + "-aussen/";
      std::filesystem::create_directories(outside);
      WriteText(outside + "opfer.txt", "fremd");
      const std::string run = cli + " --data-dir " + dir.path() + " ";
      ASSERT_EQ(testsupport::RunCommand(run + "init --defaults"), 0);
      const std::string journal = dir.file(c.journal);
      c.plant(journal, outside);
      std::string errors;
      EXPECT_EQ(testsupport::RunCommand(run + command, nullptr, &errors), 1);
      EXPECT_NE(errors.find(journal), std::string::npos) << errors;
      EXPECT_NE(errors.find(c.told), std::string::npos) << errors;
      EXPECT_TRUE(std::filesystem::exists(outside + "opfer.txt"));
      EXPECT_TRUE(std::filesystem::exists(journal)) << "left for the user to look at";
      std::filesystem::remove_all(outside);
    }
  }
}

}  // namespace
