// "E-Mail": how documents leave the program by mail, kept in MAIL.INI of
// the data directory: SMTP server or the desktop's mail program, sender,
// copies, time limit and the templates. The password is no field here: it
// is asked when a mail is first sent and kept by the desktop's secret store
// (or for the session).
#ifndef BELVON_APP_EMAIL_DIALOG_H
#define BELVON_APP_EMAIL_DIALOG_H

#include <QDialog>

#include "mail/mail_settings.h"
#include "store/app_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace frame {

class EmailDialog : public QDialog {
  Q_OBJECT

 public:
  explicit EmailDialog(AppState& app, QWidget* parent = nullptr);

  // The settings as the fields show them.
  mail::Settings settings() const;
  // "OK": saves MAIL.INI; false (and the dialog open) after the message.
  bool save();

 private:
  AppState& app_;
  QComboBox* way_;
  QLineEdit* server_;
  QSpinBox* port_;
  QComboBox* security_;
  QLineEdit* user_;
  QLineEdit* sender_;
  QLineEdit* senderName_;
  QCheckBox* copyToSender_;
  QCheckBox* keepCopy_;
  QSpinBox* timeout_;
  QLineEdit* subject_;
  QPlainTextEdit* body_;
  QPlainTextEdit* invoiceBody_;
  QLineEdit* dunningSubject_;
  QPlainTextEdit* dunningBody_;
};

}  // namespace frame

#endif  // BELVON_APP_EMAIL_DIALOG_H
