// Sending a document of the current order: by SMTP, where the document
// counts as issued only once the server accepted the message, or through
// the desktop's mail program (xdg-email), which issues nothing.
#ifndef BELVON_MAIL_SEND_H
#define BELVON_MAIL_SEND_H

#include <functional>
#include <string>
#include <vector>

#include "mail/mail_settings.h"
#include "mail/message.h"
#include "mail/smtp.h"
#include "orders/issuing.h"
#include "platform/file.h"
#include "store/app_state.h"

namespace mail {

inline constexpr const char* kLogFileName = "MAIL.LOG";
inline constexpr const char* kCopyFolder = "Mails";
inline constexpr std::uint64_t kLogFileMax = 16 * 1024 * 1024;

struct DocumentMail {
  orders::DocumentKind kind = orders::DocumentKind::Invoice;
  std::string document;  // for the log: "Rechnung 1234"
  std::string to;
  std::string subject, body;
  std::vector<Attachment> attachments;  // the PDF first
  bool issue = false;        // record the issue once the server took it
  std::string invoiceDate;   // the invoice date it is issued with
};

struct Outcome {
  bool sent = false;    // the server accepted the message
  // The message went out but the server never confirmed it: neither sent nor
  // refused (noted so in the log, the document not issued).
  bool deliveryUnknown = false;
  bool issued = false;  // and the document is marked as issued
  std::string message;  // German: why not, or what went wrong after sending
  bool loginRefused = false;  // the server refused user and password
};

// The sender's address and the recipients checked before anything
// connects; empty when they may be used, else the German message.
std::string AddressesProblem(const Settings& settings, const std::string& to);

// Runs the SMTP exchange it is given, watched by the control it hands in:
// the desktop runs it beside its window, which shows the wait and lets the
// user stop it. Without one the exchange runs here, unwatched.
using Transmit = std::function<SendResult(const std::function<SendResult(SendControl&)>& send)>;

// Builds the message (From the settings' sender, Date of the app's clock,
// a new Message-ID), sends it, and once the server accepted it notes it in
// the log, keeps the .eml copy when the settings say so and records the
// issue when asked. Nothing is marked, noted or kept when it was refused;
// a message whose delivery is unknown is noted and kept, not issued.
Outcome SendBySmtp(frame::AppState& app, const Settings& settings, const std::string& password,
                   const DocumentMail& mail, const Transmit& transmit = {});

// The message as it would be sent now, for SendBySmtp and the copy.
std::string MessageBytes(const frame::AppState& app, const Settings& settings,
                         const DocumentMail& mail);

inline constexpr const char* kDeliveryUnknown = "Zustellung unbekannt";

// One line "dd.mm.yyyy hh:mm<TAB>address<TAB>document" appended to
// MAIL.LOG of the data directory (written whole: beside and renamed over);
// with a state ("Zustellung unbekannt") as a fourth field.
bool AppendLog(const frame::AppState& app, const std::string& address, const std::string& document,
               const std::string& state = {});
// The lines of the log, oldest first; empty when there is none.
std::vector<std::string> ReadLog(const std::string& dataDirectory);

// The command line of the desktop's mail program for the message with the
// files attached: xdg-email --subject S --body B --attach FILE... ADDRESS
// (no address when `to` is empty).
std::vector<std::string> MailProgramArguments(const std::string& to, const std::string& subject,
                                              const std::string& body,
                                              const std::vector<std::string>& files);
// Writes the attachments into a new folder of the temporary directory for
// the mail program, which reads them when the user sends: they stay. Empty,
// with the paths in `files`, when all were written; else the German message.
std::string WriteAttachments(platform::FileSystem& fs, const std::vector<Attachment>& attachments,
                             std::vector<std::string>& files);
// Runs it (found on PATH) and waits; empty when it ended well, else the
// German message.
std::string RunMailProgram(const std::vector<std::string>& arguments);

}  // namespace mail

#endif  // BELVON_MAIL_SEND_H
