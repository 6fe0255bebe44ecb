// belvon-cli as a user runs it: the built binary on a temporary directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frame/app_state.h"
#include "frame/parameter_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"
#include "support/temp_dir.h"

namespace {

using testsupport::FileSize;
using testsupport::TempDir;

struct CliRun {
  int exitCode = -1;
  std::vector<std::string> lines;  // stdout
};

// Runs belvon-cli with `arguments` (no quoting needed for our temp paths).
CliRun RunCli(const std::string& arguments) {
  CliRun run;
  const char* bin = std::getenv("BELVON_TEST_BIN");
  if (!bin) {
    ADD_FAILURE() << "BELVON_TEST_BIN is not set";
    return run;
  }
  std::string command = std::string(bin) + "/belvon-cli " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) run.lines.push_back(line);
  return run;
}

bool Has(const std::string& line, const std::string& part) {
  return line.find(part) != std::string::npos;
}

struct CliTest : ::testing::Test {
  TempDir dir;
  // Without the trailing separator: the command line adds it.
  std::string dataDir = dir.path().substr(0, dir.path().size() - 1);
};

TEST_F(CliTest, InitCreatesTheFilesInsideTheDirectoryAndCounts) {
  CliRun run = RunCli("--data-dir " + dataDir + " init");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"addresses 0", "articles 0", "orders 0"}));
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 0);
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.IDX")), 4);
  EXPECT_EQ(FileSize(dataDir + "BELVON.PAR"), -1);
}

TEST_F(CliTest, DumpArticlesPrintsOneLinePerEntryInIndexOrder) {
  ASSERT_EQ(RunCli("--data-dir " + dataDir + " init").exitCode, 0);
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
  EXPECT_TRUE(Has(first, "\"number\":\"A-1\"")) << first;
  EXPECT_TRUE(Has(first, "\"designation\":\"Schraube \xC3\xA4\"")) << "decoded from 1252";
  EXPECT_TRUE(Has(first, "\"price_1\":1999,")) << first;
  EXPECT_EQ(first.back(), '}');
  EXPECT_EQ(run.lines[1].rfind("{\"position\":1,\"offset\":0,", 0), 0u) << run.lines[1];
  EXPECT_TRUE(Has(run.lines[1], "\"number\":\"B-2\""));
  EXPECT_TRUE(Has(run.lines[1], "\"price_1\":250,"));

  EXPECT_EQ(RunCli("--data-dir " + dataDir + " init").lines[1], "articles 2");
}

TEST_F(CliTest, DumpParametersShowsTheFileAsItIs) {
  CliRun missing = RunCli("--data-dir " + dataDir + " dump parameters");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.lines.empty());

  ASSERT_EQ(RunCli("--data-dir " + dataDir + " init").exitCode, 0);
  CliRun fresh = RunCli("--data-dir " + dataDir + " dump parameters");
  EXPECT_EQ(fresh.exitCode, 0);
  ASSERT_EQ(fresh.lines.size(), 1u);
  EXPECT_TRUE(Has(fresh.lines[0], "\"file_size\":0,")) << fresh.lines[0];

  frame::AppState app;
  app.dataDirectory = dir.path();
  app.nextOrderNumber = 119080001;
  store::SetText(app.parameters.companyName1, "Belvon GmbH");
  ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  CliRun saved = RunCli("--data-dir " + dataDir + " dump parameters");
  ASSERT_EQ(saved.lines.size(), 1u);
  EXPECT_TRUE(Has(saved.lines[0], "\"file_size\":3534,")) << saved.lines[0];
  EXPECT_TRUE(Has(saved.lines[0], "\"layout\":\"current\""));
  EXPECT_TRUE(Has(saved.lines[0], "\"next_order_number\":119080001,"));
  EXPECT_TRUE(Has(saved.lines[0], "\"company_name_1\":\"Belvon GmbH\""));
}

TEST_F(CliTest, WrongUsageExitsWithTwo) {
  ASSERT_EQ(RunCli("--data-dir " + dataDir + " init").exitCode, 0);
  CliRun unknownKind = RunCli("--data-dir " + dataDir + " dump kunden");
  EXPECT_EQ(unknownKind.exitCode, 2);
  EXPECT_TRUE(unknownKind.lines.empty());
  EXPECT_EQ(RunCli("--data-dir " + dataDir + " dump").exitCode, 2);
  EXPECT_EQ(RunCli("--data-dir " + dataDir + " verbuchen").exitCode, 2);
}

}  // namespace
