// A canvas that draws nothing and keeps every call, with the font, the
// alignment, the colour and the mapping in force at the time, so that page
// layouts can be checked by position, font and text.
//
// Text metrics are fixed and simple instead of a real font's: the character
// height (em) of a font is -height for negative heights and 100/115 of the
// cell height for positive ones; a cell is 115/100 of the em and every
// character is half an em wide, or as wide as the font's average width
// where it names one.
#ifndef BELVON_PRINTING_RECORDING_CANVAS_H
#define BELVON_PRINTING_RECORDING_CANVAS_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/canvas.h"

namespace printing {

class RecordingCanvas : public Canvas {
 public:
  enum class Kind { Text, Line, Rectangle, Fill, Bitmap, StartPage, EndPage };

  struct Op {
    Kind kind;
    int x = 0, y = 0, x2 = 0, y2 = 0;  // text: anchor; others: corners
    std::string text;
    Font font;
    TextAlign align = TextAlign::Left;
    Colour colour;  // text colour, pen or fill colour
    Mapping mapping;
    int bitmapWidth = 0, bitmapHeight = 0;
    int width = 0;  // text: the width textExtent reported for it
  };
  // Measures a text in a font instead of the fixed metrics (a real font's
  // widths, for layouts checked as they print).
  using Measure = std::function<int(const Font&, std::string_view)>;

  explicit RecordingCanvas(bool preview = false) : preview_(preview) {}

  void textOut(int x, int y, std::string_view utf8) override;
  Extent textExtent(std::string_view utf8) override;
  void rectangle(int left, int top, int right, int bottom) override;
  void fillRect(int left, int top, int right, int bottom, Colour colour) override;
  void drawBitmap(const Bitmap& bitmap, int x, int y, int width, int height) override;
  bool startPage() override;
  bool endPage() override;
  bool isPreview() const override { return preview_; }

  void measureWith(Measure measure) { measure_ = std::move(measure); }

  // endPage reports failure from the Nth call on (1-based), 0 = never.
  void failEndPageFrom(int n) { failEndPageFrom_ = n; }

  const std::vector<Op>& ops() const { return ops_; }
  std::vector<const Op*> texts() const;
  // The first text op with exactly this text, null when there is none.
  const Op* findText(const std::string& text) const;
  std::vector<const Op*> ofKind(Kind kind) const;
  void clear() { ops_.clear(); }

  static int EmHeight(const Font& font);
  // The width textExtent reports for this text in this font.
  static int TextWidth(const Font& font, std::string_view utf8);
  static int CellHeight(const Font& font);

 protected:
  void drawLine(int x1, int y1, int x2, int y2) override;

 private:
  Op makeOp(Kind kind) const;

  bool preview_;
  int endPageCalls_ = 0;
  int failEndPageFrom_ = 0;
  std::vector<Op> ops_;
  Measure measure_;
};

}  // namespace printing

#endif  // BELVON_PRINTING_RECORDING_CANVAS_H
