#include "printing/ui/qt_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <cmath>

namespace printing {

namespace {

QColor ToQColor(Colour c) { return QColor(c.r, c.g, c.b); }

// A font of the family and style at an em of `em` logical units.
QFont SizedFont(QFont font, int em) {
  font.setPixelSize(em > 0 ? em : 1);
  return font;
}

}  // namespace

QFont ResolveFont(const Font& font) {
  QString face = QString::fromStdString(font.face);
  int weight = font.weight > 0 ? font.weight : 400;
  if (face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) {
    face = QStringLiteral("Liberation Sans");
  } else if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0) {
    face = QStringLiteral("Liberation Serif");
  } else if (face.compare(QLatin1String("Times New Roman Fett"), Qt::CaseInsensitive) == 0) {
    face = QStringLiteral("Liberation Serif");
    weight = std::max(weight, 700);
  } else if (face.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) {
    face = QStringLiteral("Liberation Mono");
  }
  QFont qfont(face);
  qfont.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  // Logical units are tenths of a millimetre: hinting to screen pixels would
  // only distort the widths.
  qfont.setHintingPreference(QFont::PreferNoHinting);
  qfont.setKerning(false);
  int em;
  if (font.height < 0) {
    em = -font.height;
  } else if (font.height > 0) {
    // A cell height: find the em whose ascent plus descent fills it.
    QFontMetricsF probe(SizedFont(qfont, 1000));
    double cell = probe.ascent() + probe.descent();
    em = cell > 0 ? static_cast<int>(std::lround(font.height * 1000.0 / cell)) : font.height;
  } else {
    em = 42;  // the device's default size, about 12 points
  }
  QFont sized = SizedFont(qfont, em);
  if (font.width != 0) {
    // Narrow or widen the face so that its average character is as wide as
    // asked, as a condensed document font is.
    double natural = QFontMetricsF(sized).averageCharWidth();
    if (natural > 0)
      sized.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * std::abs(font.width) / natural)),
                                  1, 4000));
  }
  return sized;
}

QtCanvas::QtCanvas(QPainter& painter, bool preview, PageHooks hooks)
    : painter_(painter), preview_(preview), hooks_(std::move(hooks)) {
  fontChanged();
  reapply();
}

void QtCanvas::reapply() {
  mappingChanged();
  if (painter_.isActive()) {
    painter_.setFont(qfont_);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
  }
}

void QtCanvas::mappingChanged() {
  if (!painter_.isActive()) return;
  const Mapping& m = mapping();
  QTransform transform;
  if (m.windowWidth != 0 && m.windowHeight != 0) {
    transform.scale(static_cast<double>(m.viewportWidth) / m.windowWidth,
                    static_cast<double>(m.viewportHeight) / m.windowHeight);
  }
  transform.translate(-m.originX, -m.originY);
  painter_.setWorldTransform(transform);
}

void QtCanvas::fontChanged() {
  qfont_ = ResolveFont(font());
  QFontMetricsF metrics(qfont_);
  ascent_ = metrics.ascent();
  descent_ = metrics.descent();
  if (painter_.isActive()) painter_.setFont(qfont_);
}

QPen QtCanvas::pen() const {
  QPen pen(ToQColor(penColour()));
  pen.setWidth(penWidth());
  pen.setCosmetic(penWidth() == 0);
  return pen;
}

void QtCanvas::textOut(int x, int y, std::string_view utf8) {
  if (utf8.empty()) return;
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  QFontMetricsF metrics(qfont_);
  double left = x;
  if (textAlign() != TextAlign::Left) {
    double width = metrics.horizontalAdvance(text);
    left = textAlign() == TextAlign::Right ? x - width : x - width / 2;
  }
  painter_.setFont(qfont_);
  painter_.setPen(ToQColor(textColour()));
  painter_.drawText(QPointF(left, y + ascent_), text);
}

Extent QtCanvas::textExtent(std::string_view utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  QFontMetricsF metrics(qfont_);
  return {static_cast<int>(std::lround(metrics.horizontalAdvance(text))),
          static_cast<int>(std::lround(ascent_ + descent_))};
}

void QtCanvas::drawLine(int x1, int y1, int x2, int y2) {
  painter_.setPen(pen());
  painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtCanvas::rectangle(int left, int top, int right, int bottom) {
  painter_.setPen(pen());
  if (brush())
    painter_.setBrush(ToQColor(*brush()));
  else
    painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(QRectF(left, top, right - left, bottom - top));
}

void QtCanvas::fillRect(int left, int top, int right, int bottom, Colour colour) {
  painter_.fillRect(QRectF(left, top, right - left, bottom - top), ToQColor(colour));
}

void QtCanvas::drawBitmap(const Bitmap& bitmap, int x, int y, int width, int height) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return;
  QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
               bitmap.width * 4, QImage::Format_RGB32);
  painter_.drawImage(QRectF(x, y, width, height), image);
}

}  // namespace printing
