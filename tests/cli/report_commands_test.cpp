// The lists from belvon-cli: the journal as CSV and the print jobs with
// their date range and article.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/parameter_file.h"
#include "reports/invoice_journal.h"
#include "reports/journal_csv.h"
#include "store/records_test_support.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::BookLine;

TEST(ReportCommands, JournalExportAndListJobs) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  testsupport::SetEuroAndDm(book.app.parameters);
  frame::SaveParameters(book.app);
  book.article("A-1", 1);
  const std::int32_t meier = book.customer("Meier");
  const std::uint16_t invoiced = store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted;
  book.order(meier, invoiced, {BookLine{1, 1000, -1, 0, 0, "A-1", store::kTaxCodeRate2}},
             "02.12.2026");
  book.order(meier, invoiced, {BookLine{1, 500}}, "02.11.2026");
  const std::string run = cli + " --data-dir " + book.dir.path() + " ";
  const std::string csv = book.dir.file("journal.csv");
  std::string out;
  ASSERT_EQ(testsupport::RunCommand(
                run + "export-journal --from 01.12.2026 --to 31.12.2026 --output " + csv, &out),
            0);
  const auto written = testsupport::ReadBytes(csv);
  EXPECT_EQ(std::string(written.begin(), written.end()),
            reports::JournalCsv(reports::CollectJournal(book.app, "01.12.2026", "31.12.2026"),
                                book.app.parameters));
  EXPECT_NE(reports::JournalCsv({}, book.app.parameters), std::string(written.begin(), written.end()));

  const std::string pdf = " --pdf " + book.dir.file("list.pdf");
  const std::pair<std::string, int> runs[] = {
      {"export-journal --from 01.12.2026", 2},
      {"export-journal --from 31.02.2026 --to 01.03.2026", 2},
      {"print 8 --from 01.12.2026 --to 31.12.2026" + pdf, 0},
      {"print 5" + pdf, 0},
      {"print 5 --from 01.12.2026" + pdf, 2},
      {"print 22 --from 01.12.2026" + pdf, 2},
      {"print 22 --article A-9" + pdf, 1},
      {"print 22 --article A-1" + pdf, 0},
      {"print 12 --from 01.01.2026 --to 31.12.2026" + pdf, 0},
  };
  for (const auto& [arguments, code] : runs)
    EXPECT_EQ(testsupport::RunCommand(run + arguments), code) << arguments;
  EXPECT_TRUE(std::filesystem::exists(book.dir.file("list.pdf")));
}

}  // namespace
