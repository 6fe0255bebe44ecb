// The picture window ("PicClass"): the picture of the current article in
// 256 grey levels, opened with its larger side at about 320 pixels. When the
// user resizes it, the zoom follows the new width and the window takes the
// picture's proportions again.
#ifndef BELVON_PICTURES_UI_PICTURE_WINDOW_H
#define BELVON_PICTURES_UI_PICTURE_WINDOW_H

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "store/app_state.h"
#include "pictures/picture.h"

namespace pictures {

class PictureWindow : public QWidget {
  Q_OBJECT

 public:
  // Decodes the picture the current article names and shows it at the top
  // left corner of `owner`'s window. Nothing is shown, and nullptr comes
  // back, when the article names no picture we can decode.
  static PictureWindow* Open(const frame::AppState& app, QWidget* owner);
  ~PictureWindow() override;

  int zoom() const { return zoom_; }
  const Picture& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  PictureWindow(Picture picture, const QString& name, QWidget* owner);
  // Sizes the client area to the picture at the zoom.
  void fit();

  Picture picture_;
  QImage image_;  // shares the bytes of picture_
  int zoom_ = 100;
  QSize fitted_;
  QPointer<QWidget> owner_;
};

}  // namespace pictures

#endif  // BELVON_PICTURES_UI_PICTURE_WINDOW_H
