#include "bank/ui/bank_menu.h"

#include <QFileDialog>

#include "bank/bank_import.h"
#include "bank/bank_settings.h"
#include "bank/statement_file.h"
#include "bank/ui/kontoauszug_dialog.h"
#include "core/command_ids.h"
#include "core/user_interface.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"

namespace bank {

namespace {

void ReadStatementInto(frame::AppState& app, QWidget* parent) {
  const QString path = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Kontoauszug einlesen"), QString(),
      QStringLiteral("Kontoauszüge (*.xml *.XML *.zip *.ZIP *.sta *.STA *.mt940 *.txt *.TXT);;Alle Dateien (*)"));
  if (path.isEmpty()) return;
  Statement statement;
  std::string error;
  std::vector<ImportLine> lines;
  {
    frame::WaitCursor wait(app.ui);
    if (!ReadStatementFile(*app.fileSystem, path.toStdString(), statement, error)) {
      if (app.ui) app.ui->message(error, frame::Icon::Stop);
      return;
    }
    if (!ImportStatement(app, statement, false, BankAccount(app), lines)) return;
  }
  if (lines.empty()) {
    if (app.ui) app.ui->message("Der Kontoauszug enthält keine Umsätze.", frame::Icon::Information);
    return;
  }
  KontoauszugDialog dialog(app, std::move(lines), parent);
  dialog.exec();
}

// The order pane shows what was paid on its order.
void ShowBooked(frame::FrameWindow& window) {
  if (frame::Pane* pane = window.pane(frame::PaneSlot::Order)) pane->refresh();
  window.update();
}

}  // namespace

void InstallBankCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kBankStatement, [&app, &window] {
    ReadStatementInto(app, &window);
    ShowBooked(window);
  });
}

}  // namespace bank
