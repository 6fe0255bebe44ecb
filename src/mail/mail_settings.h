// How mails leave the program, in "MAIL.INI" in the data directory, so that
// every workstation on the directory shares them. A missing file or key
// gives the default. The password is no setting: it never reaches this
// file (see doc/formats/mail-ini.md).
#ifndef BELVON_MAIL_MAIL_SETTINGS_H
#define BELVON_MAIL_MAIL_SETTINGS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace mail {

inline constexpr const char* kSettingsFileName = "MAIL.INI";
inline constexpr std::uint64_t kSettingsFileMax = 64 * 1024;

// The way out: the program's own SMTP connection, or the desktop's mail
// program (xdg-email), which the user sends from.
enum class Way { Smtp, MailProgram };
// STARTTLS on the submission port, TLS from the first byte (port 465), or
// plain (meant for a relay on this machine: a password goes only there).
enum class Security { StartTls, Tls, None };

inline constexpr int kDefaultTimeout = 30;  // seconds
inline constexpr int kMaxTimeout = 300;

extern const char* const kDefaultSubject;
extern const char* const kDefaultBody;
extern const char* const kDefaultInvoiceBody;
extern const char* const kDefaultDunningSubject;
extern const char* const kDefaultDunningBody;

struct Settings {
  Way way = Way::Smtp;
  std::string server;
  int port = 587;
  Security security = Security::StartTls;
  std::string user;
  std::string sender;      // the From address
  std::string senderName;  // shown before it; empty: the company name
  bool copyToSender = false;  // Bcc to the sender
  bool keepCopy = false;      // the sent message as .eml in the folder "Mails"
  int timeoutSeconds = kDefaultTimeout;
  std::string subject = kDefaultSubject;
  std::string body = kDefaultBody;                // every document but invoices
  std::string invoiceBody = kDefaultInvoiceBody;  // invoices and collective invoices
  std::string dunningSubject = kDefaultDunningSubject;  // a customer's dunning letters
  std::string dunningBody = kDefaultDunningBody;
};

// The text form of the file and back. Line breaks of the templates are
// written as "\n", a backslash as "\\". `problem` gets the message naming
// every key whose value was refused, empty when there was none.
std::string SettingsText(const Settings& settings);
Settings ParseSettings(std::string_view text, std::string* problem = nullptr);

// MAIL.INI of the data directory (a prefix with its separator).
Settings LoadSettings(const std::string& dataDirectory, std::string* problem = nullptr);
// Written whole; false when it cannot be written.
bool SaveSettings(const std::string& dataDirectory, const Settings& settings);

}  // namespace mail

#endif  // BELVON_MAIL_MAIL_SETTINGS_H
