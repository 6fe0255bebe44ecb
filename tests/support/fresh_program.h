// A desktop program started on a fresh data directory, its profile
// (belvon.ini) kept in that directory too.
#ifndef BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H
#define BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <string>

#include "support/test_app.h"

namespace testsupport {

// The profile (belvon.ini) goes into `directory`.
inline void KeepProfileIn(const std::string& directory) {
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(directory));
}

class FreshProgram : public ::testing::Test, public TestApp {
 protected:
  FreshProgram() : TestApp({2026, 12, 7, 9, 0, 0}) {
    KeepProfileIn(dir.path());
    frame::LoadParameters(app);
  }
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_FRESH_PROGRAM_H
