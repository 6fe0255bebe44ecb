// The damaged data directories of money and references: each command that
// once reported success on them with a wrong result now refuses or does
// exactly what it names, run by belvon-cli on a copy of the directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

struct Step {
  std::string command;  // after "belvon-cli --data-dir DIR/"; "@" stands for DIR/
  int exit;
  std::vector<std::string> errors;  // fragments of the error output
  std::vector<std::string> output;  // fragments of the output
  std::vector<std::string> absent;  // never in the output
};

std::string Substituted(std::string text, const std::string& dir) {
  for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, dir);
  return text;
}

TEST(DamagedInputs, MoneyAndReferencesAtTheEdge) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const std::string notBooked = " wird nicht gebucht:\n";
  const struct {
    const char* folder;
    std::vector<Step> steps;
  } cases[] = {
      {"book-article-ref-off-by-one",
       {{"--yes book", 0, {"Rechnung #1002" + notBooked, "nennt den Artikel"}, {}, {}}}},
      {"book-customer-ref-off-by-one",
       {{"--yes book", 0, {"Rechnung #1001" + notBooked, "verweist auf keine Adresse"}, {}, {}}}},
      {"datanorm-case-variant",
       {{"--yes datanorm-import @imp.001 --supplier S", 0, {}, {}, {}},
        {"dump articles", 0, {}, {"Kabel klein", "NEU fuer ABC"}, {}},
        {"--yes datanorm-import @del.001 --supplier S", 0, {}, {}, {}},
        {"dump articles", 0, {}, {"Kabel klein"}, {"NEU fuer ABC"}}}},
      {"customers-differing-in-case",
       {{"--yes settle --from 1000 --to 1010 --customer meier", 0, {}, {"Egalisierte Aufträge: 1"}, {}},
        // Meier's invoice is still open.
        {"--yes settle --from 1000 --to 1010 --customer Meier", 0, {}, {"Egalisierte Aufträge: 1"}, {}}}},
      {"invoice-date-9999",
       {{"--yes print 3 --order 1002 --date 31.12.9999 --issue --pdf @r.pdf", 1,
         {"14.01.10000", "nicht ausgestellt"}, {}, {}},
        {"einvoice --order 1002", 1, {"keine ausgestellte Rechnung"}, {}, {}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    testsupport::TempDir dir;
    std::filesystem::copy(BELVON_DAMAGED_DATA + std::string(c.folder), dir.path(),
                          std::filesystem::copy_options::recursive);
    const std::string data = dir.file("");
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.command);
      std::string out, errors;
      EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + data + " " +
                                            Substituted(step.command, data),
                                        &out, &errors),
                step.exit)
          << errors;
      for (const std::string& text : step.errors)
        EXPECT_NE(errors.find(text), std::string::npos) << errors;
      for (const std::string& text : step.output) EXPECT_NE(out.find(text), std::string::npos) << text;
      for (const std::string& text : step.absent) EXPECT_EQ(out.find(text), std::string::npos) << text;
    }
    EXPECT_FALSE(std::filesystem::exists(data + "r.pdf"));
  }
}

}  // namespace
