// The program state on a fresh data directory: its own folder, a scripted
// user and a fixed clock. TestApp loads nothing; FreshProgram is a started
// program (parameters loaded, profile belvon.ini kept in the directory too).
#ifndef BELVON_TESTS_SUPPORT_TEST_APP_H
#define BELVON_TESTS_SUPPORT_TEST_APP_H

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <string>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "platform/clock.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace testsupport {

struct TestApp {
  explicit TestApp(platform::LocalTime now = {2026, 12, 6, 10, 0, 0}) : clock(now) {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
  }
  // The profile (belvon.ini) goes into the data directory.
  void KeepProfileHere() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.path()));
  }
  // Another copy of the program started on `directory`: what was written.
  frame::AppState OtherCopy(const std::string& directory) {
    frame::AppState other;
    other.dataDirectory = directory;
    other.clock = &clock;
    frame::LoadParameters(other);
    return other;
  }

  TempDir dir;
  ScriptedUi ui;
  platform::FixedClock clock;
  frame::AppState app;
};

class FreshProgram : public ::testing::Test, public TestApp {
 protected:
  FreshProgram() : TestApp({2026, 12, 7, 9, 0, 0}) {
    KeepProfileHere();
    frame::LoadParameters(app);
  }
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_TEST_APP_H
