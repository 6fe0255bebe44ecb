// The inbox keeps what arrived byte for byte under its checksum, tells a
// file it already has from a new file with a known number, and a second
// copy of the program sees every change.
#include "receive/inbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/sha256.h"
#include "receive/receive_test_files.h"
#include "support/failing_file_system.h"
#include "support/test_app.h"

namespace {

using receive::AddResult;
using receivetest::Fixture;

TEST(Inbox, KeepsTheFileByteForByteAndListsItForAnotherCopy) {
  testsupport::TestApp t;
  const std::string pdf = Fixture("corpus-fx/EN16931_Einfach.pdf");
  const receive::AddOutcome kept = receive::AddBytesToInbox(t.app, pdf, "Rechnung März.pdf", {});
  ASSERT_EQ(kept.result, AddResult::Kept) << kept.message;
  EXPECT_EQ(kept.entry.id, 1);
  EXPECT_EQ(kept.entry.fileName, "1_471102.pdf");
  EXPECT_EQ(receivetest::Read(t.dir.file("EINGANG/1_471102.pdf")), pdf);
  EXPECT_EQ(kept.entry.sha256, frame::HexDigest(frame::Sha256Of(pdf)));

  // Another copy of the program reads the list from the disk.
  frame::AppState other = t.OtherCopy(t.dir.path());
  receive::InboxList list;
  ASSERT_TRUE(receive::ReadInbox(other, list));
  ASSERT_EQ(list.entries.size(), 1u);
  const receive::InboxEntry& e = list.entries[0];
  EXPECT_EQ(e.originalName, "Rechnung März.pdf");
  EXPECT_EQ(e.seller, "Lieferant GmbH");
  EXPECT_EQ(e.number, "471102");
  EXPECT_EQ(e.total, "529.87");
  EXPECT_EQ(e.due, "529.87");
  EXPECT_EQ(e.format, "PDF/CII");
  EXPECT_EQ(e.received, "06.12.2026");
  EXPECT_TRUE(e.paidOn.empty());

  std::string message;
  ASSERT_TRUE(receive::MarkPaid(other, 1, "10.12.2026", message)) << message;
  ASSERT_TRUE(receive::ReadInbox(t.app, list));
  EXPECT_EQ(list.entries[0].paidOn, "10.12.2026");
  EXPECT_FALSE(receive::MarkPaid(t.app, 7, "10.12.2026", message));
  EXPECT_NE(message.find("keine Eingangsrechnung 7"), std::string::npos);

  // What is shown later is the file that was kept.
  std::string bytes;
  const receive::OpenedInvoice opened = receive::OpenKept(t.app, list.entries[0], &bytes);
  ASSERT_TRUE(opened.ok) << opened.message;
  EXPECT_EQ(bytes, pdf);
}

TEST(Inbox, TheSameFileTwiceIsRefusedAndAnotherWithItsNumberIsKeptWithAFinding) {
  testsupport::TestApp t;
  const std::string xml = Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  ASSERT_EQ(receive::AddBytesToInbox(t.app, xml, "a.xml", {}).result, AddResult::Kept);
  const std::string listBefore = receivetest::Read(t.dir.file("EINGANG/EINGANG.LST"));

  const receive::AddOutcome again = receive::AddBytesToInbox(t.app, xml, "nochmal.xml", {});
  EXPECT_EQ(again.result, AddResult::Refused);
  EXPECT_NE(again.message.find("schon abgelegt: Eingangsrechnung 1"), std::string::npos)
      << again.message;
  EXPECT_NE(again.message.find("„a.xml“"), std::string::npos) << again.message;
  EXPECT_EQ(receivetest::Read(t.dir.file("EINGANG/EINGANG.LST")), listBefore);

  // The same invoice in the other syntax: the seller's number is known.
  const receive::AddOutcome twin = receive::AddBytesToInbox(
      t.app, Fixture("xrechnung-testsuite/01.01a-INVOICE_ubl.xml"), "b.xml", {});
  ASSERT_EQ(twin.result, AddResult::Kept);
  ASSERT_EQ(twin.entry.findings.size(), 1u);
  EXPECT_NE(twin.entry.findings[0].find("Eingangsrechnung 1 ([Seller name], Nr. 123456XX"),
            std::string::npos)
      << twin.entry.findings[0];
  // A third names the first, not every one before it.
  const receive::AddOutcome third = receive::AddBytesToInbox(
      t.app, Fixture("xrechnung-testsuite/01.17a-INVOICE_ubl.xml"), "c.xml", {});
  ASSERT_EQ(third.result, AddResult::Kept);
  ASSERT_EQ(third.entry.findings.size(), 1u);
  EXPECT_NE(third.entry.findings[0].find("Eingangsrechnung 1 "), std::string::npos);
}

TEST(Inbox, AKeptFileThatWasChangedIsNotShownAsTheOneReceived) {
  testsupport::TestApp t;
  const receive::AddOutcome kept = receive::AddBytesToInbox(
      t.app, Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml"), "a.xml", {});
  ASSERT_EQ(kept.result, AddResult::Kept);
  std::string bytes = receivetest::Read(receive::KeptPath(t.app, kept.entry));
  bytes[bytes.find("336.9")] = '9';
  { std::ofstream(receive::KeptPath(t.app, kept.entry), std::ios::binary) << bytes; }
  const receive::OpenedInvoice opened = receive::OpenKept(t.app, kept.entry);
  EXPECT_FALSE(opened.ok);
  EXPECT_NE(opened.message.find("Prüfsumme"), std::string::npos) << opened.message;
}

// Lines a later version writes survive a change by this one; the escapes
// of the fields read back what was written.
TEST(Inbox, TheListReadsBackWhatItHeldAndKeepsLinesItDoesNotKnow) {
  receive::InboxList list;
  receive::InboxEntry e;
  e.id = 3, e.fileName = "3_X.xml", e.seller = "Müller\tSöhne\\KG", e.number = "R-1";
  e.findings = {"erste\nZeile", "zweite"};
  list.entries.push_back(e);
  list.foreign.push_back("99\tetwas Neues");
  const receive::InboxList read =
      receive::ParseInboxList(receive::InboxListText(list) + "kaputt\n");
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].seller, e.seller);
  EXPECT_EQ(read.entries[0].findings, e.findings);
  EXPECT_EQ(read.foreign, (std::vector<std::string>{"99\tetwas Neues", "kaputt"}));
  EXPECT_EQ(read.nextId(), 4);
  // A name that would lead out of the folder is no entry of ours.
  EXPECT_TRUE(receive::ParseInboxList(receivetest::ReplacedAll(receive::InboxListText(list),
                                                               "3_X.xml", "../../etc/passwd"))
                  .entries.empty());
}

TEST(Inbox, AFailedWriteLeavesNeitherTheFileNorAnEntry) {
  for (const platform::IoOp op :
       {platform::IoOp::Write, platform::IoOp::Rename, platform::IoOp::Sync}) {
    for (int n = 1; n <= 3; ++n) {
      SCOPED_TRACE(n);
      testsupport::TestApp t;
      testsupport::FailingFileSystem failing(op, n);
      t.app.fileSystem = &failing;
      const receive::AddOutcome outcome = receive::AddBytesToInbox(
          t.app, Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml"), "a.xml", {});
      t.app.fileSystem = &platform::SystemFileSystem();
      receive::InboxList list;
      ASSERT_TRUE(receive::ReadInbox(t.app, list));
      if (outcome.result == AddResult::Kept) {
        ASSERT_EQ(list.entries.size(), 1u);
        EXPECT_TRUE(std::filesystem::exists(receive::KeptPath(t.app, list.entries[0])));
        continue;
      }
      EXPECT_EQ(outcome.result, AddResult::Failed);
      EXPECT_FALSE(outcome.message.empty());
      EXPECT_TRUE(list.entries.empty());
      for (const auto& entry : std::filesystem::directory_iterator(t.dir.file("EINGANG")))
        EXPECT_EQ(entry.path().filename(), "EINGANG.LCK");
    }
  }
}

}  // namespace
