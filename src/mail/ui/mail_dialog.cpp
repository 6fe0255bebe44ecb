#include "mail/ui/mail_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QVBoxLayout>

#include "core/user_interface.h"
#include "letters/dunning_run.h"
#include "mail/address.h"
#include "mail/dunning_mail.h"
#include "mail/einvoice_attachment.h"
#include "mail/mail_settings.h"
#include "mail/send.h"
#include "mail/templates.h"
#include "mail/ui/send_wait_box.h"
#include "orders/ui/document_pdf.h"
#include "platform/cp1252.h"
#include "store/order_kinds.h"
#include "store/text_field.h"
#include "widgets/dialog_support.h"

namespace mail {

namespace {

constexpr int kSend = 1, kCancel = 2;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui && !text.empty()) app.ui->message(text, icon);
}

std::optional<std::string> AskPassword(QWidget* parent, const std::string& prompt) {
  bool ok = false;
  const QString password = QInputDialog::getText(parent, QStringLiteral("SMTP-Passwort"),
                                                 Q(prompt), QLineEdit::Password, {}, &ok);
  if (!ok) return std::nullopt;
  return password.toStdString();
}

bool StartDetached(const std::vector<std::string>& arguments) {
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) rest << Q(arguments[i]);
  return QProcess::startDetached(Q(arguments[0]), rest);
}

}  // namespace

MailDialog::MailDialog(frame::AppState& app, const std::string& to, const std::string& subject,
                       const std::string& body, const std::vector<std::string>& attachments,
                       QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("EMAILSENDEN"));
  setWindowTitle(QStringLiteral("Per E-Mail senden"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  to_ = new QLineEdit(Q(to), this);
  frame::AddRow(grid, 0, 0, QStringLiteral("An"), to_);
  subject_ = new QLineEdit(Q(subject), this);
  frame::AddRow(grid, 1, 0, QStringLiteral("Betreff"), subject_);
  std::string names;
  for (const std::string& name : attachments) names += (names.empty() ? "" : ", ") + name;
  frame::AddRow(grid, 2, 0, attachments.size() > 1 ? QStringLiteral("Anhänge") : QStringLiteral("Anhang"),
                new QLabel(Q(names), this));
  body_ = new QPlainTextEdit(Q(body), this);
  body_->setMinimumSize(480, 220);
  top->addWidget(body_);
  top->addLayout(frame::MakeButtonRow(this, {{kSend, "&Senden"}, {kCancel, "Abbruch"}},
                                      [this](int id) { id == kSend ? send() : reject(); }));
}

std::string MailDialog::to() const { return to_->text().trimmed().toStdString(); }
std::string MailDialog::subject() const { return subject_->text().toStdString(); }
std::string MailDialog::body() const { return body_->toPlainText().toStdString(); }

void MailDialog::send() {
  const std::string problem = AddressProblem(to(), "Empfänger");
  if (!problem.empty()) {
    Tell(app_, problem, frame::Icon::Stop);
    to_->setFocus();
    return;
  }
  accept();
}

namespace {

// The desktop as the tests left it, the program's own where they did not.
Desktop WithDefaults(const Desktop& given, QWidget* parent) {
  Desktop desktop = given;
  if (!desktop.askPassword) desktop.askPassword = AskPassword;
  if (!desktop.startMailProgram) desktop.startMailProgram = StartDetached;
  if (!desktop.passwords) desktop.passwords = &PasswordStore::Program();
  if (!desktop.transmit)
    desktop.transmit = [parent](const std::function<SendResult(SendControl&)>& send) {
      return SendWatched(parent, send);
    };
  return desktop;
}

}  // namespace

bool MailOrderDocument(frame::AppState& app, orders::DocumentKind kind, std::string printDate,
                       QWidget* parent, const Desktop& given) {
  const Desktop desktop = WithDefaults(given, parent);
  PasswordStore& passwords = *desktop.passwords;

  std::string problem;
  const Settings settings = LoadSettings(app.dataDirectory, &problem);
  Tell(app, problem, frame::Icon::Exclamation);
  const bool smtp = settings.way == Way::Smtp;
  if (smtp) {
    problem = AddressProblem(settings.sender, "Absender");
    if (!problem.empty()) {
      Tell(app, problem + "\nBitte unter Datei > E-Mail den Absender eintragen.", frame::Icon::Stop);
      return false;
    }
  }
  if (orders::RefusedWithoutPriceSettings(app, kind)) return false;
  if (kind == orders::DocumentKind::Invoice && (app.order.flags & store::kOrderCollectiveInvoice))
    kind = orders::DocumentKind::CollectiveInvoice;
  if (kind == orders::DocumentKind::Invoice && !orders::ConfirmReprintTotal(app)) return false;
  // Sent by SMTP the document is issued as a print would: with the invoice
  // date a print would fix.
  // Else a copy of an issued invoice states the date it was issued with.
  std::string invoiceDate;
  if (smtp && kind == orders::DocumentKind::Invoice) {
    invoiceDate = orders::InvoiceDateToFix(app, printDate);
    if (orders::RefusedForItsDueDate(app, invoiceDate)) return false;
  } else {
    printDate = orders::IssuedCopyDate(app, kind, printDate);
  }

  // Text, XRechnung and PDF state the invoice date the issue records: the
  // print date.
  const Fields fields = OrderFields(app, kind, printDate);
  const Text text = DocumentText(settings, kind, fields);
  EInvoiceAttachment xml = MakeEInvoiceAttachment(app, kind, printDate);
  if (!xml.problem.empty()) {
    Tell(app, xml.problem, frame::Icon::Stop);
    return false;
  }
  const orders::DocumentPdf pdf = orders::OrderDocumentPdf(app, kind, printDate, invoiceDate);
  if (!pdf.problem.empty()) {
    Tell(app, pdf.problem, frame::Icon::Stop);
    return false;
  }
  const std::string to = platform::Cp1252ToUtf8(store::GetText(app.address.email));
  std::vector<Attachment> attachments{{pdf.fileName, "application/pdf", pdf.bytes}};
  if (xml.wanted) {
    NameBeside(xml, pdf.fileName);
    attachments.push_back(std::move(xml.attachment));
  }
  std::vector<std::string> names;
  for (const Attachment& attachment : attachments) names.push_back(attachment.fileName);
  MailDialog dialog(app, to, text.subject, text.body, names, parent);
  if (!desktop.review(dialog)) return false;

  if (!smtp) {
    std::vector<std::string> files;
    problem = WriteAttachments(*app.fileSystem, attachments, files);
    if (!problem.empty()) {
      Tell(app, problem, frame::Icon::Stop);
      return false;
    }
    if (!desktop.startMailProgram(
            MailProgramArguments(dialog.to(), dialog.subject(), dialog.body(), files)))
      Tell(app, "Das Mailprogramm kann nicht gestartet werden (xdg-email). Ist xdg-utils installiert?",
           frame::Icon::Stop);
    return false;
  }

  std::string password;
  if (!settings.user.empty()) {
    std::optional<std::string> known = passwords.find(settings.server, settings.user);
    if (!known) {
      known = desktop.askPassword(parent, "Passwort für " + settings.user + " an " +
                                              settings.server + ":");
      if (!known) return false;
    }
    password = *known;
  }
  DocumentMail mail;
  mail.kind = kind;
  mail.document = fields.kind + " " + fields.number;
  mail.to = dialog.to();
  mail.subject = dialog.subject();
  mail.body = dialog.body();
  mail.attachments = std::move(attachments);
  mail.issue = true;
  mail.invoiceDate = invoiceDate;
  const Outcome outcome = SendBySmtp(app, settings, password, mail, desktop.transmit);
  // The password is asked once per session; one the server refused is
  // asked again next time.
  if (outcome.loginRefused)
    passwords.forget(settings.server, settings.user);
  else if (!settings.user.empty())
    passwords.keep(settings.server, settings.user, password);
  if (!outcome.sent) {
    Tell(app, outcome.message,
         outcome.deliveryUnknown ? frame::Icon::Exclamation : frame::Icon::Stop);
    return false;
  }
  Tell(app, "Die E-Mail an " + mail.to + " wurde gesendet." +
                (outcome.message.empty() ? "" : "\n" + outcome.message),
       outcome.message.empty() ? frame::Icon::Information : frame::Icon::Exclamation);
  return outcome.issued;
}

void MailDunning(frame::AppState& app, const std::string& date, QWidget* parent,
                 const Desktop& given) {
  const Desktop desktop = WithDefaults(given, parent);
  PasswordStore& passwords = *desktop.passwords;
  std::string problem;
  const Settings settings = LoadSettings(app.dataDirectory, &problem);
  Tell(app, problem, frame::Icon::Exclamation);

  auto pdf = [&app](printing::PrintSession& session, std::string& bytes) {
    return orders::DocumentPdfBytes(app, session, bytes);
  };
  auto mailProgram = [&app, &desktop](const DocumentMail& mail) -> std::string {
    std::vector<std::string> files;
    const std::string problem = WriteAttachments(*app.fileSystem, mail.attachments, files);
    if (!problem.empty()) return problem;
    if (!desktop.startMailProgram(MailProgramArguments(mail.to, mail.subject, mail.body, files)))
      return "Das Mailprogramm kann nicht gestartet werden (xdg-email).";
    return {};
  };
  std::string password;
  auto passwordSource = [&]() -> std::optional<std::string> {
    std::optional<std::string> known = passwords.find(settings.server, settings.user);
    if (!known)
      known = desktop.askPassword(parent, "Passwort für " + settings.user + " an " + settings.server + ":");
    if (known) password = *known;
    return known;
  };
  if (app.ui) app.ui->beginWait();
  const std::vector<CustomerMail> results =
      MailDunningLetters(app, settings, {date, false, true}, pdf, mailProgram, passwordSource,
                         desktop.transmit);
  if (app.ui) app.ui->endWait();
  if (results.empty()) {
    Tell(app, letters::kNoDunningDue, frame::Icon::Information);
    return;
  }
  std::string report;
  bool loginRefused = false, allWell = true;
  for (const CustomerMail& r : results) {
    loginRefused = loginRefused || r.loginRefused;
    allWell = allWell && r.sent && r.message.empty();
    report += r.name + ": " +
              (r.sent ? (settings.way == Way::Smtp ? r.document + " an " + r.to + " gesendet"
                                                   : r.document + " an das Mailprogramm übergeben")
                      : r.deliveryUnknown ? std::string(kDeliveryUnknown) : "nicht gesendet");
    if (!r.message.empty()) report += "\n    " + r.message;
    report += "\n";
  }
  if (loginRefused)
    passwords.forget(settings.server, settings.user);
  else if (!password.empty())
    passwords.keep(settings.server, settings.user, password);
  report.pop_back();
  Tell(app, report, allWell ? frame::Icon::Information : frame::Icon::Exclamation);
}

}  // namespace mail
