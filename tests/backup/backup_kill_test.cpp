// A backup or a restore killed at any one of its file calls, or meeting a
// failing one: the data directory and the earlier backup stay as they were,
// and a restore that failed leaves nothing behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "backup/backup.h"
#include "backup/backup_reminder.h"
#include "support/failing_file_system.h"
#include "support/order_book.h"
#include "support/temp_dir.h"

namespace {

namespace fsys = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Tree = std::map<std::string, Bytes>;

constexpr int kKilled = 77;

// Every regular file below `dir` but the files in the making ("*.neu"),
// which a kill may leave and which no backup takes.
Tree ReadTree(const std::string& dir) {
  Tree tree;
  if (!fsys::exists(dir)) return tree;
  for (const auto& entry : fsys::recursive_directory_iterator(dir)) {
    const std::string relative = entry.path().lexically_relative(dir).generic_string();
    if (entry.is_regular_file() && backup::BelongsToBackup(relative))
      tree[relative] = ReadBytes(entry.path().string());
  }
  return tree;
}

// What a restore of a backup of the data gives back: all but the note of the
// last backup, which was written after it.
Tree Restorable(Tree data) {
  data.erase(backup::kReminderFileName);
  return data;
}

// Ends the process at its Nth file call, as a kill would.
class KillingFileSystem : public platform::FileSystem {
 public:
  explicit KillingFileSystem(int killAt) : killAt_(killAt) {}
  bool injectFault(platform::IoOp, const std::string&) override {
    if (++calls_ == killAt_) _exit(kKilled);
    return false;
  }

 private:
  int killAt_;
  int calls_ = 0;
};

// Runs `work` in a child process whose file calls end it at the Nth; true
// when it was killed there, false when it ran to its end.
bool KilledAt(int n, const std::function<bool(platform::FileSystem&)>& work) {
  const pid_t child = fork();
  if (child == 0) {
    KillingFileSystem killer(n);
    _exit(work(killer) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  return WEXITSTATUS(status) == kKilled;
}

class BackupKill : public ::testing::Test, public testsupport::OrderBook {
 protected:
  BackupKill() {
    const std::int32_t meier = customer("Meier");
    order(meier, 0, {{2, 150, article("A-100", 12)}});
    fsys::create_directories(dir.file("ARCHIV"));
    fsys::create_directories(dir.file("EINGANG"));
    WriteBytes(dir.file("ARCHIV/126120001.pdf"), Bytes(30000, 0x25));
    WriteBytes(dir.file("EINGANG/lieferant.xml"), Bytes(500, 'x'));
    WriteBytes(dir.file("MAHNUNG1.TXT"), Bytes(40, 'm'));
  }
  std::string archive() { return outside.file("sicherung.tar.gz"); }
  testsupport::TempDir outside;
};

TEST_F(BackupKill, AKilledBackupLeavesTheDataAndTheEarlierBackupAsTheyWere) {
  ASSERT_TRUE(backup::CreateBackup(app, archive()).written);
  const Bytes earlier = ReadBytes(archive());
  const Tree data = ReadTree(dir.path());
  int kills = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("killed at file call " + std::to_string(n));
    const bool killed = KilledAt(n, [this](platform::FileSystem& fs) {
      app.fileSystem = &fs;
      return backup::CreateBackup(app, archive()).written;
    });
    EXPECT_EQ(ReadTree(dir.path()), data);
    // The earlier backup, or the new one whole: both restore the same data.
    const Bytes now = ReadBytes(archive());
    if (now != earlier) {
      const backup::CheckOutcome checked = backup::VerifyBackup(*app.fileSystem, archive());
      EXPECT_TRUE(checked.ok()) << checked.problem;
    }
    fsys::remove(archive() + ".neu");
    if (!killed) break;
    ++kills;
  }
  EXPECT_GT(kills, 20);
  const std::string target = outside.file("zurueck");
  ASSERT_TRUE(backup::RestoreBackup(*app.fileSystem, archive(), target).ok());
  // The last backup holds the note of the earlier one.
  EXPECT_EQ(ReadTree(target), data);
}

TEST_F(BackupKill, AKilledRestoreLeavesTheDataAndTheBackupAsTheyWere) {
  ASSERT_TRUE(backup::CreateBackup(app, archive()).written);
  const Bytes taken = ReadBytes(archive());
  const Tree data = ReadTree(dir.path());
  int kills = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("killed at file call " + std::to_string(n));
    const std::string target = outside.file("ziel" + std::to_string(n));
    const bool killed = KilledAt(n, [&](platform::FileSystem& fs) {
      return backup::RestoreBackup(fs, archive(), target).ok();
    });
    EXPECT_EQ(ReadTree(dir.path()), data);
    EXPECT_EQ(ReadBytes(archive()), taken);
    if (!killed) {
      EXPECT_EQ(ReadTree(target), Restorable(data));
      break;
    }
    ++kills;
  }
  EXPECT_GT(kills, 20);
}

// A file call that fails instead: a restore that cannot finish takes away
// everything it wrote, the directory it made too. (A failing call can also
// do no harm: the read after the last byte, say.)
TEST_F(BackupKill, ARestoreThatMeetsAFailingFileCallLeavesNothing) {
  ASSERT_TRUE(backup::CreateBackup(app, archive()).written);
  const Tree data = Restorable(ReadTree(dir.path()));
  int refused = 0;
  for (platform::IoOp op : {platform::IoOp::Open, platform::IoOp::Read, platform::IoOp::Write,
                            platform::IoOp::Sync}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE("call " + std::to_string(n) + " of kind " + std::to_string(static_cast<int>(op)));
      testsupport::FailingFileSystem failing(op, n);
      const std::string target = outside.file("ziel");
      const backup::CheckOutcome restored = backup::RestoreBackup(failing, archive(), target);
      if (restored.intact) {
        EXPECT_TRUE(restored.ok());
        EXPECT_EQ(ReadTree(target), data);
      } else {
        ++refused;
        EXPECT_FALSE(restored.problem.empty());
        EXPECT_FALSE(fsys::exists(target));
      }
      fsys::remove_all(target);
      if (!failing.reached()) {
        EXPECT_TRUE(restored.intact);
        break;
      }
    }
  }
  EXPECT_GT(refused, 20);
}

}  // namespace
