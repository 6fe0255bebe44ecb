#include "backup/ui/backup_menu.h"

#include <QFileDialog>
#include <QString>

#include "backup/backup.h"
#include "core/command_ids.h"
#include "core/user_interface.h"
#include "widgets/frame_window.h"

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

void TakeBackup(frame::AppState& app, QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(
      parent, QStringLiteral("Datensicherung"), QString::fromStdString(DefaultBackupPath(app)),
      QStringLiteral("Datensicherung (*.tar.gz)"));
  if (path.isEmpty()) return;
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
  Tell(app, text, outcome.written ? frame::Icon::Information : frame::Icon::Stop);
}

void RestoreBackupInto(frame::AppState& app, QWidget* parent) {
  const QString archive = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Datensicherung zurückspielen"), QString(),
      QStringLiteral("Datensicherung (*.tar.gz)"));
  if (archive.isEmpty()) return;
  const QString target = QFileDialog::getExistingDirectory(
      parent, QStringLiteral("Leeres Verzeichnis für die zurückgespielten Daten"));
  if (target.isEmpty()) return;
  CheckOutcome outcome;
  {
    frame::WaitCursor wait(app.ui);
    outcome = RestoreBackup(*app.fileSystem, archive.toStdString(), target.toStdString());
  }
  if (!outcome.intact) {
    Tell(app, outcome.problem, frame::Icon::Stop);
    return;
  }
  Tell(app,
       WithFindings(std::to_string(outcome.files.size()) + " Dateien wurden nach " +
                        target.toStdString() +
                        " zurückgespielt. Um mit ihnen zu arbeiten, DATEIPFAD in belvon.ini "
                        "auf dieses Verzeichnis setzen.",
                    outcome),
       outcome.structureDamaged ? frame::Icon::Exclamation : frame::Icon::Information);
}

}  // namespace

void InstallBackupCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kBackup, [&app, &window] { TakeBackup(app, &window); });
  window.setCommandHandler(frame::cmd::kRestoreBackup,
                           [&app, &window] { RestoreBackupInto(app, &window); });
}

}  // namespace backup
