// belvon-cli check and reorganise as a user runs them.
#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

using namespace testsupport;

TEST(MaintenanceCommands, CheckFailsUntilTheReorganisationIsConfirmed) {
  const std::string cli = BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  TempDir dir;
  const std::string run = cli + " --data-dir " + dir.path() + " ";
  ASSERT_EQ(RunCommand(run + "init"), 0);
  // One article in the index whose record is missing.
  WriteBytes(dir.file("ARTIKEL.IDX"), {0, 0, 0, 0, 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  std::string out;
  EXPECT_EQ(RunCommand(run + "check", &out), 1);
  EXPECT_EQ(out, "Probleme mit Artikel Nr: X\nTest beendet !\n");
  EXPECT_EQ(RunCommand(run + "reorganise articles"), 1) << "not without --yes";
  EXPECT_EQ(RunCommand(run + "--yes reorganise articles"), 0);
  EXPECT_EQ(RunCommand(run + "check"), 0);
  EXPECT_EQ(RunCommand(run + "--yes delete-invoices --from 01.01.1990"), 2);
}

}  // namespace
