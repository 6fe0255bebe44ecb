// Two copies of belvon-cli on one data directory, as two processes: the
// first is held (BELVON_HALT_AT) just before it saves the parameters, the
// second finishes meanwhile, and the first must then write only what it
// changed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "store/bytes.h"
#include "store/data_file.h"
#include "store/parameter_file.h"
#include "store/text_field.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

// The opens of BELVON.PAR that `print 1 --issue` makes: loading the file,
// then the save of the print settings with the record of issue.
constexpr int kParameterSaveOpen = 2;

bool AppearsWithin(const std::string& path, std::chrono::seconds bound) {
  const auto until = std::chrono::steady_clock::now() + bound;
  while (!std::filesystem::exists(path)) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

store::ParameterRecord StoredParameters(const std::string& directory) {
  const auto bytes = testsupport::ReadBytes(directory + store::kParameterFileName);
  store::ParameterRecord record{};
  if (bytes.size() == store::kParameterFileSize) std::memcpy(&record, bytes.data() + 4, sizeof record);
  return record;
}

// Issuing a quotation while another copy turns DM into euro: the issue
// must not write the DM settings it read at its start back over the
// changeover (a second changeover would then divide every amount again).
TEST(TwoCopiesCli, IssuingKeepsTheChangeoverAnotherCopyFinishedMeanwhile) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  store::ParameterRecord& p = book.app.parameters;
  store::SetText(p.companyName1, "Schreinerei Holzwurm");
  store::SetText(p.currencySymbol1, "DM");
  store::SetText(p.currencySymbol4, "EUR");
  p.exchangeRates[3] = 1 / 1.95583f;
  store::SetTaxRate(p, 0, 2, 70);
  store::SetTaxRate(p, 0, 3, 190);
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  const std::int32_t number =
      book.order(book.customer("Meier"), 0, {{1, 1000, -1, 0, 0, "A-1", store::kTaxCodeRate2}}).orderNumber;
  const std::string directory = book.dir.path();
  const std::string run = cli + " --yes --data-dir " + directory + " ";
  const std::string halt = directory + store::kParameterFileName + std::string(".HALT");

  FILE* first = popen(("BELVON_HALT_AT=" + std::string(store::kParameterFileName) + ":" +
                       std::to_string(kParameterSaveOpen) + " " + run + "print 1 --issue --order " +
                       std::to_string(number) + " --pdf " + book.dir.file("angebot.pdf") +
                       " 2>&1")
                          .c_str(),
                      "r");
  ASSERT_NE(first, nullptr);
  const bool held = AppearsWithin(halt, std::chrono::seconds(60));
  std::string errors;
  const int changeover = held ? testsupport::RunCommand(run + "changeover", nullptr, &errors) : -1;
  std::filesystem::remove(halt);
  std::string out;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, first)) > 0;) out.append(buffer, n);
  const int issued = pclose(first);
  ASSERT_TRUE(held) << "the first copy never reached its parameter save: " << out;
  ASSERT_EQ(changeover, 0) << errors;
  EXPECT_EQ(issued, 0) << out;

  const store::ParameterRecord after = StoredParameters(directory);
  EXPECT_EQ(store::GetText(after.currencySymbol1), "EUR");
  EXPECT_EQ(store::GetText(after.currencySymbol4), "DM");
  EXPECT_EQ(store::GetText(after.companyName1), "Schreinerei Holzwurm");
  // The changeover happens once: a second one is refused.
  EXPECT_EQ(testsupport::RunCommand(run + "changeover"), 1);
}

}  // namespace
