// The date-range dialogs of the lists and statistics: RECHNUNGSAUSGANGSBUCH
// (the invoice journal), HITLISTE (article hit list or article turnover
// list, by the job it is opened with), HITKUNDEN (customer hit list) and
// UMSATZ (turnover graph, month and year). "&Drucken" hands the range to
// the print job of the dialog and closes it.
#ifndef BELVON_REPORTS_UI_DATE_RANGE_DIALOG_H
#define BELVON_REPORTS_UI_DATE_RANGE_DIALOG_H

#include <QDialog>
#include <functional>
#include <string>

#include "store/app_state.h"

namespace reports {

// Starts the print job `job` with the range as typed.
using ReportPrint = std::function<void(int job, const std::string& from, const std::string& to)>;

enum class RangeDialog { InvoiceJournal, HitList, CustomerHitList, Turnover };

class DateRangeDialog : public QDialog {
  Q_OBJECT

 public:
  // `job` is the HITLISTE's parameter (6 or 22); the others know their job.
  DateRangeDialog(frame::AppState& app, RangeDialog kind, ReportPrint print, int job = 0,
                  QWidget* parent = nullptr);

 public slots:
  void command(int id);

 private:
  void print();

  frame::AppState& app_;
  RangeDialog kind_;
  ReportPrint print_;
  int job_;
  int fromId_ = 0, toId_ = 0, help_ = 0;
};

}  // namespace reports

#endif  // BELVON_REPORTS_UI_DATE_RANGE_DIALOG_H
