// belvon-cli export-datev as a user runs it.
#include <filesystem>

#include "datev/booking_batch.h"
#include "store/parameter_file.h"
#include "support/run_command.h"
#include "datev/datev_fixture.h"

namespace {

class ExportCommandTest : public testsupport::DatevTest {};

TEST_F(ExportCommandTest, NumbersFromSettingsOrOptionsAndTheFileWholeOrNotAtAll) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  ASSERT_TRUE(frame::SaveParameters(app));
  Invoice(Customer("Müller & Söhne", "GmbH", "4711"), {{10000, store::kTaxCodeRate2}},
          "05.11.2026");
  const std::string run = "cd " + dir.path() + " && " + cli + " --data-dir " + dir.path() + " ";
  const std::string period = "export-datev --from 01.11.2026 --to 30.11.2026";
  std::string out, errors;
  // Neither set nor given: refused, naming both.
  EXPECT_EQ(testsupport::RunCommand(run + period, &out, &errors), 2);
  EXPECT_NE(errors.find("Beraternummer"), std::string::npos) << errors;
  EXPECT_NE(errors.find("Mandantennummer"), std::string::npos) << errors;
  const std::string defaultName = dir.file(datev::BatchFileName("01.11.2026", "30.11.2026"));
  EXPECT_FALSE(std::filesystem::exists(defaultName));

  const std::pair<std::string, int> refused[] = {
      {period + " --advisor 1000 --client 1", 1},
      {period + " --advisor 12x --client 1", 2},
      {"export-datev --from 31.11.2026 --to 30.12.2026 --advisor 1001 --client 1", 2},
      {"export-datev --from 01.11.2026", 2},
      {period + " --advisor 1001 --client 1 --output " + dir.file("fehlt/stapel.csv"), 1},
  };
  for (const auto& [arguments, code] : refused)
    EXPECT_EQ(testsupport::RunCommand(run + arguments), code) << arguments;
  EXPECT_FALSE(std::filesystem::exists(defaultName));

  out.clear();
  ASSERT_EQ(testsupport::RunCommand(run + period + " --advisor 29098 --client 55003 --debtors " +
                                        dir.file("deb.csv"),
                                    &out, &errors),
            0)
      << errors;
  const testsupport::ExtfRead file = testsupport::ReadExtf(defaultName);
  EXPECT_EQ(file.header.at(10), "29098");
  EXPECT_EQ(file.header.at(11), "55003");
  ASSERT_EQ(file.rows.size(), 1u);
  EXPECT_EQ(file.at(0, "Buchungstext"), "M\xFCller & S\xF6hne GmbH");
  EXPECT_EQ(testsupport::ReadExtf(dir.file("deb.csv")).rows.size(), 1u);
  EXPECT_NE(out.find("EXTF_Buchungsstapel_20261101_20261130.csv"), std::string::npos) << out;
}

}  // namespace
