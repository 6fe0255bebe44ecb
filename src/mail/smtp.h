// Handing a message to the mail server over SMTP (libcurl): STARTTLS, TLS
// or plain, with the server's certificate always checked, every wait
// bounded by the settings' time limit but one: once the message is out, the
// server's final answer is waited for as long as RFC 5321 gives it (10
// minutes), since a server that takes long there still delivers. A mail
// whose answer never came is neither sent nor refused: its delivery is
// unknown, and sending it again may deliver it twice.
#ifndef BELVON_MAIL_SMTP_H
#define BELVON_MAIL_SMTP_H

#include <atomic>
#include <string>
#include <vector>

#include "mail/mail_settings.h"

namespace mail {

// RFC 5321, 4.5.3.2.6: the wait for the answer to the end of the data.
inline constexpr int kFinalReplySeconds = 600;

struct SendResult {
  bool accepted = false;  // the server took the message (250 after DATA)
  // The whole message went out, but the server's answer to it never came
  // (the wait ran out, was stopped, or the connection broke): the server may
  // deliver it or not.
  bool deliveryUnknown = false;
  std::string message;    // why not, German, with the server's answer
  bool loginRefused = false;  // the server refused user and password
};

// How a send running in another thread is watched and stopped.
struct SendControl {
  std::atomic<bool> stop{false};  // set by the user: end the send now
  // Set once the whole message is out and only the server's answer is missing.
  std::atomic<bool> awaitingReply{false};
  int finalReplySeconds = kFinalReplySeconds;
};

// Sends `bytes` (a whole message, CRLF lines) from `from` to every
// recipient through the server of the settings, logging in as its user
// with `password` when the user is set. A plain connection carries a
// login only to a server on this machine: with a user, no encryption and
// another server nothing is sent. `control`, when given, may stop the send
// and learns when the answer is awaited.
SendResult SendSmtp(const Settings& settings, const std::string& password, const std::string& from,
                    const std::vector<std::string>& recipients, const std::string& bytes,
                    SendControl* control = nullptr);

}  // namespace mail

#endif  // BELVON_MAIL_SMTP_H
