// A desktop program started on a fresh data directory, its profile
// (belvon.ini) kept in that directory too, and a second copy's view of the
// files for checking what was written.
#ifndef BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H
#define BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <string>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace testsupport {

class FreshProgram : public ::testing::Test {
 protected:
  FreshProgram() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
    frame::LoadParameters(app);
  }
  // Another copy of the program started on `directory`.
  frame::AppState OtherCopy(const std::string& directory) {
    frame::AppState other;
    other.dataDirectory = directory;
    other.clock = &clock;
    frame::LoadParameters(other);
    return other;
  }

  TempDir dir;
  ScriptedUi ui;
  platform::FixedClock clock{{2026, 12, 7, 9, 0, 0}};
  frame::AppState app;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H
