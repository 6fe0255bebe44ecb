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

int BodyBottom(const store::ParameterRecord& p, const PageGeometry& geometry, int originY) {
  // The footer's headings keep a line's gap to the text above them.
  return std::min(geometry.logicalHeight + originY, FooterTop(p, geometry.logicalHeight) - 20);
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
  Letterhead(canvas, context, geometry.logicalWidth, geometry.logicalHeight, false);
  RecipientBlock(canvas, context, geometry.logicalWidth, geometry.logicalHeight,
                 context.app.address);

  canvas.selectFont(Font{"Arial", -35});
  canvas.setTextAlign(TextAlign::Left);
  canvas.textOut(1400, 800, "Datum: " + platform::Cp1252ToUtf8(context.session.inputs.printDate));
  // One page only: what does not fit above the footer and the bottom of
  // the printable area is left off, and the user is told how many lines
  // that is.
  const int bottom = BodyBottom(context.app.parameters, geometry, originY);
  int y = 900;
  int lost = 0;
  for (const std::string& line : LetterBodyLines(canvas, context.session.inputs.letterText)) {
    if (!line.empty()) {
      if (y + kLetterLineHeight > bottom)
        ++lost;
      else
        canvas.textOut(kLetterTextLeft, y, line);
    }
    y += 60;
  }
  if (lost > 0)
    context.warn(frame::Format(
        "Der Brief ist länger als eine Seite:\n%d Zeile(n) am Ende passen nicht auf das Blatt.",
        lost));
  DrawPreviewPrompt(canvas);
  return {};
}

RenderOutcome BlankPageRenderer::render(Canvas& canvas, const PageGeometry& geometry,
                                        RenderContext&) {
  ApplyMapping(canvas, geometry);
  DrawPreviewPrompt(canvas);
  return {};
}

}  // namespace printing
