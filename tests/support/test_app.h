// The program state on a fresh data directory: its own folder, a scripted
// user and a fixed clock. Nothing is loaded; call frame::LoadParameters for a
// started program.
#ifndef BELVON_TESTS_SUPPORT_TEST_APP_H
#define BELVON_TESTS_SUPPORT_TEST_APP_H

#include "frame/app_state.h"
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

  TempDir dir;
  ScriptedUi ui;
  platform::FixedClock clock;
  frame::AppState app;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_TEST_APP_H
