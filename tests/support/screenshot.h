// Pictures of widgets for people to look at, taken only when
// BELVON_SCREENSHOT_DIR names a folder.
#ifndef BELVON_TESTS_SUPPORT_SCREENSHOT_H
#define BELVON_TESTS_SUPPORT_SCREENSHOT_H

#include <QApplication>
#include <QString>
#include <QWidget>
#include <cstdlib>

namespace testsupport {

inline bool ScreenshotsWanted() { return std::getenv("BELVON_SCREENSHOT_DIR") != nullptr; }

// Shows the widget at its natural size and saves it as <name>.png.
inline void SaveScreenshot(QWidget& widget, const QString& name) {
  widget.show();
  widget.adjustSize();
  QApplication::processEvents();
  widget.grab().save(QString::fromUtf8(std::getenv("BELVON_SCREENSHOT_DIR")) + "/" + name + ".png");
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_SCREENSHOT_H
