#include "printing/letter_renderer.h"

#include <algorithm>

#include "core/decimal.h"
#include "platform/cp1252.h"
#include "printing/letterhead.h"
#include "printing/text_wrap.h"

namespace printing {

namespace {
// The character height of the letter font.
constexpr int kLetterLineHeight = 35;
}  // namespace

std::vector<std::string> LetterLines(std::string_view body) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t cr = body.find('\r', start);
    std::string_view piece = body.substr(start, cr == std::string_view::npos ? body.npos : cr - start);
    if (!piece.empty() && piece.front() == '\n') piece.remove_prefix(1);
    lines.emplace_back(piece);
    if (cr == std::string_view::npos) break;
    start = cr + 1;
  }
  return lines;
}

int LetterPageHeight(const PageGeometry& geometry, int originY) {
  return geometry.logicalHeight + originY;
}

namespace {
// A line of the letter font and the step to the next line.
constexpr int kLineStep = 60;
// Where "Seite n" stands on a continuation page, and the text below it.
constexpr int kContinuationHead = 300;
constexpr int kContinuationText = 400;
constexpr int kTextRight = kLetterTextLeft + kLetterTextWidth;
}  // namespace

LetterPages::LetterPages(Canvas& canvas, const PageGeometry& geometry, RenderContext& context,
                         int pageHeight, bool pagesByTarget)
    : canvas_(canvas),
      geometry_(geometry),
      context_(context),
      pageHeight_(pageHeight),
      // The footer's headings keep a line's gap to the text above them;
      // one line more is kept for the note that the letter goes on.
      bottom_(std::min(pageHeight, FooterTop(context.app.parameters, pageHeight) - 20) - kLineStep),
      pagesByTarget_(pagesByTarget) {}

bool LetterPages::room(int& y, int height) {
  if (stopped_) return false;
  if (y + height <= bottom_) return true;
  const TextAlign align = canvas_.textAlign();
  canvas_.setTextAlign(TextAlign::Right);
  // Empty lines may have taken y past the last line's place.
  canvas_.textOut(kTextRight, std::min(y, bottom_), frame::Format("Fortsetzung auf Seite %d", page_ + 1));
  if (!NextPage(canvas_, geometry_, context_, page_ + 1, pagesByTarget_ && canvas_.isPreview())) {
    stopped_ = true;
    canvas_.setTextAlign(align);
    return false;
  }
  ++page_;
  {
    FontScope restore(canvas_);
    Letterhead(canvas_, context_, geometry_.logicalWidth, pageHeight_, true);
  }
  canvas_.setTextAlign(TextAlign::Right);
  canvas_.textOut(kTextRight, kContinuationHead, frame::Format("Seite %d", page_));
  canvas_.setTextAlign(align);
  y = kContinuationText;
  return true;
}

std::vector<std::string> LetterBodyLines(Canvas& canvas, std::string_view body) {
  std::vector<std::string> printed;
  for (const std::string& line : LetterLines(body)) {
    if (line.empty()) {
      printed.emplace_back();
      continue;
    }
    for (std::string& piece : WrapText(canvas, platform::Cp1252ToUtf8(line), kLetterTextWidth))
      printed.push_back(std::move(piece));
  }
  return printed;
}

RenderOutcome LetterRenderer::render(Canvas& canvas, const PageGeometry& geometry,
                                     RenderContext& context) {
  int originX = 0, originY = 0;
  PrintOffsetOrigin(context.app.parameters, originX, originY);
  ApplyMapping(canvas, geometry, originX, originY);
  canvas.setBrush(std::nullopt);

  FontScope restore(canvas);
  const int pageHeight = LetterPageHeight(geometry, originY);
  Letterhead(canvas, context, geometry.logicalWidth, pageHeight, false);
  RecipientBlock(canvas, context, geometry.logicalWidth, pageHeight, context.app.address);

  canvas.selectFont(Font{"Arial", -35});
  canvas.setTextAlign(TextAlign::Left);
  canvas.textOut(1400, 800, "Datum: " + platform::Cp1252ToUtf8(context.session.inputs.printDate));
  LetterPages pages(canvas, geometry, context, pageHeight, true);
  int y = 900;
  for (const std::string& line : LetterBodyLines(canvas, context.session.inputs.letterText)) {
    // Empty lines at the end of a page are not carried to the next.
    if (line.empty()) {
      y += kLineStep;
      continue;
    }
    if (!pages.room(y, kLetterLineHeight)) break;
    canvas.textOut(kLetterTextLeft, y, line);
    y += kLineStep;
  }
  if (!pages.failed()) DrawPreviewPrompt(canvas);
  return {pages.page(), pages.morePages()};
}

RenderOutcome BlankPageRenderer::render(Canvas& canvas, const PageGeometry& geometry,
                                        RenderContext&) {
  ApplyMapping(canvas, geometry);
  DrawPreviewPrompt(canvas);
  return {};
}

}  // namespace printing
