#include "mail/ui/mail_menu.h"

#include <QDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/command_ids.h"
#include "core/dates.h"
#include "core/user_interface.h"
#include "mail/send.h"
#include "mail/ui/mail_dialog.h"
#include "orders/ui/rechnungdrucken_dialog.h"
#include "widgets/dialog_support.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"

namespace mail {

std::vector<std::string> OrderLogLines(const frame::AppState& app) {
  const std::vector<std::string> all = ReadLog(app.dataDirectory);
  const std::string number = " " + std::to_string(app.order.orderNumber);
  std::vector<std::string> lines;
  for (auto line = all.rbegin(); line != all.rend(); ++line) {
    // The document is the third field; a state may follow it.
    std::size_t end = line->find('\t');
    if (end != std::string::npos) end = line->find('\t', end + 1);
    if (end != std::string::npos) end = line->find('\t', end + 1);
    const std::string_view upToDocument = std::string_view(*line).substr(0, end);
    if (app.order.orderNumber == 0 || upToDocument.ends_with(number)) lines.push_back(*line);
  }
  return lines;
}

void InstallMailCommands(frame::FrameWindow& window) {
  window.setCommandHandler(frame::cmd::kDunningMail, [&window] {
    frame::AppState& app = window.state();
    bool ok = false;
    const QString typed = QInputDialog::getText(
        &window, QStringLiteral("Mahnungen per E-Mail"), QStringLiteral("Mahndatum:"),
        QLineEdit::Normal, QString::fromStdString(orders::FormatDate(*app.clock)), &ok);
    if (!ok) return;
    const std::string date = orders::EnteredDate(typed.trimmed().toStdString());
    if (date.empty()) {
      if (app.ui) app.ui->message("Das Mahndatum ist kein gültiges Datum.", frame::Icon::Stop);
      return;
    }
    MailDunning(app, date, &window);
    // The current order may have got a new level.
    if (frame::Pane* orders = window.pane(frame::PaneSlot::Order)) orders->refresh();
  });
  orders::SetMailDocumentCall([](frame::AppState& app, orders::DocumentKind kind,
                                 const std::string& printDate, QWidget* parent) {
    return MailOrderDocument(app, kind, printDate, parent);
  });
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kMailLog, [&app, &window] {
    QDialog dialog(&window);
    dialog.setObjectName(QStringLiteral("EMAILVERSAND"));
    dialog.setWindowTitle(app.order.orderNumber
                              ? QStringLiteral("E-Mail-Versand von Auftrag %1").arg(app.order.orderNumber)
                              : QStringLiteral("E-Mail-Versand"));
    auto* top = new QVBoxLayout(&dialog);
    const std::vector<std::string> lines = OrderLogLines(app);
    QString text;
    for (const std::string& line : lines) text += QString::fromStdString(line) + QLatin1Char('\n');
    if (lines.empty()) text = QStringLiteral("Noch keine E-Mail gesendet.");
    auto* view = new QPlainTextEdit(text, &dialog);
    view->setReadOnly(true);
    view->setMinimumSize(520, 240);
    top->addWidget(view);
    top->addLayout(frame::MakeButtonRow(&dialog, {{1, "&OK"}}, [&dialog](int) { dialog.accept(); }));
    dialog.exec();
  });
}

}  // namespace mail
