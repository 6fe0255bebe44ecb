// Text measured as the painter draws it: the Liberation faces that stand in
// for Arial and Times New Roman, at the logical sizes of the documents. For
// layout checks of the recording canvas as the page prints.
#ifndef BELVON_TESTS_SUPPORT_REAL_FONTS_H
#define BELVON_TESTS_SUPPORT_REAL_FONTS_H

#include <QImage>
#include <QPainter>

#include "printing/recording_canvas.h"
#include "printing/ui/qt_canvas.h"

namespace testsupport {

class RealFonts {
 public:
  // Valid while this object lives.
  printing::RecordingCanvas::Measure measure() {
    return [this](const printing::Font& font, std::string_view text) {
      canvas_.selectFont(font);
      return canvas_.textExtent(text).cx;
    };
  }

 private:
  QImage image_{16, 16, QImage::Format_RGB32};
  QPainter painter_{&image_};
  printing::QtCanvas canvas_{painter_, false};
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_REAL_FONTS_H
