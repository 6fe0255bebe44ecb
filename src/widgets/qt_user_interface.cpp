#include "widgets/qt_user_interface.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

namespace frame {

namespace {

QMessageBox::Icon ToQt(Icon icon) {
  switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Stop: return QMessageBox::Critical;
    case Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

// A box shown while the hourglass is up still gets the arrow.
class ArrowWhileShown {
 public:
  ArrowWhileShown() : active_(QApplication::overrideCursor() != nullptr) {
    if (active_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileShown() {
    if (active_) QApplication::restoreOverrideCursor();
  }

 private:
  bool active_;
};

}  // namespace

void QtUserInterface::note(const std::string& text) {
  auto* window = qobject_cast<QMainWindow*>(owner_.data());
  if (!window) {
    message(text, Icon::Information);
    return;
  }
  // One line: a remark of several lines reads as one sentence.
  QString line = QString::fromStdString(text).replace(QStringLiteral(":\n- "), QStringLiteral(": "));
  line.replace(QStringLiteral("\n- "), QStringLiteral(", ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
  window->statusBar()->showMessage(line);
}

void QtUserInterface::message(const std::string& text, Icon icon) {
  ArrowWhileShown arrow;
  QMessageBox box(ToQt(icon), QString::fromUtf8(kProgramTitle), QString::fromStdString(text),
                  QMessageBox::Ok, owner_);
  box.exec();
}

bool QtUserInterface::question(const std::string& text, Icon icon, bool defaultNo) {
  ArrowWhileShown arrow;
  QMessageBox box(ToQt(icon), QString::fromUtf8(kProgramTitle), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
  box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

bool QtUserInterface::confirm(const std::string& text, Icon icon) {
  ArrowWhileShown arrow;
  QMessageBox box(ToQt(icon), QString::fromUtf8(kProgramTitle), QString::fromStdString(text),
                  QMessageBox::Ok | QMessageBox::Cancel, owner_);
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  return box.exec() == QMessageBox::Ok;
}

UserInterface::Choice QtUserInterface::ask(const std::string& text, Icon icon) {
  ArrowWhileShown arrow;
  QMessageBox box(ToQt(icon), QString::fromUtf8(kProgramTitle), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner_);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return Choice::Yes;
    case QMessageBox::No: return Choice::No;
    default: return Choice::Cancel;
  }
}

void QtUserInterface::beginProgress() {
  // Over an open modal dialog (the article search) the box must belong to
  // it: a window beside the modal dialog gets no keys, so Esc would not reach it.
  QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : owner_.data();
  if (!progress_) progress_ = new ProgressBox(parent);
  progress_->bar()->setPercent(-1);
  progress_->show();
  progress_->raise();
  progress_->activateWindow();
}

bool QtUserInterface::progress(int percent) { return progress_ && progress_->update(percent); }

void QtUserInterface::endProgress() {
  if (progress_) progress_->deleteLater();
  progress_ = nullptr;
}

void QtUserInterface::beginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtUserInterface::endWait() { QApplication::restoreOverrideCursor(); }

}  // namespace frame
