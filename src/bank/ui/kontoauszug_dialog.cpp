#include "bank/ui/kontoauszug_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "bank/bank_settings.h"
#include "bank/chosen_payments.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "widgets/dialog_support.h"

namespace bank {

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

QString StateText(const ImportLine& line) {
  if (!line.booked.empty()) return QStringLiteral("gebucht");
  if (line.failed) return QStringLiteral("nicht gebucht");
  switch (line.match.action) {
    case Action::Booked: return QStringLiteral("wird gebucht");
    case Action::Proposed: return QStringLiteral("Vorschlag");
    case Action::Unmatched: return QStringLiteral("nicht gefunden");
    case Action::Already: return QStringLiteral("bereits gebucht");
  }
  return {};
}

KontoauszugDialog::KontoauszugDialog(frame::AppState& app, std::vector<ImportLine> lines,
                                     QWidget* parent)
    : QDialog(parent), app_(app), lines_(std::move(lines)) {
  setWindowTitle(QStringLiteral("Kontoauszug einlesen"));
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QStringLiteral(
      "Angehakte Umsätze werden gebucht. Unter \"Rechnung\" eine andere Rechnungsnummer "
      "eintragen oder aufteilen: 126120001=50,00; 126120002=69,00"),
      this));
  table_ = new QTableWidget(static_cast<int>(lines_.size()), kColumns, this);
  table_->setObjectName(QStringLiteral("Umsaetze"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Buchen"), QStringLiteral("Datum"),
                                     QStringLiteral("Betrag"), QStringLiteral("Name"),
                                     QStringLiteral("Verwendungszweck"), QStringLiteral("Status"),
                                     QStringLiteral("Rechnung")});
  table_->horizontalHeader()->setSectionResizeMode(kText, QHeaderView::Stretch);
  top->addWidget(table_);
  auto* accountRow = new QHBoxLayout;
  accountRow->addWidget(new QLabel(QStringLiteral("Konto:"), this));
  account_ = new QLineEdit(Text(BankAccount(app_)), this);
  account_->setObjectName(QStringLiteral("Konto"));
  account_->setMaxLength(8);
  accountRow->addWidget(account_);
  accountRow->addStretch();
  top->addLayout(accountRow);
  top->addLayout(frame::MakeButtonRow(this, {{kBook, "&Buchen"}, {kCancel, "&Abbruch"}},
                                      [this](int id) { command(id); }));
  resize(1000, 500);
  fill();
}

void KontoauszugDialog::fill() {
  for (int row = 0; row < static_cast<int>(lines_.size()); ++row) {
    const ImportLine& line = lines_[static_cast<std::size_t>(row)];
    const Transaction& t = line.transaction;
    const bool open = line.match.action != Action::Already && line.booked.empty();
    auto cell = [&](int column, const QString& text) {
      auto* item = new QTableWidgetItem(text);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable |
                     (column == kInvoices && open ? Qt::ItemIsEditable : Qt::NoItemFlags));
      table_->setItem(row, column, item);
      return item;
    };
    QTableWidgetItem* tick = cell(kTick, QString());
    if (open) {
      tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
      tick->setCheckState(line.match.action == Action::Booked ? Qt::Checked : Qt::Unchecked);
    }
    cell(kDate, Text(t.bookingDate));
    cell(kAmount, Text(frame::Money(app_.figures, static_cast<double>(t.cents) / 100.0, t.currency)));
    cell(kName, Text(t.name));
    cell(kText, Text(t.text));
    cell(kState, StateText(line));
    cell(kInvoices, Text(ChoiceText(line.match)));
  }
}

void KontoauszugDialog::command(int id) {
  if (id == kCancel) {
    reject();
    return;
  }
  if (id != kBook) return;
  // Every ticked line is read first: one that cannot be read books nothing.
  std::vector<std::vector<Allocation>> chosen(lines_.size());
  int ticked = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const QTableWidgetItem* tick = table_->item(static_cast<int>(i), kTick);
    if (!tick || !(tick->flags() & Qt::ItemIsUserCheckable) || tick->checkState() != Qt::Checked) continue;
    std::string error;
    const std::optional<std::vector<Allocation>> read =
        ReadChoice(table_->item(static_cast<int>(i), kInvoices)->text().toStdString(),
                   lines_[i].transaction, lines_[i].match, error);
    if (!read) {
      if (app_.ui)
        app_.ui->message(frame::Format("Umsatz vom %s (%s):\n%s",
                                       lines_[i].transaction.bookingDate.c_str(),
                                       lines_[i].transaction.name.c_str(), error.c_str()),
                         frame::Icon::Stop);
      table_->setCurrentCell(static_cast<int>(i), kInvoices);
      return;
    }
    chosen[i] = *read;
    if (!read->empty()) ++ticked;
  }
  if (ticked == 0) {
    if (app_.ui) app_.ui->message("Es ist kein Umsatz zum Buchen angehakt.", frame::Icon::Information);
    return;
  }
  const std::string account = account_->text().toStdString();
  if (account != BankAccount(app_)) SaveBankAccount(app_, account);
  int booked = 0;
  if (app_.ui) app_.ui->beginProgress();
  booked = BookChosen(app_, lines_, chosen, account, [this](int percent) {
    return !(app_.ui && app_.ui->progress(percent));
  });
  if (app_.ui) app_.ui->endProgress();
  int already = 0, failed = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (chosen[i].empty()) continue;
    if (lines_[i].failed) ++failed;
    if (lines_[i].match.action == Action::Already && lines_[i].booked.empty()) ++already;
  }
  if (booked < 0) {
    summary_ = "Es wurde nichts gebucht.";
  } else {
    summary_ = frame::Format("%d Zahlungen wurden gebucht.", booked);
    if (already) summary_ += frame::Format("\n%d waren inzwischen schon gebucht.", already);
    if (failed) summary_ += frame::Format("\n%d konnten nicht gebucht werden.", failed);
  }
  if (app_.ui) app_.ui->message(summary_, failed || booked < 0 ? frame::Icon::Exclamation : frame::Icon::Information);
  accept();
}

}  // namespace bank
