// Job 10: a letter from the text editor, on the company letterhead, shifted
// by the print offsets, on as many pages as its text needs.
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

// The height a letter counts as its page: the logical height less the
// vertical print offset (the window origin `originY` is -10 v), so that the
// footer stays on the sheet however far the offset moves the letter down.
int LetterPageHeight(const PageGeometry& geometry, int originY);

// Where a letter's text stands: from x 150 to the right margin at 1900.
inline constexpr int kLetterTextLeft = 150;
inline constexpr int kLetterTextWidth = 1750;

// The lines a letter body prints as: its LetterLines, each wrapped at the
// text width in the canvas's current font (UTF-8; an empty line stays one).
std::vector<std::string> LetterBodyLines(Canvas& canvas, std::string_view body);

// The body of a letter, line by line, on as many pages as it needs. A page
// that is left says on its last line where the letter goes on; the next
// carries the footer and "Seite n" at its top, and the text goes on below.
class LetterPages {
 public:
  // `pageHeight`: LetterPageHeight. With `pagesByTarget` the preview stops
  // before a page beyond TargetPage (a letter of its own); without, it
  // paints every page over the last (the dunning letters).
  LetterPages(Canvas& canvas, const PageGeometry& geometry, RenderContext& context,
              int pageHeight, bool pagesByTarget);

  // Room for `height` units at y: where y stands, or at the top of a new
  // page (y moves there). False when the letter stops: the printer failed,
  // or the preview reached the page it shows.
  bool room(int& y, int height);

  int page() const { return page_; }
  // Stopped at the preview's page with more to come.
  bool morePages() const { return stopped_ && canvas_.isPreview(); }
  bool failed() const { return stopped_ && !canvas_.isPreview(); }

 private:
  Canvas& canvas_;
  const PageGeometry& geometry_;
  RenderContext& context_;
  int pageHeight_;
  int bottom_;
  bool pagesByTarget_;
  int page_ = 1;
  bool stopped_ = false;
};

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
