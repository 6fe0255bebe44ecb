#include "widgets/progress_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace frame {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
  setProperty("id", 1080);
  setMinimumSize(260, 20);
}

bool ProgressBar::setPercent(int percent) {
  if (percent == percent_) return false;
  percent_ = percent;
  repaint();
  return true;
}

void ProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int width = this->width();
  const int height = this->height();
  const int shown = std::clamp(percent_, 0, 100);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width - 1, height - 1);
  const int end = (width - 1) * shown / 100;
  if (end > 1) painter.fillRect(1, 1, end - 1, height - 2, QColor(127, 0, 127));
  // The text inverts what lies under it, so it reads on both parts.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::white);
  const QString text = QStringLiteral("%1 %").arg(shown);
  const int textWidth = painter.fontMetrics().horizontalAdvance(text);
  painter.drawText(width / 2 - textWidth / 2, 2 + painter.fontMetrics().ascent(), text);
}

ProgressBox::ProgressBox(QWidget* parent, const QString& title) : QDialog(parent) {
  setObjectName(QStringLiteral("BARDLG"));
  setWindowTitle(title.isEmpty() ? QStringLiteral("Belvon - 2.0") : title);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Bitte warten..."), this));
  bar_ = new ProgressBar(this);
  layout->addWidget(bar_);
}

bool ProgressBox::update(int percent) {
  bar_->setPercent(percent);
  escape_ = false;
  // One pass over what is pending: an Esc pressed since the last record ends
  // the walk; other keys are swallowed by the box.
  QApplication::processEvents(QEventLoop::AllEvents, 5);
  bool pressed = escape_ || cancelled_;
  escape_ = false;
  return pressed;
}

void ProgressBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) escape_ = true;
  event->accept();
}

void ProgressBox::reject() { cancelled_ = true; }

}  // namespace frame
