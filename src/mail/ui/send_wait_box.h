// The box shown while a mail goes out by SMTP: the exchange runs in a
// thread of its own, the window stays alive, and "Abbrechen" stops it.
// Once the whole message is out the box says that the server's
// confirmation is awaited (up to ten minutes) and what stopping then means.
#ifndef BELVON_MAIL_UI_SEND_WAIT_BOX_H
#define BELVON_MAIL_UI_SEND_WAIT_BOX_H

#include <QDialog>
#include <functional>

#include "mail/smtp.h"

class QLabel;

namespace mail {

class SendWaitBox : public QDialog {
  Q_OBJECT

 public:
  SendWaitBox(SendControl& control, QWidget* parent = nullptr);
  // "Abbrechen", Esc and closing the window stop the send; the box stays
  // until the exchange has ended.
  void reject() override;
  // Follows the state of the send; called by the box's timer.
  void follow();

 private:
  SendControl& control_;
  QLabel* text_;
  bool awaitingShown_ = false;
};

// Runs `send` in a thread of its own while the box is shown over `parent`,
// and returns its result.
SendResult SendWatched(QWidget* parent, const std::function<SendResult(SendControl&)>& send);

}  // namespace mail

#endif  // BELVON_MAIL_UI_SEND_WAIT_BOX_H
