// "Per E-Mail senden": a document of the current order as a PDF to the
// customer. The dialog shows recipient, subject and text, all editable,
// and the attachments; a bad address is refused before anything connects.
// By SMTP the document counts as issued once the server accepted it; the
// desktop's mail program only gets the message and the file.
#ifndef BELVON_MAIL_UI_MAIL_DIALOG_H
#define BELVON_MAIL_UI_MAIL_DIALOG_H

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mail/send.h"
#include "mail/ui/password_store.h"
#include "orders/issuing.h"
#include "store/app_state.h"

class QLineEdit;
class QPlainTextEdit;

namespace mail {

class MailDialog : public QDialog {
  Q_OBJECT

 public:
  MailDialog(frame::AppState& app, const std::string& to, const std::string& subject,
             const std::string& body, const std::vector<std::string>& attachments,
             QWidget* parent = nullptr);

  std::string to() const;
  std::string subject() const;
  std::string body() const;
  // "Senden": refused with a message while the address is not valid.
  void send();

 private:
  frame::AppState& app_;
  QLineEdit* to_;
  QLineEdit* subject_;
  QPlainTextEdit* body_;
};

// What the flow asks of the desktop; the tests put their own.
struct Desktop {
  // Shows the dialog; true when the user chose "Senden".
  std::function<bool(MailDialog&)> review = [](MailDialog& d) { return d.exec() == QDialog::Accepted; };
  // Asks for the SMTP password; none when cancelled.
  std::function<std::optional<std::string>(QWidget* parent, const std::string& prompt)> askPassword;
  // Starts the desktop's mail program (xdg-email ...); false when it could not be started.
  std::function<bool(const std::vector<std::string>& arguments)> startMailProgram;
  PasswordStore* passwords = nullptr;  // none: the program's
  // Runs the SMTP exchange; none: in a thread beside the window, with a box
  // that shows the wait and lets the user stop it.
  Transmit transmit;
};

// Mails the document `kind` of the order current in `app`, drawn on
// `printDate`; true when it was sent by SMTP and recorded as issued.
bool MailOrderDocument(frame::AppState& app, orders::DocumentKind kind, std::string printDate,
                       QWidget* parent, const Desktop& desktop = {});

// The dunning letters of the run on `date` by e-mail, one mail per customer
// (mail/dunning_mail.h), the levels stored for every accepted mail; the
// user is told what went to whom and what did not.
void MailDunning(frame::AppState& app, const std::string& date, QWidget* parent,
                 const Desktop& desktop = {});

}  // namespace mail

#endif  // BELVON_MAIL_UI_MAIL_DIALOG_H
