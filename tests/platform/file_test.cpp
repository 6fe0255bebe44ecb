// platform::File: share modes between openers, the retry loop with its bound
// and question, and why an open fails.
#include "platform/file.h"
#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

const std::vector<std::uint8_t> kContent = {'B', 'E', 'L', 'V', 'O', 'N'};

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(path, kContent); }

  File open(Access access, Share share, Disposition disposition = Disposition::OpenExisting) {
    return fs.open(path, access, share, disposition);
  }

  TempDir dir;
  std::string path = dir.file("ARTIKEL.IDX");
  FileSystem& fs = SystemFileSystem();
};

long long MillisecondsSince(steady_clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// Who may open the file while another opener holds it.
TEST_F(FileTest, ShareModesAdmitOnlyCompatibleOpeners) {
  using A = Access;
  using S = Share;
  const struct {
    A heldAccess;
    S heldShare;
    A access;
    S share;
    bool admitted;
  } cases[] = {
      {A::ReadWrite, S::Exclusive, A::Read, S::DenyNone, false},
      {A::ReadWrite, S::Exclusive, A::Read, S::DenyWrite, false},
      {A::ReadWrite, S::Exclusive, A::Write, S::DenyNone, false},
      {A::ReadWrite, S::Exclusive, A::ReadWrite, S::Exclusive, false},
      {A::Read, S::DenyWrite, A::Read, S::DenyWrite, true},
      {A::Read, S::DenyWrite, A::Read, S::DenyNone, true},
      {A::Read, S::DenyWrite, A::Write, S::DenyNone, false},
      // A writer that itself denies writing to others is still a writer.
      {A::Read, S::DenyWrite, A::Write, S::DenyWrite, false},
      {A::Read, S::DenyWrite, A::ReadWrite, S::Exclusive, false},
      {A::Write, S::DenyWrite, A::Read, S::DenyWrite, false},
      {A::Write, S::DenyWrite, A::Write, S::DenyWrite, false},
      {A::Write, S::DenyWrite, A::Write, S::DenyNone, false},
      {A::Write, S::DenyNone, A::Write, S::DenyNone, true},  // two writers without locks
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "held " << int(c.heldAccess) << "/" << int(c.heldShare)
                                    << ", then " << int(c.access) << "/" << int(c.share));
    File held = open(c.heldAccess, c.heldShare);
    ASSERT_TRUE(held);
    EXPECT_EQ(bool(open(c.access, c.share)), c.admitted);
  }
  // A lock goes with its last holder.
  File reader = open(Access::Read, Share::DenyWrite);
  File secondReader = open(Access::Read, Share::DenyWrite);
  reader.close();
  EXPECT_FALSE(open(Access::Write, Share::DenyWrite)) << "the second reader still holds it";
  secondReader.close();
  EXPECT_TRUE(open(Access::Write, Share::DenyWrite));
}

TEST_F(FileTest, CreateAlwaysNeverTruncatesUnderAnotherOpener) {
  for (Share heldShare : {Share::Exclusive, Share::DenyWrite}) {
    File held = open(heldShare == Share::Exclusive ? Access::ReadWrite : Access::Read, heldShare);
    ASSERT_TRUE(held);
    EXPECT_FALSE(open(Access::Write, Share::Exclusive, Disposition::CreateAlways));
    EXPECT_FALSE(open(Access::Write, Share::DenyNone, Disposition::CreateAlways));
    EXPECT_EQ(ReadBytes(path), kContent);
  }
  // Once nobody holds it, the create truncates.
  EXPECT_TRUE(open(Access::Write, Share::Exclusive, Disposition::CreateAlways));
  EXPECT_TRUE(ReadBytes(path).empty());
}

TEST_F(FileTest, RetryAsksAfterTheBoundAndGivesUpOrTriesAgain) {
  File held = open(Access::ReadWrite, Share::Exclusive);
  ASSERT_TRUE(held);
  const RetryPolicy policy{milliseconds(20), milliseconds(150)};

  // Asked about the file after each bound: Yes waits another bound, No gives up.
  std::vector<std::string> askedFor;
  auto start = steady_clock::now();
  File file = OpenWithRetry(fs, path, Access::Read, Share::DenyWrite, Disposition::OpenExisting,
                            policy, [&](const std::string& p) {
                              askedFor.push_back(p);
                              return askedFor.size() == 1;
                            });
  EXPECT_FALSE(file);
  EXPECT_EQ(askedFor, (std::vector<std::string>{path, path}));
  EXPECT_GE(MillisecondsSince(start), 300);

  // Without a question the loop gives up on its own after the bound.
  EXPECT_FALSE(OpenWithRetry(fs, path, Access::Read, Share::DenyWrite, Disposition::OpenExisting,
                             policy, nullptr));
}

// --- What cannot be opened, and why: only a lock of another opener is
// waited for; anything else is given up at once, with its reason.

TEST_F(FileTest, OnlyABusyFileIsWaitedForAndAskedAbout) {
  File held = open(Access::ReadWrite, Share::Exclusive);
  ASSERT_TRUE(held);
  std::string fifo = dir.file("RABATT.DAT");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  std::filesystem::create_directory(dir.file("KUNDEN.IDX"));
  testsupport::FailingCalls noPermission(IoOp::Open, {}, EACCES),
      notPermitted(IoOp::Open, {}, EPERM), injectedConflict(IoOp::Open);
  struct Case {
    const char* what;
    FileSystem& fs;
    std::string path;
    Disposition disposition;
    OpenFailure expected;
  } cases[] = {
      {"lock of another opener", fs, path, Disposition::OpenExisting, OpenFailure::Busy},
      {"injected without a reason", injectedConflict, path, Disposition::OpenExisting,
       OpenFailure::Busy},
      {"EACCES", noPermission, path, Disposition::OpenExisting, OpenFailure::NoPermission},
      {"EPERM", notPermitted, path, Disposition::CreateAlways, OpenFailure::NoPermission},
      {"FIFO", fs, fifo, Disposition::OpenExisting, OpenFailure::NotRegular},
      {"FIFO created over", fs, fifo, Disposition::CreateAlways, OpenFailure::NotRegular},
      {"directory", fs, dir.file("KUNDEN.IDX"), Disposition::OpenExisting,
       OpenFailure::NotRegular},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (auto [access, share] : {std::pair{Access::Read, Share::DenyWrite},
                                 std::pair{Access::ReadWrite, Share::Exclusive},
                                 std::pair{Access::Write, Share::DenyNone}}) {
      int asked = 0;
      OpenFailure why = OpenFailure::None;
      File file = OpenWithRetry(c.fs, c.path, access, share, c.disposition,
                                {milliseconds(5), milliseconds(30)},
                                [&](const std::string&) { return ++asked, false; }, &why);
      EXPECT_FALSE(file);
      EXPECT_EQ(why, c.expected);
      EXPECT_EQ(asked, c.expected == OpenFailure::Busy ? 1 : 0);
    }
  }
  EXPECT_EQ(ReadBytes(path), kContent);
}

TEST_F(FileTest, KindTellsMissingFromRegularFromAnythingElse) {
  std::filesystem::create_directory(dir.file("DIR"));
  std::filesystem::create_symlink(dir.file("FEHLT"), dir.file("DANGLING"));
  std::filesystem::create_symlink(path, dir.file("LINK"));
  ASSERT_EQ(mkfifo(dir.file("FIFO").c_str(), 0666), 0);
  struct {
    const char* name;
    PathKind kind;
  } cases[] = {{"LINK", PathKind::Regular},
               {"FEHLT/X", PathKind::Missing},
               {"DANGLING", PathKind::NotRegular},
               {"DIR", PathKind::NotRegular},
               {"FIFO", PathKind::NotRegular}};
  for (const auto& c : cases) EXPECT_EQ(fs.kind(dir.file(c.name)), c.kind) << c.name;
}

// An output file is there whole or not at all: whichever call fails, the
// file keeps what it held and no temporary file is left; a link where the
// temporary file goes is replaced, never written through.
TEST_F(FileTest, AnOutputFileIsWrittenWholeOrNotAtAll) {
  const std::string text = "neu und vollständig";
  for (IoOp op : {IoOp::Open, IoOp::Write, IoOp::Sync, IoOp::Rename}) {
    SCOPED_TRACE(static_cast<int>(op));
    testsupport::FailingCalls failing(op, "", ENOSPC);
    EXPECT_FALSE(WriteOutputFile(failing, path, text));
    EXPECT_EQ(ReadBytes(path), kContent);
    EXPECT_FALSE(std::filesystem::exists(path + ".neu"));
  }
  const std::string outside = dir.file("fremd");
  WriteBytes(outside, kContent);
  std::filesystem::create_symlink(outside, path + ".neu");
  ASSERT_TRUE(WriteOutputFile(SystemFileSystem(), path, text));
  EXPECT_EQ(ReadBytes(path), std::vector<std::uint8_t>(text.begin(), text.end()));
  EXPECT_EQ(ReadBytes(outside), kContent);
  EXPECT_FALSE(std::filesystem::exists(path + ".neu"));
}

// A name that holds a directory, a FIFO or a dangling link is no file to
// replace: refused before anything is written, left as it was, and the
// message says why.
TEST_F(FileTest, AnOutputTargetThatIsNoRegularFileIsRefused) {
  std::filesystem::create_directory(dir.file("ORDNER"));
  ASSERT_EQ(mkfifo(dir.file("ROHR").c_str(), 0666), 0);
  std::filesystem::create_symlink(dir.file("FEHLT"), dir.file("VERWAIST"));
  for (const char* name : {"ORDNER", "ROHR", "VERWAIST"}) {
    SCOPED_TRACE(name);
    const std::string target = dir.file(name);
    const auto before = std::filesystem::symlink_status(target).type();
    OutputFile out(fs, target);
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.write("x"));
    EXPECT_FALSE(out.commit());
    EXPECT_FALSE(WriteOutputFile(fs, target, "x"));
    EXPECT_EQ(std::filesystem::symlink_status(target).type(), before);
    EXPECT_FALSE(std::filesystem::exists(target + ".neu"));
    EXPECT_NE(OutputFailureText(target).find("keine gewöhnliche Datei"), std::string::npos);
  }
  EXPECT_EQ(OutputFailureText(path), "Die Datei " + path + " kann nicht geschrieben werden.");
}

}  // namespace
}  // namespace platform
