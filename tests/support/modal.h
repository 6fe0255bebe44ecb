// Driving the modal dialogs a command opens: the script runs once the dialog
// is up (or one step per dialog, in the order they come up), and clicks and
// types through the dialog's control ids.
#ifndef BELVON_TESTS_SUPPORT_MODAL_H
#define BELVON_TESTS_SUPPORT_MODAL_H

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "widgets/dialog_support.h"

namespace testsupport {

// Runs `drive` on the modal dialog once it is open.
inline void OnModal(std::function<void(QDialog*)> drive) {
  QTimer::singleShot(0, [drive] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no dialog open";
    drive(dialog);
  });
}

using ModalStep = std::function<void(QWidget*)>;

// The steps run while the returned timer lives; keep it to the end of the test.
[[nodiscard]] inline std::unique_ptr<QTimer> OnModals(std::deque<ModalStep> steps) {
  auto owned = std::make_unique<QTimer>();
  QTimer* timer = owned.get();
  auto pending = std::make_shared<std::deque<ModalStep>>(std::move(steps));
  auto last = std::make_shared<QPointer<QWidget>>();
  QObject::connect(timer, &QTimer::timeout, [timer, pending, last] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == last->data()) return;
    *last = dialog;
    ModalStep step = std::move(pending->front());
    pending->pop_front();
    if (pending->empty()) timer->stop();
    step(dialog);
  });
  timer->start(0);
  return owned;
}

// Presses the button with this id (the dialogs' command slot).
inline void PressButton(QWidget* dialog, int id) { QMetaObject::invokeMethod(dialog, "command", Q_ARG(int, id)); }
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
