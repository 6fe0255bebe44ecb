#include "mail/ui/send_wait_box.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <thread>

namespace mail {

namespace {

const char* const kSending = "Die E-Mail wird gesendet...";
const char* const kAwaiting =
    "Die E-Mail ist beim Mailserver; er hat ihre Annahme noch nicht bestätigt.\n"
    "Das Programm wartet darauf bis zu 10 Minuten.\n\n"
    "Abbrechen beendet das Warten: ob die E-Mail zugestellt wird, ist dann unbekannt.";
const char* const kStopping = "Wird abgebrochen...";

}  // namespace

SendWaitBox::SendWaitBox(SendControl& control, QWidget* parent) : QDialog(parent), control_(control) {
  setObjectName(QStringLiteral("EMAILWARTEN"));
  setWindowTitle(QStringLiteral("Belvon - 2.0"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(QString::fromUtf8(kSending), this);
  text_->setWordWrap(true);
  text_->setMinimumWidth(380);
  layout->addWidget(text_);
  auto* stop = new QPushButton(QStringLiteral("Abbrechen"), this);
  layout->addWidget(stop, 0, Qt::AlignRight);
  connect(stop, &QPushButton::clicked, this, &SendWaitBox::reject);
}

void SendWaitBox::reject() {
  control_.stop = true;
  text_->setText(QString::fromUtf8(kStopping));
}

void SendWaitBox::follow() {
  if (control_.stop || awaitingShown_ || !control_.awaitingReply) return;
  awaitingShown_ = true;
  text_->setText(QString::fromUtf8(kAwaiting));
}

SendResult SendWatched(QWidget* parent, const std::function<SendResult(SendControl&)>& send) {
  SendControl control;
  SendResult result;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    result = send(control);
    done = true;
  });
  SendWaitBox box(control, parent);
  QEventLoop loop;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &box, [&] {
    if (done) loop.quit();
    else box.follow();
  });
  timer.start(100);
  box.show();
  loop.exec();
  worker.join();
  return result;
}

}  // namespace mail
