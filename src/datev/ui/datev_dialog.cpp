#include "datev/ui/datev_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstdio>

#include "core/user_interface.h"
#include "widgets/dialog_support.h"

namespace datev {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

std::string Field(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

long Whole(const QLineEdit* edit) {
  bool ok = false;
  const long value = edit->text().trimmed().toLong(&ok);
  return ok ? value : -1;
}

}  // namespace

DatevDialog::DatevDialog(frame::AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("DATEV"));
  setWindowTitle(QStringLiteral("DATEV"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  int row = 0;
  auto edit = [&](const char* label, const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    frame::AddRow(grid, row++, 0, QString::fromUtf8(label), field);
    return field;
  };
  advisor_ = edit("Beraternummer", "Beraternummer");
  client_ = edit("Mandantennummer", "Mandantennummer");
  yearStart_ = edit("Beginn des Wirtschaftsjahrs (TT.MM.)", "WJBeginn");
  accountLength_ = edit("Sachkontenlänge", "Sachkontenlaenge");
  chart_ = new QComboBox(this);
  chart_->setObjectName(QStringLiteral("Kontenrahmen"));
  chart_->addItems({QStringLiteral("SKR03"), QStringLiteral("SKR04")});
  frame::AddRow(grid, row++, 0, QStringLiteral("Kontenrahmen"), chart_);
  revenueStandard_ = edit("Erlöse 19 %", "Erloese19");
  revenueReduced_ = edit("Erlöse 7 %", "Erloese7");
  revenueTaxFree_ = edit("Erlöse steuerfrei", "ErloeseSteuerfrei");
  debtors_ = new QComboBox(this);
  debtors_->setObjectName(QStringLiteral("Debitoren"));
  debtors_->addItems({QStringLiteral("ein Debitor je Kunde (erster Debitor + Kundennummer)"),
                      QStringLiteral("ein Sammeldebitor")});
  frame::AddRow(grid, row++, 0, QStringLiteral("Debitoren"), debtors_);
  debtorStart_ = edit("Erster Debitor", "ErsterDebitor");
  collectiveDebtor_ = edit("Sammeldebitor", "Sammeldebitor");
  bank_ = edit("Bank", "Bank");
  cash_ = edit("Kasse", "Kasse");
  payments_ = frame::MakeCheck(this, 0, QStringLiteral("Zahlungen mit exportieren"));
  grid->addWidget(payments_, row++, 0, 1, 2);
  fixed_ = frame::MakeCheck(this, 0, QStringLiteral("Buchungen festschreiben"));
  grid->addWidget(fixed_, row++, 0, 1, 2);

  std::string problem;
  show(LoadSettings(app_.dataDirectory, &problem));
  if (!problem.empty() && app_.ui) app_.ui->message(problem, frame::Icon::Exclamation);
  // Another chart brings its standard accounts, at the length typed.
  connect(chart_, &QComboBox::currentIndexChanged, this, [this](int index) {
    Settings s = settings();
    if (s.accountLength < 4 || s.accountLength > 8) s.accountLength = 4;
    ApplyChart(s, index == 1 ? Chart::Skr04 : Chart::Skr03);
    show(s);
  });
  auto collectiveChosen = [this](int index) {
    debtorStart_->setEnabled(index == 0);
    collectiveDebtor_->setEnabled(index == 1);
  };
  collectiveChosen(debtors_->currentIndex());
  connect(debtors_, &QComboBox::currentIndexChanged, this, collectiveChosen);
  top->addLayout(frame::MakeButtonRow(this, {{kOk, "&OK"}, {kCancel, "Abbruch"}},
                                      [this](int id) { command(id); }));
}

void DatevDialog::show(const Settings& s) {
  advisor_->setText(s.advisor ? QString::number(s.advisor) : QString());
  client_->setText(s.client ? QString::number(s.client) : QString());
  char start[16];
  std::snprintf(start, sizeof start, "%02d.%02d.", s.yearStartDay % 100, s.yearStartMonth % 100);
  yearStart_->setText(QString::fromLatin1(start));
  accountLength_->setText(QString::number(s.accountLength));
  {
    const QSignalBlocker quiet(chart_);
    chart_->setCurrentIndex(s.chart == Chart::Skr04 ? 1 : 0);
  }
  revenueStandard_->setText(Text(s.revenueStandard));
  revenueReduced_->setText(Text(s.revenueReduced));
  revenueTaxFree_->setText(Text(s.revenueTaxFree));
  debtors_->setCurrentIndex(s.debtors == Debtors::Collective ? 1 : 0);
  debtorStart_->setText(Text(s.debtorStart));
  collectiveDebtor_->setText(Text(s.collectiveDebtor));
  bank_->setText(Text(s.bank));
  cash_->setText(Text(s.cash));
  payments_->setChecked(s.payments);
  fixed_->setChecked(s.fixed);
}

Settings DatevDialog::settings() const {
  Settings s;
  s.advisor = Whole(advisor_);
  s.client = Whole(client_);
  int day = 0, month = 0;
  if (std::sscanf(Field(yearStart_).c_str(), "%2d.%2d", &day, &month) != 2) day = month = 0;
  s.yearStartDay = day;
  s.yearStartMonth = month;
  s.accountLength = static_cast<int>(Whole(accountLength_));
  s.chart = chart_->currentIndex() == 1 ? Chart::Skr04 : Chart::Skr03;
  s.revenueStandard = Field(revenueStandard_);
  s.revenueReduced = Field(revenueReduced_);
  s.revenueTaxFree = Field(revenueTaxFree_);
  s.debtors = debtors_->currentIndex() == 1 ? Debtors::Collective : Debtors::PerCustomer;
  s.debtorStart = Field(debtorStart_);
  s.collectiveDebtor = Field(collectiveDebtor_);
  s.bank = Field(bank_);
  s.cash = Field(cash_);
  s.payments = payments_->isChecked();
  s.fixed = fixed_->isChecked();
  return s;
}

void DatevDialog::command(int id) {
  if (id == kCancel) {
    reject();
    return;
  }
  if (id != kOk) return;
  const Settings s = settings();
  const std::string problems = SettingsProblems(s);
  if (!problems.empty()) {
    if (app_.ui) app_.ui->message(problems, frame::Icon::Exclamation);
    return;
  }
  if (!SaveSettings(app_.dataDirectory, s)) {
    if (app_.ui)
      app_.ui->message(std::string(kSettingsFileName) + " kann nicht geschrieben werden.",
                       frame::Icon::Stop);
    return;
  }
  accept();
}

}  // namespace datev
