// Two copies of belvon-cli on one data directory: one issues a collective
// invoice and is held (BELVON_PAUSE_AT) just before it completes the issue,
// while the other issues one of the same delivery notes, deletes old
// invoices or reorganises the articles or the addresses. Whichever it is,
// every delivery note is billed once, by an invoice of its own customer
// whose lines name the articles the notes name, and `check` finds nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "store/issue_file.h"
#include "store/load_parameters.h"
#include "store/order_kinds.h"
#include "store/parameter_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::BookLine;
constexpr std::uint16_t kDelivered = store::kOrderDeliveryNotePrinted;

// An old quotation first, Schulz before Meier and article Z before A, so
// that deleting old invoices and both reorganisations move Meier's notes,
// his address and the article his notes name.
struct Directory : testsupport::OrderBook {
  Directory() {
    store::SetText(app.parameters.currencySymbol1, "EUR");
    frame::SaveParameters(app);
    const std::int32_t schulz = customer("Schulz");
    const std::int32_t z = article("Z-9", 5);
    order(schulz, store::kOrderQuotationPrinted, {{1, 100, z}}, "02.01.2024");
    meier = customer("Meier");
    const std::int32_t a = article("A-1", 5);
    notes.push_back(+order(meier, kDelivered, {{2, 1000, a}}).orderNumber);
    notes.push_back(+order(meier, kDelivered, {{1, 500, z}, {1, 300}}).orderNumber);
    order(schulz, kDelivered, {{1, 700, a}});
    invoice = static_cast<std::int32_t>(app.nextOrderNumber);
  }
  int collectiveInvoices() {
    frame::AppState reader = OtherCopy(dir.path());
    store::IssueBook book;
    EXPECT_TRUE(store::ReadIssueBook(reader, book));
    int n = 0;
    for (const store::IssueRecord& record : book.records())
      n += record.kind == store::kIssuedCollectiveInvoice;
    return n;
  }
  std::int32_t meier = 0, invoice = 0;
  std::vector<std::int32_t> notes;
};

TEST(CollectiveCopies, ASecondCopyMeanwhileNeitherBillsTwiceNorMovesTheMarks) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const struct {
    const char* name;
    const char* second;
  } cases[] = {
      {"a collective invoice of the same notes", "print 4 --customer Meier --issue --pdf "},
      {"deletion of old invoices", "--yes delete-invoices --from 01.01.2024 --to 31.12.2024"},
      {"reorganised articles", "--yes reorganise articles"},
      {"reorganised addresses", "--yes reorganise addresses"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Directory d;
    const std::string run = cli + " --data-dir " + d.dir.path() + " ";
    const std::string pause = d.dir.file("pause");
    std::filesystem::create_directory(pause);
    int first = -1, second = -1;
    std::string errors;
    std::thread held([&] {
      first = testsupport::RunCommand("BELVON_PAUSE_AT=sammelrechnung:" + pause + " " + run +
                                          "print 4 --customer Meier --issue --pdf " +
                                          d.dir.file("a.pdf"),
                                      nullptr, &errors);
    });
    for (int i = 0; i < 3000 && !std::filesystem::exists(pause + "/angehalten"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(pause + "/angehalten"));
    std::string command = run + c.second;
    if (command.ends_with("--pdf ")) command += d.dir.file("b.pdf");
    std::thread other([&] { second = testsupport::RunCommand(command); });
    // The first copy goes on once the second is done, or once the second
    // waits for it.
    for (int i = 0; i < 200 && second < 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    testsupport::WriteBytes(pause + "/weiter", {'x'});
    held.join();
    other.join();

    EXPECT_EQ(testsupport::RunCommand(run + "check"), 0);
    EXPECT_EQ(d.collectiveInvoices(), 1);
    const bool sameNotes = std::string(c.second).starts_with("print");
    EXPECT_EQ(first + second, sameNotes ? 1 : 0) << errors;
    // The invoice that billed them: its customer and its articles are the
    // notes' own where they are now.
    const std::int32_t number = first == 0 ? d.invoice : d.invoice + 1;
    std::vector<store::OrderLine> lines, noteLines;
    const store::OrderHead invoice = d.stored(number, &lines);
    ASSERT_EQ(+invoice.lineCount, 3);
    std::size_t k = 1;
    for (std::int32_t note : d.notes) {
      const store::OrderHead head = d.stored(note, &noteLines);
      EXPECT_EQ(+head.flags, kDelivered | store::kOrderCollectivelyBilled);
      EXPECT_EQ(+invoice.customerRef, +head.customerRef);
      for (std::size_t i = 1; i < noteLines.size(); ++i, ++k) {
        EXPECT_EQ(+lines[k].articleRef, +noteLines[i].articleRef);
        EXPECT_EQ(+lines[k].orderNumber, note);
      }
    }
    EXPECT_FALSE(std::filesystem::exists(d.dir.file("SAMMEL.JNL")));
  }
}

}  // namespace
