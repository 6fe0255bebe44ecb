#include "printing/canvas.h"

namespace printing {

void Canvas::setWindowOrigin(int x, int y) {
  mapping_.originX = x;
  mapping_.originY = y;
  mappingChanged();
}

void Canvas::setWindowExtent(int width, int height) {
  mapping_.windowWidth = width;
  mapping_.windowHeight = height;
  mappingChanged();
}

void Canvas::setViewportExtent(int width, int height) {
  mapping_.viewportWidth = width;
  mapping_.viewportHeight = height;
  mappingChanged();
}

void Canvas::selectFont(const Font& font) {
  font_ = font;
  fontChanged();
}

void Canvas::setPen(Colour colour, int width) {
  penColour_ = colour;
  penWidth_ = width < 0 ? 0 : width;
}

void Canvas::lineTo(int x, int y) {
  drawLine(currentX_, currentY_, x, y);
  currentX_ = x;
  currentY_ = y;
}

}  // namespace printing
