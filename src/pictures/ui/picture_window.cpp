#include "pictures/ui/picture_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "widgets/field_text.h"
#include "pictures/picture_file.h"
#include "pictures/picture_zoom.h"
#include "store/text_field.h"

namespace pictures {

PictureWindow* PictureWindow::Open(const frame::AppState& app, QWidget* owner) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string name = PictureName(store::GetText(app.article.remark2));
  std::optional<Picture> picture = LoadPicture(app, name);
  QApplication::restoreOverrideCursor();
  if (!picture) return nullptr;
  auto* window = new PictureWindow(std::move(*picture), frame::FromCp1252(name), owner);
  window->show();
  return window;
}

PictureWindow::PictureWindow(Picture picture, const QString& name, QWidget* owner)
    : QWidget(owner ? owner->window() : nullptr, Qt::Window | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint |
                                                     Qt::WindowCloseButtonHint),
      picture_(std::move(picture)),
      image_(picture_.grey.data(), picture_.width, picture_.height, picture_.stride,
             QImage::Format_Grayscale8),
      zoom_(OpeningZoom(picture_.width, picture_.height)),
      owner_(owner ? owner->window() : nullptr) {
  setObjectName(QStringLiteral("PicClass"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(name);
  if (owner_) move(owner_->pos());
  fit();
}

PictureWindow::~PictureWindow() = default;

void PictureWindow::closeEvent(QCloseEvent* event) {
  // Closing deletes the window; the main window takes the keys again. (Not
  // in the destructor: there the main window may be half torn down.)
  QWidget::closeEvent(event);
  if (event->isAccepted() && owner_) owner_->activateWindow();
}

void PictureWindow::fit() {
  // The title bar lies outside the client area here, so the client is just
  // the picture at the zoom.
  fitted_ = QSize(std::max(1, Zoomed(picture_.width, zoom_)),
                  std::max(1, Zoomed(picture_.height, zoom_)));
  resize(fitted_);
  update();
}

void PictureWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Our own fitting comes back here too; taking the zoom from it again
  // would grow the window a step each time.
  if (event->size() == fitted_) return;
  zoom_ = ZoomForWidth(event->size().width(), picture_.width);
  fit();
}

void PictureWindow::paintEvent(QPaintEvent*) {
  // Stretched over the whole client area, row by row without smoothing.
  QPainter painter(this);
  painter.drawImage(rect(), image_);
}

}  // namespace pictures
