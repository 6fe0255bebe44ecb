#include "widgets/frame_window.h"

#include <QCloseEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "core/user_interface.h"
#include "store/status_text.h"
#include "widgets/field_text.h"
#include "widgets/pane.h"

namespace frame {

FrameWindow::FrameWindow(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  paneRow_ = new QHBoxLayout;
  column->addLayout(paneRow_);
  // The panes in the order the address, article and order pane stand; in the
  // cash-desk interface the cash-desk pane alone.
  if (app_.cashDeskMode) {
    setPane(PaneSlot::CashDesk, new Pane(QStringLiteral("L_RECHNUNG")));
  } else {
    setPane(PaneSlot::Address, new Pane(QStringLiteral("KUNDEN")));
    setPane(PaneSlot::Article, new Pane(QStringLiteral("ARTIKEL")));
    setPane(PaneSlot::Order, new Pane(QStringLiteral("RECHNUNG")));
  }
  dateLine_ = new QLabel(central);
  countLine_ = new QLabel(central);
  dateLine_->setObjectName(QStringLiteral("statusLine1"));
  countLine_->setObjectName(QStringLiteral("statusLine2"));
  dateLine_->setContentsMargins(10, 0, 0, 0);
  countLine_->setContentsMargins(10, 0, 0, 0);
  column->addWidget(dateLine_);
  column->addWidget(countLine_);
  column->addStretch(1);
  setCentralWidget(central);
}

Pane* FrameWindow::pane(PaneSlot slot) const { return panes_.value(slot); }

void FrameWindow::setPane(PaneSlot slot, Pane* newPane) {
  Pane* old = pane(slot);
  newPane->setParent(centralWidget() ? centralWidget() : this);
  if (old) {
    paneRow_->replaceWidget(old, newPane);
    old->deleteLater();
  } else {
    paneRow_->addWidget(newPane, 0, Qt::AlignTop);
  }
  panes_[slot] = newPane;
}

void FrameWindow::sendToPane(PaneSlot slot, int id) {
  if (Pane* target = pane(slot)) target->command(id);
}

void FrameWindow::setCommandHandler(int id, CommandHandler handler) {
  handlers_[id] = std::move(handler);
}

void FrameWindow::command(int id) {
  auto found = handlers_.constFind(id);
  if (found != handlers_.constEnd() && *found) (*found)();
}

void FrameWindow::addCommand(QMenu* menu, int id, const QString& text) {
  QAction* action = menu->addAction(text);
  action->setProperty("id", id);
  connect(action, &QAction::triggered, this, [this, id] { command(id); });
  actions_[id] = action;
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  for (const QPointer<Pane>& pane : panes_)
    if (pane && !pane->mayReplace()) {
      event->ignore();
      return;
    }
  event->accept();
}

void FrameWindow::refreshStatus() {
  dateLine_->setText(QString::fromStdString(StatusDateLine(app_.clock->now())));
  countLine_->setText(QString::fromStdString(StatusCountLine(app_)));
}

void FrameWindow::jobFinished() {
  // The order pane reads the printed order again, unless the user has
  // started other work on it meanwhile.
  if (Pane* order = pane(PaneSlot::Order)) order->jobFinished();
}

void FrameWindow::refreshPanes() {
  for (const QPointer<Pane>& pane : panes_)
    if (pane) pane->refresh();
}

}  // namespace frame
