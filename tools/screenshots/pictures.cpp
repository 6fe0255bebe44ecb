// The picture window with a photo-like picture of an article: a painted
// scene saved as a colour JPEG, shown the way "Bild anzeigen" shows it.
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "store/load_parameters.h"
#include "pictures/ui/picture_window.h"
#include "screenshots.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace screenshots {

namespace {

// Sky, sun, hills, a shed with a red roof and some grain, as a camera has.
QImage Scene(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height * 0.6);
  sky.setColorAt(0, QColor(40, 90, 170));
  sky.setColorAt(1, QColor(190, 215, 240));
  p.fillRect(image.rect(), sky);
  QRadialGradient sun(width * 0.78, height * 0.2, height * 0.12);
  sun.setColorAt(0, QColor(255, 250, 220));
  sun.setColorAt(1, QColor(255, 250, 220, 0));
  p.fillRect(image.rect(), sun);
  const QColor hills[] = {QColor(70, 120, 60), QColor(40, 95, 45)};
  for (int layer = 0; layer < 2; ++layer) {
    QPainterPath hill(QPointF(0, height));
    for (int x = 0; x <= width; x += 8)
      hill.lineTo(x,
                  height * (0.55 + 0.12 * layer) + 30 * std::sin(x / (60.0 + 40 * layer) + layer));
    hill.lineTo(width, height);
    p.fillPath(hill, hills[layer]);
  }
  p.fillRect(QRectF(width * 0.2, height * 0.55, width * 0.22, height * 0.2), QColor(210, 190, 150));
  p.fillRect(QRectF(width * 0.28, height * 0.65, width * 0.05, height * 0.1), QColor(90, 60, 40));
  QPolygonF roof({QPointF(width * 0.18, height * 0.56), QPointF(width * 0.31, height * 0.42),
                  QPointF(width * 0.44, height * 0.56)});
  p.setBrush(QColor(170, 40, 30));
  p.setPen(Qt::NoPen);
  p.drawPolygon(roof);
  p.end();
  QRandomGenerator grain(7);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int n = static_cast<int>(grain.bounded(13)) - 6;
      const QRgb c = line[x];
      line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                     std::clamp(qBlue(c) + n, 0, 255));
    }
  }
  return image;
}

}  // namespace

void PictureWindow() {
  testsupport::TestApp t;
  frame::LoadParameters(t.app);
  Scene(640, 480).save(QString::fromStdString(t.app.path("schuppen.jpg")), "JPEG", 85);
  store::SetText(t.app.article.remark2,
                 "schuppen.jpg Gartenhaus, Ansicht S\xfc"
                 "d");
  pictures::PictureWindow* window = pictures::PictureWindow::Open(t.app, nullptr);
  if (!window) {
    std::fprintf(stderr, "picture window not opened\n");
    return;
  }
  QApplication::processEvents();
  window->grab().save(folder + "/picture_window.png");
  delete window;
}

}  // namespace screenshots
