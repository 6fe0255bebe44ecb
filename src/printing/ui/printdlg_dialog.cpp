#include "printing/ui/printdlg_dialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace printing {

ProgressBarControl::ProgressBarControl(QWidget* parent) : QWidget(parent) {
  setProperty("id", 1080);
  setMinimumSize(200, 20);
}

bool ProgressBarControl::setPercent(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == percent_) return false;
  percent_ = percent;
  repaint();
  return true;
}

void ProgressBarControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int width = this->width();
  const int height = this->height();
  const int shown = std::max(percent_, 0);
  painter.fillRect(rect(), Qt::white);
  const int filled = (width - 1) * shown / 100;
  if (filled > 1) painter.fillRect(QRect(1, 1, filled - 1, height - 2), QColor(127, 0, 127));
  painter.setPen(Qt::black);
  painter.drawRect(QRect(0, 0, width - 1, height - 1));
  // The text inverts the bar and the white beneath it.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::white);
  const QString text = QStringLiteral("%1 %").arg(shown);
  const QFontMetrics metrics(font());
  painter.drawText(width / 2 - metrics.horizontalAdvance(text) / 2, 2 + metrics.ascent(), text);
}

PrintDlgDialog::PrintDlgDialog(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Belvon"));
  setObjectName(QStringLiteral("PRINTDLG"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(QStringLiteral("Abbrechen"), this), 0, Qt::AlignHCenter);
  bar_ = new ProgressBarControl(this);
  column->addWidget(bar_);
  auto* button = new QPushButton(QStringLiteral("ESC"), this);
  button->setProperty("id", 2);
  column->addWidget(button, 0, Qt::AlignHCenter);
  connect(button, &QPushButton::clicked, this, [this] { command(2); });
  // While the document prints the rest of the program waits: a second print
  // started from the main window would share the job's state.
  setModal(true);
}

bool PrintDlgDialog::progress(int percent) {
  bar_->setPercent(percent);
  QCoreApplication::processEvents();
  return userAbort_;
}

void PrintDlgDialog::command(int) { userAbort_ = true; }

}  // namespace printing
