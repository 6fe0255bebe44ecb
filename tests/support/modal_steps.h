// Drives the modal dialogs a command opens, one step per dialog in the order
// they come up (a step usually fills fields and presses a button).
#ifndef BELVON_TESTS_SUPPORT_MODAL_STEPS_H
#define BELVON_TESTS_SUPPORT_MODAL_STEPS_H

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>

namespace testsupport {

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
inline void PressButton(QWidget* dialog, int id) {
  QMetaObject::invokeMethod(dialog, "command", Q_ARG(int, id));
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_MODAL_STEPS_H
