// The dunning letters of a run by e-mail: one mail per customer with all
// his letters as one PDF, to the address of his record. By SMTP a
// customer's levels are stored only once the server accepted his mail.
#ifndef BELVON_MAIL_DUNNING_MAIL_H
#define BELVON_MAIL_DUNNING_MAIL_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mail/mail_settings.h"
#include "mail/send.h"
#include "printing/page_renderer.h"
#include "store/app_state.h"

namespace mail {

struct DunningRequest {
  std::string date;      // the dunning date, dd.mm.yyyy
  bool reprint = false;  // also the letters whose level has not risen
  bool issue = false;    // store the levels of every accepted mail
};

struct CustomerMail {
  std::string name;      // name line 2 of the customer, UTF-8
  std::string to;
  std::string document;  // "Mahnung 12, 13"
  bool sent = false;     // accepted by the server, or handed to the mail program
  bool deliveryUnknown = false;  // out, but the server never confirmed it
  std::string message;   // German: why not, or what went wrong after sending
  bool loginRefused = false;  // the server refused user and password
};

// The PDF of a print session's job; false when it could not be made.
using PdfMaker = std::function<bool(printing::PrintSession& session, std::string& bytes)>;
// Hands a mail to the desktop's mail program; empty when done, else why not.
using MailProgram = std::function<std::string(const DocumentMail& mail)>;
// The SMTP password, asked at most once and only when a mail goes out;
// none when the user gave none.
using PasswordSource = std::function<std::optional<std::string>()>;

// One entry per customer with a letter in the run, in index order; empty
// when none is due.
std::vector<CustomerMail> MailDunningLetters(frame::AppState& app, const Settings& settings,
                                             const DunningRequest& request, const PdfMaker& pdf,
                                             const MailProgram& mailProgram,
                                             const PasswordSource& password,
                                             const Transmit& transmit = {});

}  // namespace mail

#endif  // BELVON_MAIL_DUNNING_MAIL_H
