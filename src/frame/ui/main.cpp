// The desktop program: profile, main window, parameters, message loop.
#include <QApplication>
#include <clocale>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/main_window.h"
#include "frame/ui/profile.h"
#include "frame/ui/qt_user_interface.h"
#include "masterdata/ui/kunden_pane.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Numbers are read and shown with a decimal point, whatever the locale.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("Belvon"));

  frame::AppState app;
  frame::QtUserInterface ui;
  app.ui = &ui;
  frame::ReadProfile(app);

  frame::MainWindow window(app);
  masterdata::InstallAddressPane(window);
  ui.setOwner(&window);
  window.show();
  frame::LoadParameters(app);
  window.refreshStatus();
  return application.exec();
}
