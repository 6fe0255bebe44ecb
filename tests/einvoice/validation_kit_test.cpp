// Where the program finds the validation kit at run time, and belvon-cli
// validate-einvoice running it from the build tree without being told where.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "einvoice/validation_kit.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void MakeScript(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n";
}

TEST(ValidationKit, NamedThenBuildTreeThenInstalledAndOnlyWhereTheScriptIs) {
  testsupport::TempDir dir;
  const fs::path program = fs::path(dir.path()) / "build";
  const fs::path installed = fs::path(dir.path()) / "share" / "belvon" / "validate-cii";
  fs::create_directories(program);
  fs::create_directories(installed);

  // Neither place holds the script: nothing, also for a folder without it.
  fs::create_directories(program / "validate-cii");
  EXPECT_EQ("", einvoice::FindValidationKit(nullptr, program.string(), installed.string()));
  // An unset and an empty variable are the same.
  EXPECT_EQ("", einvoice::FindValidationKit("", program.string(), installed.string()));

  MakeScript(installed / "validate-cii");
  EXPECT_EQ((installed / "validate-cii").string(),
            einvoice::FindValidationKit(nullptr, program.string(), installed.string()));

  // A program in the build tree takes the kit beside it before an installed one.
  MakeScript(program / "validate-cii" / "validate-cii");
  EXPECT_EQ((program / "validate-cii" / "validate-cii").string(),
            einvoice::FindValidationKit(nullptr, program.string(), installed.string()));

  // The environment wins, taken as it is.
  EXPECT_EQ("/elsewhere/validate-cii",
            einvoice::FindValidationKit("/elsewhere/validate-cii", program.string(),
                                        installed.string()));
  // An installed program (no kit beside it in /usr/bin) falls back to the install prefix.
  EXPECT_EQ((installed / "validate-cii").string(),
            einvoice::FindValidationKit(nullptr, dir.path() + "usr/bin", installed.string()));
}

TEST(ValidateEInvoiceCommand, RunsTheKitFoundBesideTheProgramAndPassesItsVerdictOn) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const fs::path samples = fs::path(BELVON_CII_KIT).parent_path() / "tests";
  const std::string run = "env -u BELVON_CII_KIT " + cli + " validate-einvoice -q ";

  const std::string validFile = "'" + (samples / "valid-01.01a-INVOICE_uncefact.xml").string() + "'";
  if (testsupport::RunCommand(std::string(BELVON_CII_KIT) + " -q " + validFile) == 4)
    GTEST_SKIP() << "Java, Saxon-HE or xmllint is missing";

  std::string output;
  EXPECT_EQ(0, testsupport::RunCommand(run + validFile, &output)) << output;
  EXPECT_NE(std::string::npos, output.find("OK ")) << output;

  output.clear();
  EXPECT_EQ(1, testsupport::RunCommand(
                   run + "'" + (samples / "neg-02-wrong-vat-total.xml").string() + "'", &output));
  EXPECT_EQ(std::string::npos, output.find("OK ")) << output;
  EXPECT_NE(std::string::npos, output.find("BR-CO-14")) << output;

  // Named by the environment, a kit that is not there is reported, not replaced.
  std::string errors;
  EXPECT_NE(0, testsupport::RunCommand("BELVON_CII_KIT=/nonexistent/validate-cii " + cli +
                                           " validate-einvoice x.xml",
                                       nullptr, &errors));
  EXPECT_EQ(2, testsupport::RunCommand(cli + " validate-einvoice"));
}

}  // namespace
