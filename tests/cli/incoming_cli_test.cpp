// belvon-cli incoming: one JSON line per kept invoice, the exit status
// telling kept (0), refused (1) and a wrong call (2) apart.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

TEST(IncomingCommand, AddsListsPaysAndPrintsAKeptInvoice) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::TempDir dir;
  const std::string run = cli + " --data-dir " + dir.path() + " --yes ";
  ASSERT_EQ(testsupport::RunCommand(run + "init --defaults"), 0);
  const std::string invoice =
      std::string(BELVON_RECEIVE_DATA) + "xrechnung-testsuite/01.01a-INVOICE_uncefact.xml";

  std::string out, errors;
  ASSERT_EQ(testsupport::RunCommand(run + "incoming add '" + invoice + "'", &out, &errors), 0)
      << errors;
  EXPECT_NE(
      out.find("\"id\":1,\"number\":\"123456XX\",\"issue_date\":\"04.04.2016\",\"seller\":\"["
               "Seller name]\","
               "\"currency\":\"EUR\",\"net\":314.86,\"tax\":22.04,\"total\":336.9,\"due\":336.9,"
               "\"due_date\":\"\",\"iban\":\"DE79000000001234567890\",\"findings\":["),
      std::string::npos)
      << out;
  // Without Java the official rules say that they did not run, and nothing else.
  const std::regex findings("\"findings\":\\[([^\\]]*)\\]");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(out, match, findings));
  if (!match[1].str().empty()) {
    EXPECT_NE(match[1].str().find("Prüfregeln"), std::string::npos) << out;
  }

  const struct {
    std::string args;
    int status;
    const char* said;  // in the output or the error output
  } calls[] = {
      {"incoming add '" + invoice + "'", 1, "schon abgelegt: Eingangsrechnung 1"},
      {"incoming add " + dir.file("BELVON.PAR"), 1, "keine E-Rechnung"},
      {"incoming add " + dir.file("fehlt.xml"), 1, "fehlt.xml"},
      {"incoming", 2, "Aufruf"},
      {"incoming add", 2, "Aufruf"},
      {"incoming paid 1 --date 31.02.2026", 2, "kein Datum"},
      {"incoming paid x --date 01.02.2026", 2, "Aufruf"},
      {"incoming paid 9 --date 01.02.2026", 1, "keine Eingangsrechnung 9"},
      {"incoming print 1", 2, "Aufruf"},
      {"incoming paid 1 --date 10.12.2026", 0, "\"state\":\"bezahlt\",\"paid_on\":\"10.12.2026\""},
      {"incoming list", 0, "\"id\":1,\"number\":\"123456XX\""},
      {"incoming print 1 --pdf " + dir.file("eingang.pdf"), 0, "eingang.pdf"},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call.args);
    out.clear(), errors.clear();
    EXPECT_EQ(testsupport::RunCommand(run + call.args, &out, &errors), call.status) << errors;
    EXPECT_NE((out + errors).find(call.said), std::string::npos) << out << errors;
  }
  std::ifstream pdf(dir.file("eingang.pdf"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(pdf)), {});
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
}

}  // namespace
