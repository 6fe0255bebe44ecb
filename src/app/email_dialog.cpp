#include "app/email_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/user_interface.h"
#include "mail/address.h"
#include "widgets/dialog_support.h"

namespace frame {

namespace {

constexpr int kOk = 1, kCancel = 2;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QPlainTextEdit* TextField(const std::string& text, QWidget* parent) {
  auto* field = new QPlainTextEdit(Q(text), parent);
  field->setMinimumHeight(110);
  return field;
}

}  // namespace

EmailDialog::EmailDialog(AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("EMAIL"));
  setWindowTitle(QStringLiteral("E-Mail"));
  std::string problem;
  const mail::Settings s = mail::LoadSettings(app_.dataDirectory, &problem);
  if (!problem.empty() && app_.ui) app_.ui->message(problem, Icon::Exclamation);
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  int row = 0;

  way_ = new QComboBox(this);
  way_->addItems({QStringLiteral("SMTP (direkt aus dem Programm)"),
                  QStringLiteral("Mailprogramm des Desktops (xdg-email)")});
  way_->setCurrentIndex(s.way == mail::Way::MailProgram ? 1 : 0);
  AddRow(grid, row++, 0, QStringLiteral("Versand"), way_);
  server_ = new QLineEdit(Q(s.server), this);
  server_->setPlaceholderText(QStringLiteral("z. B. smtp.example.de"));
  AddRow(grid, row++, 0, QStringLiteral("SMTP-Server"), server_);
  port_ = new QSpinBox(this);
  port_->setRange(1, 65535);
  port_->setValue(s.port);
  AddRow(grid, row++, 0, QStringLiteral("Port"), port_);
  security_ = new QComboBox(this);
  security_->addItems({QStringLiteral("STARTTLS"), QStringLiteral("TLS"),
                       QStringLiteral("keine (nur Server auf diesem Rechner)")});
  security_->setCurrentIndex(static_cast<int>(s.security));
  AddRow(grid, row++, 0, QStringLiteral("Verschlüsselung"), security_);
  user_ = new QLineEdit(Q(s.user), this);
  AddRow(grid, row++, 0, QStringLiteral("Benutzer"), user_);
  sender_ = new QLineEdit(Q(s.sender), this);
  AddRow(grid, row++, 0, QStringLiteral("Absender (E-Mail)"), sender_);
  senderName_ = new QLineEdit(Q(s.senderName), this);
  senderName_->setPlaceholderText(QStringLiteral("leer: Firmenname der Stammdaten"));
  AddRow(grid, row++, 0, QStringLiteral("Absendername"), senderName_);
  timeout_ = new QSpinBox(this);
  timeout_->setRange(1, mail::kMaxTimeout);
  timeout_->setSuffix(QStringLiteral(" s"));
  timeout_->setValue(s.timeoutSeconds);
  AddRow(grid, row++, 0, QStringLiteral("Zeitlimit"), timeout_);
  copyToSender_ = MakeCheck(this, 0, QStringLiteral("Kopie an den Absender (Bcc)"));
  copyToSender_->setChecked(s.copyToSender);
  grid->addWidget(copyToSender_, row++, 0, 1, 2);
  keepCopy_ = MakeCheck(this, 0, QStringLiteral("Gesendete E-Mails im Ordner \"Mails\" des Datenverzeichnisses ablegen"));
  keepCopy_->setChecked(s.keepCopy);
  grid->addWidget(keepCopy_, row++, 0, 1, 2);
  // The SMTP fields only count for SMTP.
  auto smtpOnly = [this](int index) {
    for (QWidget* w : std::initializer_list<QWidget*>{server_, port_, security_, user_, timeout_,
                                                      copyToSender_, keepCopy_})
      w->setEnabled(index == 0);
  };
  smtpOnly(way_->currentIndex());
  connect(way_, &QComboBox::currentIndexChanged, this, smtpOnly);

  subject_ = new QLineEdit(Q(s.subject), this);
  AddRow(grid, row++, 0, QStringLiteral("Betreff"), subject_);
  body_ = TextField(s.body, this);
  AddRow(grid, row++, 0, QStringLiteral("Text"), body_);
  invoiceBody_ = TextField(s.invoiceBody, this);
  AddRow(grid, row++, 0, QStringLiteral("Text für Rechnungen"), invoiceBody_);
  dunningSubject_ = new QLineEdit(Q(s.dunningSubject), this);
  AddRow(grid, row++, 0, QStringLiteral("Betreff für Mahnungen"), dunningSubject_);
  dunningBody_ = TextField(s.dunningBody, this);
  AddRow(grid, row++, 0, QStringLiteral("Text für Mahnungen"), dunningBody_);
  auto* hint = new QLabel(QStringLiteral("Platzhalter: {Belegart} {Nummer} {Datum} {Betrag} "
                                         "{Faellig} {Firma}"),
                          this);
  grid->addWidget(hint, row++, 1);

  top->addLayout(MakeButtonRow(this, {{kOk, "&OK"}, {kCancel, "Abbruch"}}, [this](int id) {
    if (id == kCancel) reject();
    else if (save()) accept();
  }));
}

mail::Settings EmailDialog::settings() const {
  mail::Settings s;
  s.way = way_->currentIndex() == 1 ? mail::Way::MailProgram : mail::Way::Smtp;
  s.server = server_->text().trimmed().toStdString();
  s.port = port_->value();
  s.security = static_cast<mail::Security>(security_->currentIndex());
  s.user = user_->text().trimmed().toStdString();
  s.sender = sender_->text().trimmed().toStdString();
  s.senderName = senderName_->text().trimmed().toStdString();
  s.copyToSender = copyToSender_->isChecked();
  s.keepCopy = keepCopy_->isChecked();
  s.timeoutSeconds = timeout_->value();
  s.subject = subject_->text().toStdString();
  s.body = body_->toPlainText().toStdString();
  s.invoiceBody = invoiceBody_->toPlainText().toStdString();
  s.dunningSubject = dunningSubject_->text().toStdString();
  s.dunningBody = dunningBody_->toPlainText().toStdString();
  return s;
}

bool EmailDialog::save() {
  const mail::Settings s = settings();
  if (s.way == mail::Way::Smtp && !s.sender.empty() && !mail::ValidAddress(s.sender)) {
    if (app_.ui) app_.ui->message(mail::AddressProblem(s.sender, "Absender"), Icon::Stop);
    sender_->setFocus();
    return false;
  }
  if (!mail::SaveSettings(app_.dataDirectory, s)) {
    if (app_.ui)
      app_.ui->message(std::string(mail::kSettingsFileName) + " kann nicht geschrieben werden.",
                       Icon::Stop);
    return false;
  }
  return true;
}

}  // namespace frame
