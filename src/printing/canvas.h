// The drawing surface of every page renderer.
//
// It speaks in the terms of a GDI device context, because our page layouts
// are written in them: an anisotropic mapping (window origin and extent,
// viewport extent, viewport origin 0,0), fonts by face and height in logical
// units, text anchored by its top-left corner unless right-aligned or centred
// (TA_RIGHT: x is the right end of the text, TA_CENTER: its middle).
// Renderers draw in tenths of a millimetre, x to the right, y downward.
//
// The state (mapping, font, alignment, colours, pen, brush, current point)
// lives here; an implementation draws with it and is told when it changed.
#ifndef BELVON_PRINTING_CANVAS_H
#define BELVON_PRINTING_CANVAS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printing {

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kGrey{128, 128, 128};  // the stock grey brush

enum class TextAlign { Left, Right, Centre };

struct Font {
  std::string face = "Arial";
  // Logical units: negative = character height, positive = cell height,
  // 0 = the device's default size.
  int height = -35;
  int weight = 400;  // 100..900, 700 bold
  bool italic = false;
  bool underline = false;
  // Average character width in logical units (its absolute value); 0 keeps
  // the face's own proportions.
  int width = 0;
  friend bool operator==(const Font&, const Font&) = default;
};

struct Extent {
  int cx = 0;  // width
  int cy = 0;  // cell height of the font
};

// A picture in memory: 0xFFRRGGBB, rows from the top.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

struct Mapping {
  int originX = 0, originY = 0;  // window origin
  int windowWidth = 1, windowHeight = 1;
  int viewportWidth = 1, viewportHeight = 1;
  friend bool operator==(const Mapping&, const Mapping&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  void setWindowOrigin(int x, int y);
  void setWindowExtent(int width, int height);
  void setViewportExtent(int width, int height);
  const Mapping& mapping() const { return mapping_; }

  void selectFont(const Font& font);
  const Font& font() const { return font_; }
  void setTextAlign(TextAlign align) { align_ = align; }
  TextAlign textAlign() const { return align_; }
  void setTextColour(Colour colour) { textColour_ = colour; }
  Colour textColour() const { return textColour_; }
  // Pen for lines and rectangle outlines; width 0 is one device pixel.
  void setPen(Colour colour, int width = 0);
  Colour penColour() const { return penColour_; }
  int penWidth() const { return penWidth_; }
  // Brush for the inside of rectangles; nullopt is the hollow brush.
  void setBrush(std::optional<Colour> brush) { brush_ = brush; }
  std::optional<Colour> brush() const { return brush_; }

  void moveTo(int x, int y) {
    currentX_ = x;
    currentY_ = y;
  }
  void lineTo(int x, int y);

  virtual void textOut(int x, int y, std::string_view utf8) = 0;
  virtual Extent textExtent(std::string_view utf8) = 0;
  // Outline with the pen, inside with the brush.
  virtual void rectangle(int left, int top, int right, int bottom) = 0;
  virtual void fillRect(int left, int top, int right, int bottom, Colour colour) = 0;
  // The picture stretched into the rectangle.
  virtual void drawBitmap(const Bitmap& bitmap, int x, int y, int width, int height) = 0;

  // Page control of a printed document; false when the device failed or the
  // user cancelled. The preview has no pages and always says true.
  virtual bool startPage() = 0;
  virtual bool endPage() = 0;
  // Whether this draws into the preview rather than onto paper.
  virtual bool isPreview() const = 0;

 protected:
  virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
  // Called after the mapping or the font changed.
  virtual void mappingChanged() {}
  virtual void fontChanged() {}

 private:
  Mapping mapping_;
  Font font_;
  TextAlign align_ = TextAlign::Left;
  Colour textColour_ = kBlack;
  Colour penColour_ = kBlack;
  int penWidth_ = 0;
  std::optional<Colour> brush_ = kWhite;
  int currentX_ = 0, currentY_ = 0;
};

// Selects a font and puts the one found back when it goes out of scope, as
// every renderer leaves the device with the font it found.
class FontScope {
 public:
  explicit FontScope(Canvas& canvas) : canvas_(canvas), saved_(canvas.font()) {}
  ~FontScope() { canvas_.selectFont(saved_); }
  FontScope(const FontScope&) = delete;
  FontScope& operator=(const FontScope&) = delete;

 private:
  Canvas& canvas_;
  Font saved_;
};

}  // namespace printing

#endif  // BELVON_PRINTING_CANVAS_H
