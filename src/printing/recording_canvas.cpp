#include "printing/recording_canvas.h"

#include <cstdlib>

namespace printing {

namespace {

// Characters, not bytes, of a UTF-8 text.
int CodePoints(std::string_view utf8) {
  int n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

int RecordingCanvas::EmHeight(const Font& font) {
  if (font.height < 0) return -font.height;
  if (font.height > 0) return font.height * 100 / 115;
  return 42;
}

int RecordingCanvas::CellHeight(const Font& font) {
  if (font.height > 0) return font.height;
  return EmHeight(font) * 115 / 100;
}

RecordingCanvas::Op RecordingCanvas::makeOp(Kind kind) const {
  Op op{kind};
  op.font = font();
  op.align = textAlign();
  op.mapping = mapping();
  return op;
}

void RecordingCanvas::textOut(int x, int y, std::string_view utf8) {
  Op op = makeOp(Kind::Text);
  op.x = x;
  op.y = y;
  op.text = std::string(utf8);
  op.width = textExtent(utf8).cx;
  op.colour = textColour();
  ops_.push_back(std::move(op));
}

int RecordingCanvas::TextWidth(const Font& font, std::string_view utf8) {
  // A font with its own average width (a condensed face) keeps it.
  const int perCharacter2 = font.width != 0 ? 2 * std::abs(font.width) : EmHeight(font);
  return CodePoints(utf8) * perCharacter2 / 2;
}

Extent RecordingCanvas::textExtent(std::string_view utf8) {
  return {measure_ ? measure_(font(), utf8) : TextWidth(font(), utf8), CellHeight(font())};
}

void RecordingCanvas::drawLine(int x1, int y1, int x2, int y2) {
  Op op = makeOp(Kind::Line);
  op.x = x1;
  op.y = y1;
  op.x2 = x2;
  op.y2 = y2;
  op.colour = penColour();
  ops_.push_back(std::move(op));
}

void RecordingCanvas::rectangle(int left, int top, int right, int bottom) {
  Op op = makeOp(Kind::Rectangle);
  op.x = left;
  op.y = top;
  op.x2 = right;
  op.y2 = bottom;
  op.colour = penColour();
  ops_.push_back(std::move(op));
}

void RecordingCanvas::fillRect(int left, int top, int right, int bottom, Colour colour) {
  Op op = makeOp(Kind::Fill);
  op.x = left;
  op.y = top;
  op.x2 = right;
  op.y2 = bottom;
  op.colour = colour;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawBitmap(const Bitmap& bitmap, int x, int y, int width, int height) {
  Op op = makeOp(Kind::Bitmap);
  op.x = x;
  op.y = y;
  op.x2 = x + width;
  op.y2 = y + height;
  op.bitmapWidth = bitmap.width;
  op.bitmapHeight = bitmap.height;
  ops_.push_back(std::move(op));
}

bool RecordingCanvas::startPage() {
  ops_.push_back(makeOp(Kind::StartPage));
  return true;
}

bool RecordingCanvas::endPage() {
  ops_.push_back(makeOp(Kind::EndPage));
  ++endPageCalls_;
  return failEndPageFrom_ == 0 || endPageCalls_ < failEndPageFrom_;
}

std::vector<const RecordingCanvas::Op*> RecordingCanvas::ofKind(Kind kind) const {
  std::vector<const Op*> found;
  for (const Op& op : ops_)
    if (op.kind == kind) found.push_back(&op);
  return found;
}

std::vector<const RecordingCanvas::Op*> RecordingCanvas::texts() const {
  return ofKind(Kind::Text);
}

const RecordingCanvas::Op* RecordingCanvas::findText(const std::string& text) const {
  for (const Op& op : ops_)
    if (op.kind == Kind::Text && op.text == text) return &op;
  return nullptr;
}

}  // namespace printing
