// The main window on the offscreen platform: title, status lines and help.
#include <QApplication>
#include <QFile>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/help_viewer.h"
#include "frame/ui/main_window.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "support/test_app.h"

namespace {

TEST(MainWindow, ShowsTitleClockAndRecordCounts) {
  testsupport::TestApp t({2026, 12, 6, 9, 5, 0});
  frame::AppState& app = t.app;

  frame::MainWindow window(app);
  frame::LoadParameters(app);
  window.refreshStatus();
  EXPECT_EQ(window.windowTitle().toStdString(), "Belvon - 2.0");
  EXPECT_EQ(window.statusLine1().toStdString(), "Datum: 06.12.2026, Uhrzeit: 09:05");
  EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 0  Rec.: 0");

  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, testsupport::MakeArticle("4711"), position, true), 1);
  window.refreshStatus();
  EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 1  Rec.: 0");
}

TEST(Help, EveryDialogContextHasItsOwnGermanPage) {
  for (int context : {1, 5, 6, 8, 10, 12, 13, 15, 22, 23, 27, 39, 40, 42, 48, 49, 50, 59, 60, 65}) {
    QString page = frame::HelpPage(context);
    EXPECT_EQ(page, QStringLiteral(":/help/kontext_%1.html").arg(context));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << context;
    EXPECT_TRUE(file.readAll().contains(QStringLiteral("name=\"kontext_%1\"").arg(context).toUtf8()));
  }
  // A context without a page of its own opens the overview.
  EXPECT_EQ(frame::HelpPage(4711), QStringLiteral(":/help/kontext_1.html"));
}

TEST(Help, MenuCommandOpensTheOverview) {
  testsupport::TestApp t;
  frame::MainWindow window(t.app);
  window.command(144);
  QTextBrowser* browser = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = w->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"))) browser = b;
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Übersicht")) ||
              browser->toPlainText().contains(QStringLiteral("Belvon")));
}

}  // namespace
