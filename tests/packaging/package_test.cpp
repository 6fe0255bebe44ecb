// The Debian package as `make package` makes it: CPack run on this build
// into a temporary folder, its contents against the paths the installed
// program and the desktop need, the programs run from a temporary root it
// is unpacked into, and lintian, desktop-file-validate and appstreamcli
// where they are installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

bool Have(const std::string& tool) {
  return testsupport::RunCommand("command -v " + tool + " >/dev/null") == 0;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Package, HoldsWhatTheInstalledProgramNeedsAndItsProgramsAnswerFromATemporaryRoot) {
  const char* bin = std::getenv("BELVON_TEST_BIN");
  if (!bin || testsupport::BuiltProgram("belvon").empty() ||
      testsupport::BuiltProgram("belvon-cli").empty())
    GTEST_SKIP() << "the programs are not built";
  for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "file"})
    if (!Have(tool)) GTEST_SKIP() << tool << " is missing (packages cmake, dpkg-dev, file)";

  testsupport::TempDir dir;
  std::string output;
  ASSERT_EQ(0, testsupport::RunCommand("cpack -G DEB --config '" + std::string(bin) +
                                           "/CPackConfig.cmake' -B '" + dir.path() + "out'",
                                       &output))
      << output;
  std::vector<fs::path> debs;
  for (const auto& entry : fs::directory_iterator(dir.path() + "out"))
    if (entry.path().extension() == ".deb") debs.push_back(entry.path());
  ASSERT_EQ(1u, debs.size());
  const std::string deb = debs[0].string();

  std::string version, architecture, depends;
  testsupport::RunCommand("dpkg-deb -f '" + deb + "' Version", &version);
  testsupport::RunCommand("dpkg-deb -f '" + deb + "' Architecture", &architecture);
  testsupport::RunCommand("dpkg-deb -f '" + deb + "' Depends", &depends);
  if (!version.empty()) version.pop_back();
  if (!architecture.empty()) architecture.pop_back();
  EXPECT_EQ("belvon_" + version + "_" + architecture + ".deb", debs[0].filename().string());
  // Computed from the binaries, not written down.
  EXPECT_NE(std::string::npos, depends.find("libqt6widgets6")) << depends;
  EXPECT_NE(std::string::npos, depends.find("libqpdf")) << depends;

  std::string listing;
  ASSERT_EQ(0, testsupport::RunCommand("dpkg-deb -c '" + deb + "'", &listing));
  for (const char* path :
       {"./usr/bin/belvon", "./usr/bin/belvon-cli",
        "./usr/share/applications/de.belvon.Belvon.desktop",
        "./usr/share/metainfo/de.belvon.Belvon.metainfo.xml",
        "./usr/share/icons/hicolor/scalable/apps/belvon.svg",
        "./usr/share/icons/hicolor/16x16/apps/belvon.png",
        "./usr/share/icons/hicolor/48x48/apps/belvon.png",
        "./usr/share/icons/hicolor/256x256/apps/belvon.png",
        "./usr/share/man/man1/belvon-cli.1.gz", "./usr/share/doc/belvon/copyright",
        "./usr/share/doc/belvon/changelog.gz",
        "./usr/share/belvon/validate-cii/validate-cii",
        "./usr/share/belvon/validate-cii/xslt/EN16931-CII-validation.xslt",
        "./usr/share/belvon/validate-cii/xslt/XRechnung-CII-validation.xslt",
        "./usr/share/belvon/validate-cii/schema/CrossIndustryInvoice_100pD16B.xsd",
        "./usr/share/belvon/validate-cii/LICENSES/EUPL-1.2.txt"})
    EXPECT_NE(std::string::npos, listing.find(std::string(path) + "\n")) << path;
  // Nothing outside /usr, and not the kit's own tests.
  EXPECT_EQ(std::string::npos, listing.find(" ./etc/"));
  EXPECT_EQ(std::string::npos, listing.find("/usr/local/"));
  EXPECT_EQ(std::string::npos, listing.find("validate-cii/tests/"));

  const std::string root = dir.path() + "root";
  ASSERT_EQ(0, testsupport::RunCommand("dpkg -x '" + deb + "' '" + root + "'"));
  const std::string cli = root + "/usr/bin/belvon-cli";
  output.clear();
  EXPECT_EQ(0, testsupport::RunCommand("'" + cli + "' --version", &output));
  EXPECT_EQ("belvon-cli " + version + "\n", output);
  output.clear();
  EXPECT_EQ(0, testsupport::RunCommand("'" + root + "/usr/bin/belvon' --version", &output));
  EXPECT_EQ("Belvon " + version + "\n", output);
  std::string errors;
  EXPECT_EQ(2, testsupport::RunCommand("'" + cli + "' --help", nullptr, &errors));
  EXPECT_NE(std::string::npos, errors.find("validate-einvoice")) << errors;

  // The installed programs look in installed places only: no path of the
  // source or build tree in them.
  for (const char* program : {"/usr/bin/belvon", "/usr/bin/belvon-cli"}) {
    const std::string bytes = ReadFile(root + program);
    EXPECT_EQ(std::string::npos, bytes.find(BELVON_SOURCE_DIR)) << program;
    EXPECT_EQ(std::string::npos, bytes.find(bin)) << program;
  }

  // The checkers, where they are installed (lintian: no error).
  const std::vector<std::pair<std::string, std::string>> checks = {
      {"desktop-file-validate",
       "'" + root + "/usr/share/applications/de.belvon.Belvon.desktop'"},
      {"appstreamcli", "validate --no-net '" + root +
                           "/usr/share/metainfo/de.belvon.Belvon.metainfo.xml'"},
      {"lintian", "--fail-on error '" + deb + "'"}};
  for (const auto& [tool, arguments] : checks) {
    if (!Have(tool)) continue;
    output.clear();
    EXPECT_EQ(0, testsupport::RunCommand(tool + " " + arguments + " 2>&1", &output))
        << tool << ": " << output;
  }
}

}  // namespace
