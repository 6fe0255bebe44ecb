#include "datev/ui/datev_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/dates.h"
#include "core/user_interface.h"
#include "datev/booking_batch.h"
#include "datev/datev_export.h"
#include "datev/datev_settings.h"
#include "widgets/dialog_support.h"

namespace datev {

namespace {

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

QString AskForFile(QWidget* parent, const QString& proposed) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("DATEV-Export"), proposed,
                                      QStringLiteral("DATEV-Buchungsstapel (*.csv)"));
}

// "dd.mm.yyyy" naming a real calendar day.
bool ValidDate(const std::string& text) {
  return text.size() == 10 && orders::EnteredDate(text) == text;
}

}  // namespace

DatevExportDialog::DatevExportDialog(frame::AppState& app, ChooseFile chooseFile, QWidget* parent)
    : QDialog(parent), app_(app), chooseFile_(std::move(chooseFile)) {
  setObjectName(QStringLiteral("DATEVEXPORT"));
  setWindowTitle(QStringLiteral("DATEV-Export"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  period_ = new QComboBox(this);
  period_->addItems({QStringLiteral("Vormonat"), QStringLiteral("Vorquartal")});
  frame::AddRow(grid, 0, 0, QStringLiteral("Zeitraum"), period_);
  from_ = new QLineEdit(this);
  from_->setObjectName(QStringLiteral("von"));
  frame::AddRow(grid, 1, 0, QStringLiteral("vom"), from_);
  to_ = new QLineEdit(this);
  to_->setObjectName(QStringLiteral("bis"));
  frame::AddRow(grid, 2, 0, QStringLiteral("bis zum"), to_);
  auto fill = [this](int index) {
    const std::string today = orders::FormatDate(*app_.clock);
    std::string from, to;
    if (index == 1)
      PreviousQuarter(today, from, to);
    else
      PreviousMonth(today, from, to);
    from_->setText(QString::fromStdString(from));
    to_->setText(QString::fromStdString(to));
  };
  fill(0);
  connect(period_, &QComboBox::currentIndexChanged, this, fill);
  payments_ = frame::MakeCheck(this, 0, QStringLiteral("Zahlungen des Zeitraums"));
  payments_->setChecked(LoadSettings(app_.dataDirectory).payments);
  grid->addWidget(payments_, 3, 0, 1, 2);
  debtors_ = frame::MakeCheck(this, 0, QStringLiteral("Debitoren-Stammdaten dazu"));
  grid->addWidget(debtors_, 4, 0, 1, 2);
  top->addLayout(frame::MakeButtonRow(this, {{kExport, "&Exportieren..."}, {kCancel, "Abbruch"}},
                                      [this](int id) { command(id); }));
}

void DatevExportDialog::command(int id) {
  if (id == kCancel) reject();
  if (id == kExport) exportBatch();
}

void DatevExportDialog::exportBatch() {
  ExportRequest request;
  request.from = from_->text().trimmed().toStdString();
  request.to = to_->text().trimmed().toStdString();
  if (!ValidDate(request.from) || !ValidDate(request.to)) {
    Tell(app_, "Bitte gültige Daten eingeben (TT.MM.JJJJ).", frame::Icon::Exclamation);
    return;
  }
  std::string problem;
  const Settings settings = LoadSettings(app_.dataDirectory, &problem);
  if (!problem.empty()) Tell(app_, problem, frame::Icon::Exclamation);
  const std::string refused = SettingsProblems(settings);
  if (!refused.empty()) {
    Tell(app_, refused + "Bitte unter \"Datei / DATEV...\" einstellen.", frame::Icon::Exclamation);
    return;
  }
  const QString proposed = QDir(QString::fromStdString(app_.dataDirectory.empty() ? "." : app_.dataDirectory))
                               .filePath(QString::fromStdString(BatchFileName(request.from, request.to)));
  const QString path = chooseFile_ ? chooseFile_(this, proposed) : AskForFile(this, proposed);
  if (path.isEmpty()) return;
  request.output = path.toLocal8Bit().toStdString();
  if (debtors_->isChecked())
    request.debtors = QFileInfo(path).dir().filePath(QStringLiteral("EXTF_Debitoren_Kreditoren.csv"))
                          .toLocal8Bit()
                          .toStdString();
  request.payments = payments_->isChecked();
  const ExportOutcome outcome = RunExport(app_, settings, request);
  if (!outcome.written) {
    Tell(app_, outcome.problem, frame::Icon::Stop);
    return;
  }
  std::string done = "Der DATEV-Buchungsstapel wurde geschrieben, Buchungen: " +
                     std::to_string(outcome.rows) + "\n" + path.toStdString();
  if (outcome.debtorsWritten) done += "\n" + request.debtors;
  if (!outcome.notes.empty()) done += "\n\n" + outcome.notes;
  Tell(app_, done, frame::Icon::Information);
  accept();
}

}  // namespace datev
