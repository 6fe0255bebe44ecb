// belvon-cli as a user runs it: the built binary on a temporary directory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frame/parameter_file.h"
#include "store/address_file.h"
#include "store/indexed_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::FileSize;

struct CliRun {
  int exitCode = -1;
  std::vector<std::string> lines;  // stdout
  std::string errors;              // stderr
};

// Runs belvon-cli with `arguments` (no quoting needed for our temp paths).
CliRun RunCli(const std::string& arguments) {
  CliRun run;
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  EXPECT_FALSE(cli.empty()) << "belvon-cli is not built (BELVON_TEST_BIN)";
  std::string out;
  run.exitCode = testsupport::RunCommand(cli + " " + arguments, &out, &run.errors);
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) run.lines.push_back(line);
  return run;
}

bool Has(const std::string& line, const std::string& part) {
  return line.find(part) != std::string::npos;
}

struct CliTest : ::testing::Test {
  // On the data directory, given without the trailing separator: the
  // command line adds it.
  CliRun cli(const std::string& arguments) {
    return RunCli("--data-dir " + dataDir + " " + arguments);
  }
  testsupport::TempDir dir;
  std::string dataDir = dir.path().substr(0, dir.path().size() - 1);
};

TEST_F(CliTest, InitCreatesTheFilesInsideTheDirectoryAndCounts) {
  CliRun run = cli("init");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"addresses 0", "articles 0", "orders 0"}));
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 0);
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.IDX")), 4);
  EXPECT_EQ(FileSize(dataDir + "BELVON.PAR"), -1);
  // Wrong usage exits with 2 and prints nothing.
  for (const char* wrong : {"dump kunden", "dump", "verbuchen"}) {
    run = cli(wrong);
    EXPECT_EQ(run.exitCode, 2) << wrong;
    EXPECT_TRUE(run.lines.empty()) << wrong;
  }
}

TEST_F(CliTest, DumpArticlesPrintsOneLinePerEntryInIndexOrder) {
  ASSERT_EQ(cli("init").exitCode, 0);
  frame::AppState app;
  app.dataDirectory = dir.path();
  for (auto [number, designation, price] :
       {std::tuple{"B-2", "Mutter", 250}, std::tuple{"A-1", "Schraube \xE4", 1999}}) {
    store::ArticleRecord article{};
    store::SetText(article.number, number);
    store::SetText(article.designation, designation);
    article.price1 = price;
    std::int32_t position = -1;
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&article), sizeof article);
    ASSERT_EQ(store::ArticleFile(app).WriteRecord(bytes, position, true), 1);
  }

  CliRun run = RunCli("--data-dir=" + dataDir + " dump articles");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 2u);
  const std::string& first = run.lines[0];
  EXPECT_EQ(first.rfind("{\"position\":0,\"offset\":520,", 0), 0u) << first;
  for (const char* part :
       {"\"number\":\"A-1\"", "\"designation\":\"Schraube \xC3\xA4\"", "\"price_1\":1999,"})
    EXPECT_TRUE(Has(first, part)) << first;  // the text decoded from Windows-1252
  EXPECT_EQ(first.back(), '}');
  EXPECT_EQ(run.lines[1].rfind("{\"position\":1,\"offset\":0,", 0), 0u) << run.lines[1];
}

TEST_F(CliTest, DumpParametersShowsTheFileAsItIs) {
  EXPECT_EQ(cli("dump parameters").exitCode, 1);  // no file yet
  frame::AppState app;
  app.dataDirectory = dir.path();
  app.nextOrderNumber = 119080001;
  store::SetText(app.parameters.companyName1, "Belvon GmbH");
  ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  CliRun saved = cli("dump parameters");
  ASSERT_EQ(saved.lines.size(), 1u);
  for (const char* part :
       {"\"file_size\":3534,", "\"layout\":\"current\"", "\"next_order_number\":119080001,",
        "\"company_name_1\":\"Belvon GmbH\""})
    EXPECT_TRUE(Has(saved.lines[0], part)) << saved.lines[0];

  // A sparse file of 4 GB: read no further than the layout holds.
  std::filesystem::resize_file(dir.file("BELVON.PAR"), 4294967301u);
  CliRun huge = cli("dump parameters");
  EXPECT_EQ(huge.exitCode, 0);
  ASSERT_EQ(huge.lines.size(), 1u);
  EXPECT_TRUE(Has(huge.lines[0], "\"file_size\":4294967301,")) << huge.lines[0];
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "kilobytes resident in the largest run";
}

TEST_F(CliTest, AMissingDataDirectoryIsCreatedOnlyWithYes) {
  const std::string missing = dataDir + "/neu";
  CliRun refused = RunCli("--data-dir " + missing + " init");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.lines.empty());
  EXPECT_TRUE(Has(refused.errors, "existiert nicht.")) << refused.errors;
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(RunCli("--data-dir " + missing + " --yes init").exitCode, 0);
  EXPECT_TRUE(std::filesystem::is_regular_file(missing + "/BELVON.PAR"));
}

// The letter with its text and the blank page; arguments that cannot be
// printed leave no file behind.
TEST_F(CliTest, PrintWritesTheLetterAndRefusesBadArguments) {
  ASSERT_EQ(cli("init").exitCode, 0);
  testsupport::WriteBytes(dir.file("brief.txt"), {'H', 'a', 'l', 'l', 'o', '\n'});
  CliRun letter = cli("print 10 --date 29.02.2028 --text " + dir.file("brief.txt") + " --png " +
                      dir.file("png"));
  EXPECT_EQ(letter.exitCode, 0);
  EXPECT_EQ(letter.lines, std::vector<std::string>{dir.file("png") + "/page-001.png"});
  EXPECT_EQ(cli("print 11 --pdf " + dir.file("leer.pdf")).exitCode, 0);
  EXPECT_GT(FileSize(dir.file("leer.pdf")), 0);
  const std::string pdf = " --pdf " + dir.file("x.pdf");
  const std::pair<std::string, int> refused[] = {
      {"print 10 --pdf a.pdf --png b", 2},
      {"print zehn" + pdf, 2},
      {"print 10 --customer Niemand" + pdf, 1},
      {"print 10 --text " + dir.file("fehlt.txt") + pdf, 1}};
  for (const auto& [arguments, code] : refused)
    EXPECT_EQ(cli(arguments).exitCode, code) << arguments;
  EXPECT_EQ(FileSize(dir.file("x.pdf")), -1);
}

// --- A data directory the command cannot work with ends it with a message
// that names the file, a non-zero exit and the files as they were.

struct CliRefusalTest : CliTest {
  CliRefusalTest() {
    EXPECT_EQ(cli("init").exitCode, 0);
    frame::AppState app;
    app.dataDirectory = dir.path();
    EXPECT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
    for (const char* name : {"Meier", "Schulz"}) {
      store::AddressRecord address{};
      store::SetText(address.name2, name);
      std::int32_t position = -1;
      EXPECT_EQ(store::WriteAddress(app, address, position, true), 1);
    }
  }
  // The bytes of a regular file; nothing for anything else (a FIFO is not read).
  std::vector<std::uint8_t> file(const char* name) {
    if (!std::filesystem::is_regular_file(dir.file(name))) return {};
    return testsupport::ReadBytes(dir.file(name));
  }
};

TEST_F(CliRefusalTest, InitEndsWithTheReasonAndChangesNothing) {
  const auto addresses = file("KUNDEN.DAT");
  const auto parameters = file("BELVON.PAR");
  struct Case {
    const char* what;
    const char* named;  // the file the message names
    std::function<void()> damage;
  } cases[] = {
      {"index missing beside records", "KUNDEN.IDX",
       [&] { std::filesystem::remove(dir.file("KUNDEN.IDX")); }},
      {"parameter file is a FIFO", "BELVON.PAR",
       [&] {
         std::filesystem::remove(dir.file("BELVON.PAR"));
         mkfifo(dir.file("BELVON.PAR").c_str(), 0666);
       }},
      {"parameter file of the previous version", "BELVON.PAR",
       [&] {
         testsupport::WriteBytes(dir.file("BELVON.PAR"), std::vector<std::uint8_t>(2000, 1));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir.file("KUNDEN.IDX"));
    c.damage();
    const auto damaged = file("BELVON.PAR");
    CliRun run = cli("init");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_TRUE(Has(run.errors, dir.file(c.named))) << run.errors;
    EXPECT_EQ(file("KUNDEN.DAT"), addresses);
    EXPECT_EQ(file("BELVON.PAR"), damaged);
    std::filesystem::remove_all(dir.file("KUNDEN.IDX"));
    std::filesystem::remove(dir.file("BELVON.PAR"));
    testsupport::WriteBytes(dir.file("BELVON.PAR"), parameters);
  }
  // With --yes the index is built again from the records.
  CliRun rebuilt = cli("--yes init");
  EXPECT_EQ(rebuilt.exitCode, 0);
  EXPECT_EQ(rebuilt.lines, (std::vector<std::string>{"addresses 2", "articles 0", "orders 0"}));
  EXPECT_EQ(file("KUNDEN.DAT"), addresses);
}

// Another copy that reads the address file keeps issuing from writing the
// customer record back (the command gives up the wait after its bound).
TEST(CliIssue, AWriteThatFailsEndsTheCommandAndLeavesTheOrderUnmarked) {
  testsupport::OrderBook book;
  const std::int32_t number =
      book.order(book.customer("Meier"), 0, {testsupport::BookLine{1, 1000}}).orderNumber;
  const auto orders = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  platform::File reader = platform::SystemFileSystem().open(
      book.dir.file("KUNDEN.DAT"), platform::Access::Read, platform::Share::DenyWrite);
  ASSERT_TRUE(reader);
  CliRun run = RunCli("--data-dir " + book.dir.path() + " --yes print 3 --order " +
                      std::to_string(number) + " --issue --pdf " + book.dir.file("out.pdf"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.errors,
                  "Die Datei " + book.dir.file("KUNDEN.DAT") + " konnte nicht geschrieben werden."))
      << run.errors;
  EXPECT_TRUE(run.lines.empty());
  EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), orders);
  EXPECT_EQ(+book.stored(number).flags, 0);
}

// DATEIPFAD without its "/" names the directory, as --data-dir does.
TEST_F(CliTest, TheProfilesDataPathWithoutItsSeparatorNamesTheDirectory) {
  std::filesystem::create_directory(dir.file("daten"));
  std::filesystem::create_directory(dir.file("cfg"));
  const std::string ini = "[BELVON]\nDATEIPFAD=" + dir.file("daten") + "\n";
  testsupport::WriteBytes(dir.file("cfg/belvon.ini"), std::vector<std::uint8_t>(ini.begin(), ini.end()));
  std::string out;
  EXPECT_EQ(testsupport::RunCommand("XDG_CONFIG_HOME=" + dir.file("cfg") + " " +
                                        testsupport::BuiltProgram("belvon-cli") + " init",
                                    &out),
            0);
  EXPECT_EQ(FileSize(dir.file("daten/ARTIKEL.IDX")), 4);
  EXPECT_EQ(FileSize(dir.file("datenBELVON.PAR")), -1);
}

}  // namespace
