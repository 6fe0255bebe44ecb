// belvon-cli check and reorganise as a user runs them.
#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

using namespace testsupport;
using Bytes = std::vector<std::uint8_t>;

TEST(MaintenanceCommands, ADamagedIndexIsRepairedBeforeAnyReorganisation) {
  const std::string cli = BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  TempDir dir;
  const std::string run = cli + " --data-dir " + dir.path() + " ";
  ASSERT_EQ(RunCommand(run + "init"), 0);
  // One article in the index whose record is missing.
  WriteBytes(dir.file("ARTIKEL.IDX"), {0, 0, 0, 0, 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  const Bytes damaged = ReadBytes(dir.file("ARTIKEL.IDX"));
  std::string out;
  EXPECT_EQ(RunCommand(run + "check", &out), 1);
  EXPECT_EQ(out, "Probleme mit Artikel Nr: X\nTest beendet !\n");
  EXPECT_EQ(RunCommand(run + "reorganise articles"), 1) << "not without --yes";
  EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.IDX")), damaged);
  std::string errors;
  EXPECT_EQ(RunCommand(run + "--yes reorganise articles", nullptr, &errors), 1) << "refused";
  EXPECT_NE(errors.find("Die Datenstrukturen sind beschädigt"), std::string::npos) << errors;
  EXPECT_EQ(RunCommand(run + "check"), 0) << "the index was built again instead";
  EXPECT_EQ(RunCommand(run + "--yes reorganise articles"), 0);
  WriteBytes(dir.file("ARTIKEL.IDX"), damaged);
  out.clear();
  EXPECT_EQ(RunCommand(run + "check --repair", &out), 0);
  EXPECT_EQ(out, "Probleme mit Artikel Nr: X\nTest beendet !\nTest beendet !\n");
  EXPECT_EQ(ReadBytes(dir.file("ARTIKEL.IDX")), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(RunCommand(run + "--yes delete-invoices --from 01.01.1990"), 2);
}

}  // namespace
