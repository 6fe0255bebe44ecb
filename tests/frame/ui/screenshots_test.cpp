// Pictures of the main window and the settings dialogs for people to look
// at; only taken when BELVON_SCREENSHOT_DIR names a folder.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/screenshot.h"

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/druckparam_dialog.h"
#include "frame/ui/mahndaten_dialog.h"
#include "frame/ui/main_window.h"
#include "frame/ui/stammdaten_dialog.h"
#include "frame/ui/waehrung_dialog.h"
#include "frame/ui/about_dialog.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace {

TEST(Screenshots, MainWindowAndSettingsDialogs) {
  if (!std::getenv("BELVON_SCREENSHOT_DIR")) GTEST_SKIP() << "BELVON_SCREENSHOT_DIR not set";
  testsupport::TempDir dir;
  testsupport::ScriptedUi ui;
  frame::AppState app;
  app.dataDirectory = dir.path();
  app.ui = &ui;
  frame::MainWindow window(app);
  frame::LoadParameters(app);
  window.refreshStatus();
  window.resize(1000, 560);
  testsupport::SaveScreenshot(window, "main_window");
  frame::StammdatenDialog stammdaten(app.parameters, app.nextOrderNumber, app.dataDirectory);
  testsupport::SaveScreenshot(stammdaten, "stammdaten");
  frame::WaehrungDialog waehrung(app.parameters);
  testsupport::SaveScreenshot(waehrung, "waehrung");
  frame::DruckparamDialog druckparam(app.parameters);
  testsupport::SaveScreenshot(druckparam, "druckparam");
  frame::MahndatenDialog mahndaten(app.parameters);
  testsupport::SaveScreenshot(mahndaten, "mahndaten");
  frame::AboutDialog about;
  testsupport::SaveScreenshot(about, "about");
}

}  // namespace
