// The main window on the offscreen platform: title and status lines.
#include <gtest/gtest.h>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/main_window.h"
#include "store/article_file.h"
#include "store/text_field.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace {

TEST(MainWindow, ShowsTitleClockAndRecordCounts) {
  testsupport::TempDir dir;
  testsupport::ScriptedUi ui;
  platform::FixedClock clock({2026, 12, 6, 9, 5, 0});
  frame::AppState app;
  app.dataDirectory = dir.path();
  app.ui = &ui;
  app.clock = &clock;

  frame::MainWindow window(app);
  frame::LoadParameters(app);
  window.refreshStatus();
  EXPECT_EQ(window.windowTitle().toStdString(), "Belvon - 2.0");
  EXPECT_EQ(window.statusLine1().toStdString(), "Datum: 06.12.2026, Uhrzeit: 09:05");
  EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 0  Rec.: 0");

  store::ArticleRecord article{};
  store::SetText(article.number, "4711");
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, article, position, true), 1);
  window.refreshStatus();
  EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 1  Rec.: 0");
}

}  // namespace
