// Driving the modal dialogs a command opens: the script runs once the dialog
// is up, and clicks and types through the dialog's control ids.
#ifndef BELVON_TESTS_SUPPORT_MODAL_H
#define BELVON_TESTS_SUPPORT_MODAL_H

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "frame/ui/dialog_support.h"

namespace testsupport {

// Runs `drive` on the modal dialog once it is open.
inline void OnModal(std::function<void(QDialog*)> drive) {
  QTimer::singleShot(0, [drive] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no dialog open";
    drive(dialog);
  });
}

inline void Click(QWidget* dialog, int id) { frame::Control<QPushButton>(dialog, id)->click(); }
inline void Type(QWidget* dialog, int id, const QString& text) {
  frame::Control<QLineEdit>(dialog, id)->setText(text);
}
inline QString Shown(QWidget* dialog, int id) { return frame::Control<QLineEdit>(dialog, id)->text(); }

// A dialog a test leaves open fails the test instead of hanging it.
class ModalWatchdog {
 public:
  ModalWatchdog() {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [] {
      while (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ADD_FAILURE() << "dialog left open: " << open->objectName().toStdString();
        open->reject();
      }
    });
    timer_.start(5000);
  }

 private:
  QTimer timer_;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_MODAL_H
