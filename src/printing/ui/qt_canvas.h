// The Canvas on a QPainter: the printer, a PDF, an image or the preview.
//
// The GDI mapping becomes the painter's transform; fonts are sized in
// logical units (a negative height is the em, a positive one the cell), and
// the Windows faces resolve to their metric-compatible Liberation fonts.
#ifndef BELVON_PRINTING_UI_QT_CANVAS_H
#define BELVON_PRINTING_UI_QT_CANVAS_H

#include <QFont>
#include <QPainter>
#include <QString>
#include <functional>

#include "printing/canvas.h"

namespace printing {

// The installed family and weight for a face: "Arial" → Liberation Sans,
// "Times New Roman" → Liberation Serif, "Times New Roman Fett" → Liberation
// Serif bold, "Courier New" → Liberation Mono; other faces stay as named.
QFont ResolveFont(const Font& font);

class QtCanvas : public Canvas {
 public:
  struct PageHooks {
    std::function<bool()> startPage;  // null: nothing to do
    std::function<bool()> endPage;
  };

  QtCanvas(QPainter& painter, bool preview, PageHooks hooks = {});

  void textOut(int x, int y, std::string_view utf8) override;
  Extent textExtent(std::string_view utf8) override;
  void rectangle(int left, int top, int right, int bottom) override;
  void fillRect(int left, int top, int right, int bottom, Colour colour) override;
  void drawBitmap(const Bitmap& bitmap, int x, int y, int width, int height) override;
  bool startPage() override { return hooks_.startPage ? hooks_.startPage() : true; }
  bool endPage() override { return hooks_.endPage ? hooks_.endPage() : true; }
  bool isPreview() const override { return preview_; }

  // Puts mapping and font onto the painter again (after it began anew on
  // the next page's device).
  void reapply();

 protected:
  void drawLine(int x1, int y1, int x2, int y2) override;
  void mappingChanged() override;
  void fontChanged() override;

 private:
  QPen pen() const;

  QPainter& painter_;
  bool preview_;
  PageHooks hooks_;
  QFont qfont_;
  double ascent_ = 0;
  double descent_ = 0;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_QT_CANVAS_H
