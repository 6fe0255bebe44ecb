#include "frame/ui/main_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "frame/status_text.h"
#include "frame/user_interface.h"
#include "store/product_group_table.h"

namespace frame {

namespace {

// The place of a pane until the pane itself is built.
QFrame* PanePlace(const QString& objectName, QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(objectName);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setMinimumSize(300, 420);
  return frame;
}

}  // namespace

MainWindow::MainWindow(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  auto* panes = new QHBoxLayout;
  if (app_.cashDeskMode) {
    panes->addWidget(PanePlace(QStringLiteral("L_RECHNUNG"), central));
  } else {
    panes->addWidget(PanePlace(QStringLiteral("KUNDEN"), central));
    panes->addWidget(PanePlace(QStringLiteral("ARTIKEL"), central));
    panes->addWidget(PanePlace(QStringLiteral("RECHNUNG"), central));
  }
  column->addLayout(panes);
  dateLine_ = new QLabel(central);
  countLine_ = new QLabel(central);
  dateLine_->setContentsMargins(10, 0, 0, 0);
  countLine_->setContentsMargins(10, 0, 0, 0);
  column->addWidget(dateLine_);
  column->addWidget(countLine_);
  setCentralWidget(central);

  store::LoadProductGroups(app_);
  refreshStatus();
  connect(&clock_, &QTimer::timeout, this, &MainWindow::refreshStatus);
  clock_.start(1000);
}

void MainWindow::refreshStatus() {
  dateLine_->setText(QString::fromStdString(StatusDateLine(app_.clock->now())));
  countLine_->setText(QString::fromStdString(StatusCountLine(app_)));
}

void MainWindow::command(int id) {
  if (id == 101) close();
}

}  // namespace frame
