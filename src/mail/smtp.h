// Handing a message to the mail server over SMTP (libcurl): STARTTLS, TLS
// or plain, with the server's certificate always checked, every wait
// bounded by the settings' time limit.
#ifndef BELVON_MAIL_SMTP_H
#define BELVON_MAIL_SMTP_H

#include <string>
#include <vector>

#include "mail/mail_settings.h"

namespace mail {

struct SendResult {
  bool accepted = false;  // the server took the message (250 after DATA)
  std::string message;    // why not, German, with the server's answer
  bool loginRefused = false;  // the server refused user and password
};

// Sends `bytes` (a whole message, CRLF lines) from `from` to every
// recipient through the server of the settings, logging in as its user
// with `password` when the user is set. A plain connection carries a
// login only to a server on this machine: with a user, no encryption and
// another server nothing is sent.
SendResult SendSmtp(const Settings& settings, const std::string& password, const std::string& from,
                    const std::vector<std::string>& recipients, const std::string& bytes);

}  // namespace mail

#endif  // BELVON_MAIL_SMTP_H
