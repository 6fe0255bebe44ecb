// The backup in the desktop program: the commands that change many records
// at once offer a backup first, and the start shows the reminder line only
// while a backup is due.
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "backup/backup.h"
#include "backup/ui/backup_menu.h"
#include "core/command_ids.h"
#include "support/order_book.h"
#include "support/temp_dir.h"
#include "widgets/frame_window.h"

namespace {

class BackupMenuTest : public ::testing::Test, public testsupport::OrderBook {};

// Declining the offer runs the command as before; the offer names it.
TEST_F(BackupMenuTest, CommandsThatChangeManyRecordsOfferABackupFirst) {
  frame::FrameWindow window(app);
  std::vector<int> ran;
  const std::pair<int, const char*> commands[] = {
      {frame::cmd::kReorganiseArticles, "Vor der Reorganisation der Artikel"},
      {frame::cmd::kReorganiseAddresses, "Vor der Reorganisation der Adressen"},
      {frame::cmd::kDeleteOldInvoices, "Vor dem Löschen alter Rechnungen"},
      {frame::cmd::kCurrencyChangeover, "Vor der Währungsumstellung"}};
  for (const auto& [id, asked] : commands)
    window.setCommandHandler(id, [&ran, id = id] { ran.push_back(id); });
  backup::InstallBackupCommands(window);
  for (const auto& [id, asked] : commands) {
    SCOPED_TRACE(asked);
    ui.answer({false});
    const std::size_t before = ui.questions().size();
    window.command(id);
    ASSERT_EQ(ui.questions().size(), before + 1);
    EXPECT_EQ(ui.questions().back().rfind(asked, 0), 0u) << ui.questions().back();
    ASSERT_FALSE(ran.empty());
    EXPECT_EQ(ran.back(), id);
  }
  EXPECT_EQ(ran.size(), 4u);
}

TEST_F(BackupMenuTest, TheReminderLineShowsOnlyWhileABackupIsDue) {
  {
    frame::FrameWindow window(app);
    backup::ShowBackupReminder(window);
    const QWidget* line = window.findChild<QWidget*>(QStringLiteral("backupReminder"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->findChild<QLabel*>()->text(),
              QStringLiteral("Es ist noch keine Datensicherung vermerkt."));
    EXPECT_NE(line->findChild<QPushButton*>(), nullptr);
  }
  testsupport::TempDir outside;
  ASSERT_TRUE(backup::CreateBackup(app, outside.file("s.tar.gz")).written);
  frame::FrameWindow window(app);
  backup::ShowBackupReminder(window);
  EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("backupReminder")), nullptr);
}

}  // namespace
