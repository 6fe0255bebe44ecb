#include "reports/ui/date_range_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "core/dates.h"
#include "platform/cp1252.h"
#include "reports/invoice_journal.h"
#include "reports/invoice_lists.h"
#include "reports/statistics.h"

namespace reports {

namespace {

constexpr int kFieldLength = 10;

}  // namespace

DateRangeDialog::DateRangeDialog(frame::AppState& app, RangeDialog kind, ReportPrint print,
                                 int job, QWidget* parent)
    : QDialog(parent), app_(app), kind_(kind), print_(std::move(print)), job_(job) {
  orders::Date today;
  const std::string date = orders::FormatDate(*app_.clock, &today);
  const std::string firstOfMonth = frame::Format("01.%02d.%4d", today.month, today.year);
  std::string from, to;
  switch (kind_) {
    case RangeDialog::InvoiceJournal:
      setObjectName(QStringLiteral("RECHNUNGSAUSGANGSBUCH"));
      setWindowTitle(QStringLiteral("Rechnungsausgangsbuch"));
      fromId_ = 2111, toId_ = 2112, help_ = 47, job_ = kJobInvoiceJournal;
      from = to = date;
      break;
    case RangeDialog::HitList:
      setObjectName(QStringLiteral("HITLISTE"));
      setWindowTitle(job_ == kJobArticleTurnover ? QStringLiteral("Artikelumsatzliste")
                                                 : QStringLiteral("Artikelhitliste"));
      fromId_ = 2109, toId_ = 2110, help_ = 53;
      from = firstOfMonth, to = date;
      break;
    case RangeDialog::CustomerHitList:
      setObjectName(QStringLiteral("HITKUNDEN"));
      setWindowTitle(QStringLiteral("Hitliste der Kunden"));
      fromId_ = 2116, toId_ = 2117, help_ = 55, job_ = kJobCustomerHitList;
      from = firstOfMonth, to = date;
      break;
    case RangeDialog::Turnover:
      setObjectName(QStringLiteral("UMSATZ"));
      setWindowTitle(QStringLiteral("Umsatz / Ertrag"));
      fromId_ = 2114, toId_ = 2115, help_ = 56, job_ = kJobTurnoverGraph;
      from = frame::Format("01.%4d", today.year);
      to = date.substr(3, 7);
      break;
  }
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  QLineEdit* fromEdit = frame::MakeEdit(this, fromId_, kFieldLength);
  QLineEdit* toEdit = frame::MakeEdit(this, toId_, kFieldLength);
  fromEdit->setText(QString::fromStdString(from));
  toEdit->setText(QString::fromStdString(to));
  if (kind_ == RangeDialog::Turnover) grid->addWidget(new QLabel(QStringLiteral("Monat.Jahr"), this), 0, 1);
  frame::AddRow(grid, 1, 0, QStringLiteral("von"), fromEdit);
  frame::AddRow(grid, 2, 0, QStringLiteral("bis"), toEdit);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Drucken"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
  fromEdit->setFocus();
}

void DateRangeDialog::command(int id) {
  switch (id) {
    case 1: print(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, help_); break;
    default: break;
  }
}

void DateRangeDialog::print() {
  auto text = [this](int id) {
    return platform::Utf8ToCp1252(
        frame::Control<QLineEdit>(this, id)->text().left(kFieldLength).toStdString());
  };
  std::string from = text(fromId_), to = text(toId_);
  if (kind_ == RangeDialog::Turnover) {
    from = MonthRangeFrom(from);
    to = MonthRangeTo(to);
  }
  accept();
  print_(job_, from, to);
}

}  // namespace reports
