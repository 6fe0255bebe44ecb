#include "datev/datev_export.h"

#include "core/dates.h"
#include "datev/booking_batch.h"
#include "datev/debtor_file.h"
#include "platform/output_file.h"

namespace datev {

namespace {

int DaysInMonth(int month, int year) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

void Months(int firstMonth, int year, int count, std::string& from, std::string& to) {
  from = orders::DateText(1, firstMonth, year);
  const int last = firstMonth + count - 1;
  to = orders::DateText(DaysInMonth(last, year), last, year);
}

}  // namespace

void PreviousMonth(const std::string& today, std::string& from, std::string& to) {
  const orders::Date d = orders::ParseDate(today);
  const int year = d.month == 1 ? d.year - 1 : d.year;
  Months(d.month == 1 ? 12 : d.month - 1, year, 1, from, to);
}

void PreviousQuarter(const std::string& today, std::string& from, std::string& to) {
  const orders::Date d = orders::ParseDate(today);
  const int quarter = (d.month - 1) / 3;  // 0 .. 3, the current one
  const int year = quarter == 0 ? d.year - 1 : d.year;
  Months(quarter == 0 ? 10 : (quarter - 1) * 3 + 1, year, 3, from, to);
}

ExportOutcome RunExport(frame::AppState& app, const Settings& settings, const ExportRequest& request,
                        const std::function<void(const std::string&)>& reportDamaged) {
  ExportOutcome outcome;
  outcome.problem = SettingsProblems(settings);
  if (outcome.problem.empty()) outcome.problem = RangeProblem(settings, request.from, request.to);
  if (!request.debtors.empty() && settings.debtors == Debtors::Collective && outcome.problem.empty())
    outcome.problem = "Mit einem Sammeldebitor gibt es keine Debitoren-Stammdaten zu exportieren.";
  if (!outcome.problem.empty()) return outcome;
  const Batch batch =
      CollectBatch(app, settings, request.from, request.to, request.payments, reportDamaged);
  if (batch.escaped) {
    outcome.problem = "Der Export wurde abgebrochen; es wurde keine Datei geschrieben.";
    return outcome;
  }
  const platform::LocalTime now = app.clock->now();
  const std::string text = BatchFileText(settings, now, request.from, request.to, batch.bookings);
  if (!platform::WriteOutputFile(*app.fileSystem, request.output, text)) {
    outcome.problem = platform::OutputFailureText(request.output);
    return outcome;
  }
  outcome.written = true;
  outcome.rows = batch.bookings.size();
  outcome.notes = BatchNotes(batch);
  if (!request.debtors.empty()) {
    const std::string debtors = DebtorFileText(settings, now, request.from, batch.debtors);
    if (!platform::WriteOutputFile(*app.fileSystem, request.debtors, debtors))
      outcome.notes += platform::OutputFailureText(request.debtors) + "\n";
    else
      outcome.debtorRows = batch.debtors.size(), outcome.debtorsWritten = true;
  }
  return outcome;
}

}  // namespace datev
