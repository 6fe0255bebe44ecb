// GoogleTest main for widget tests: a QApplication on the offscreen platform.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  // The user's own belvon.ini is never read or written by a test: each test
  // program keeps its profile in a folder of its own (a test may move it).
  QTemporaryDir profile;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, profile.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
