#include "backup/ui/backup_menu.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QString>

#include "backup/backup.h"
#include "backup/backup_reminder.h"
#include "core/command_ids.h"
#include "core/user_interface.h"
#include "widgets/frame_window.h"
#include "widgets/profile.h"

namespace backup {

namespace {

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

// The findings of the structure test after the text of the result.
std::string WithFindings(std::string text, const CheckOutcome& outcome) {
  if (outcome.structureProblems.empty()) return text;
  text += outcome.structureDamaged ? "\n\nDer Strukturtest meldet Schäden:"
                                   : "\n\nDer Strukturtest meldet:";
  std::size_t shown = 0;
  for (const std::string& problem : outcome.structureProblems) {
    if (++shown > 10) {
      text += "\n...";
      break;
    }
    text += "\n" + problem;
  }
  return text;
}

// The file chooser, the backup with its progress box, and the result; true
// when the backup was written.
bool TakeBackup(frame::AppState& app, QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(
      parent, QStringLiteral("Datensicherung"), QString::fromStdString(DefaultBackupPath(app)),
      QStringLiteral("Datensicherung (*.tar.gz)"));
  if (path.isEmpty()) return false;
  BackupOutcome outcome;
  {
    frame::WaitCursor wait(app.ui);
    outcome = CreateBackup(app, path.toStdString());
  }
  std::string text = outcome.written
                         ? std::to_string(outcome.files.size()) + " Dateien wurden nach " +
                               path.toStdString() + " gesichert."
                         : outcome.problem;
  for (const std::string& skipped : outcome.skipped) text += "\nNicht gesichert: " + skipped;
  if (!outcome.note.empty()) text += "\n" + outcome.note;
  Tell(app, text, outcome.written ? frame::Icon::Information : frame::Icon::Stop);
  return outcome.written;
}

void RestoreBackupInto(frame::AppState& app, QWidget* parent) {
  const QString archive = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Datensicherung zurückspielen"), QString(),
      QStringLiteral("Datensicherung (*.tar.gz)"));
  if (archive.isEmpty()) return;
  const QString target = QFileDialog::getExistingDirectory(
      parent, QStringLiteral("Leeres Verzeichnis für die zurückgespielten Daten"));
  if (target.isEmpty()) return;
  RestoreAndOffer(app, archive.toStdString(), target.toStdString());
}

// Before a command that changes many records at once the user is offered a
// backup; true when the command may go on. A backup he asked for and that
// was not written stops the command.
bool OfferBackupFirst(frame::AppState& app, QWidget* parent, const std::string& what) {
  if (!app.ui) return true;
  if (!app.ui->question("Vor " + what +
                            " eine Datensicherung anlegen?\n(Empfohlen: das lässt sich nicht "
                            "rückgängig machen.)",
                        frame::Icon::Question, false))
    return true;
  return TakeBackup(app, parent);
}

}  // namespace

bool RestoreAndOffer(frame::AppState& app, const std::string& archive, const std::string& target) {
  const CheckOutcome outcome = RestoreBackup(*app.fileSystem, archive, target, app.ui);
  if (!outcome.intact) {
    Tell(app, outcome.problem, frame::Icon::Stop);
    return false;
  }
  const std::string restored =
      std::to_string(outcome.files.size()) + " Dateien wurden nach " + target + " zurückgespielt.";
  if (outcome.structureDamaged || !app.ui) {
    Tell(app,
         WithFindings(restored + " Um mit ihnen zu arbeiten, DATEIPFAD in belvon.ini auf dieses "
                                 "Verzeichnis setzen.",
                      outcome),
         frame::Icon::Exclamation);
    return false;
  }
  std::string directory = target;
  if (directory.back() != '/') directory += '/';
  if (!app.ui->question(WithFindings(restored, outcome) +
                            "\n\nSoll Belvon künftig mit diesen Daten arbeiten? DATEIPFAD wird "
                            "dann auf " + directory + " gesetzt; das gilt ab dem nächsten Start.",
                        frame::Icon::Question, false))
    return false;
  frame::WriteProfileDataDirectory(directory);
  Tell(app,
       "DATEIPFAD zeigt jetzt auf " + directory +
           ". Bitte Belvon beenden und neu starten; bis dahin wird mit " + app.dataDirectory +
           " weitergearbeitet.",
       frame::Icon::Information);
  return true;
}

void InstallBackupCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kBackup, [&app, &window] { TakeBackup(app, &window); });
  window.setCommandHandler(frame::cmd::kRestoreBackup,
                           [&app, &window] { RestoreBackupInto(app, &window); });
  const std::pair<int, const char*> changesOfMany[] = {
      {frame::cmd::kReorganiseArticles, "der Reorganisation der Artikel"},
      {frame::cmd::kReorganiseAddresses, "der Reorganisation der Adressen"},
      {frame::cmd::kDeleteOldInvoices, "dem Löschen alter Rechnungen"},
      {frame::cmd::kCurrencyChangeover, "der Währungsumstellung"}};
  for (const auto& [id, what] : changesOfMany) {
    frame::FrameWindow::CommandHandler command = window.commandHandler(id);
    if (!command) continue;
    window.setCommandHandler(id, [&app, &window, command, what = std::string(what)] {
      if (OfferBackupFirst(app, &window, what)) command();
    });
  }
}

void ShowBackupReminder(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  const std::string text = ReminderText(app);
  if (text.empty()) return;
  auto* reminder = new QWidget(&window);
  reminder->setObjectName(QStringLiteral("backupReminder"));
  auto* row = new QHBoxLayout(reminder);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel(QString::fromStdString(text), reminder));
  auto* now = new QPushButton(QStringLiteral("Jetzt sichern..."), reminder);
  row->addWidget(now);
  row->addStretch(1);
  QObject::connect(now, &QPushButton::clicked, reminder, [&app, &window, reminder] {
    if (TakeBackup(app, &window)) reminder->hide();
  });
  window.statusBar()->addWidget(reminder, 1);
}

}  // namespace backup
