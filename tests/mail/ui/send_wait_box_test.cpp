// The box shown while a mail goes out: the window lives on while the server
// is awaited, the box says when only its confirmation is missing, and
// "Abbrechen" then ends the wait with the delivery unknown.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "mail/mail_fixture.h"
#include "mail/smtp.h"
#include "mail/smtp_server.h"
#include "mail/ui/send_wait_box.h"

namespace {

using Server = testsupport::SmtpServer;

// Stops the send from the box once it shows `when` (any text: at once).
struct User {
  std::string when;
  bool sawIt = false;
  int ticks = 0;
  void watch() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<mail::SendWaitBox*>(top);
      if (!box || !box->isVisible()) continue;
      ++ticks;
      const QString text = box->findChild<QLabel*>()->text();
      if (text.contains(QString::fromStdString(when))) {
        sawIt = true;
        box->findChild<QPushButton*>()->click();
      }
    }
  }
};

TEST(SendWaitBox, AbbrechenEndsTheSendAndSaysWhatItMeans) {
  struct Case {
    const char* why;
    Server::Mode mode;
    const char* stopWhen;
    bool unknown;
  };
  for (const Case& c : {Case{"awaiting the confirmation", Server::Mode::NoFinalReply,
                             "bis zu 10 Minuten", true},
                        Case{"before the message is out", Server::Mode::Silent, "wird gesendet", false}}) {
    SCOPED_TRACE(c.why);
    Server server(c.mode);
    mail::Settings settings = mailtest::LocalSettings();
    settings.user.clear();
    settings.timeoutSeconds = 60;
    settings.port = server.port();
    const std::string message = "Subject: x\r\n\r\nText\r\n";
    User user{c.stopWhen};
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&user] { user.watch(); });
    timer.start(50);
    const mail::SendResult result = mail::SendWatched(nullptr, [&](mail::SendControl& control) {
      return mail::SendSmtp(settings, "", "buero@example.de", {"meier@example.org"}, message, &control);
    });
    timer.stop();
    EXPECT_TRUE(user.sawIt);
    EXPECT_GT(user.ticks, 1);  // the window was alive while it waited
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.deliveryUnknown, c.unknown) << result.message;
    EXPECT_NE(result.message.find(c.unknown ? "Zustellung unbekannt" : "nicht gesendet"),
              std::string::npos)
        << result.message;
  }
}

}  // namespace
