// Job 10: one letter page from the text editor, on the company letterhead,
// shifted by the print offsets.
#ifndef BELVON_PRINTING_LETTER_RENDERER_H
#define BELVON_PRINTING_LETTER_RENDERER_H

#include <string>
#include <string_view>
#include <vector>

#include "printing/page_renderer.h"

namespace printing {

// The printed lines of a letter body (Windows-1252, lines ended by CR, each
// next line starting with its LF): pieces between carriage returns without
// their leading line feed; a piece that is only a line feed is an empty line.
std::vector<std::string> LetterLines(std::string_view body);

// The lowest y a line of a letter body may reach on a letter page: above the
// footer and inside the printable area (shifted by the print offset's
// window origin `originY`).
int BodyBottom(const store::ParameterRecord& p, const PageGeometry& geometry, int originY);

// Where a letter's text stands: from x 150 to the right margin at 1900.
inline constexpr int kLetterTextLeft = 150;
inline constexpr int kLetterTextWidth = 1750;

// The lines a letter body prints as: its LetterLines, each wrapped at the
// text width in the canvas's current font (UTF-8; an empty line stays one).
std::vector<std::string> LetterBodyLines(Canvas& canvas, std::string_view body);

class LetterRenderer : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                       RenderContext& context) override;
};

// Job 11 and every number without a renderer: an empty page.
class BlankPageRenderer : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                       RenderContext& context) override;
};

}  // namespace printing

#endif  // BELVON_PRINTING_LETTER_RENDERER_H
