// Free text set into a column of a printed page: the user's long texts and
// footers may be longer than the column is wide, and a text drawn past it
// runs over the next column or off the paper.
#ifndef BELVON_PRINTING_TEXT_WRAP_H
#define BELVON_PRINTING_TEXT_WRAP_H

#include <string>
#include <string_view>
#include <vector>

#include "printing/canvas.h"

namespace printing {

// The UTF-8 text broken into lines no wider than `width` in the canvas's
// current font: at blanks where it can, inside a word only where the word
// alone is wider than the column. A text that fits is one line; an empty
// text gives one empty line.
std::vector<std::string> WrapText(Canvas& canvas, std::string_view utf8, int width);

// The longest beginning of the UTF-8 text, cut between characters, that is no
// wider than `width` in the canvas's current font: for a column that holds one
// line and must not run into its neighbour.
std::string FitText(Canvas& canvas, std::string_view utf8, int width);

// A number (customer, article, telephone) set into a column one line high.
// A name may lose its end, a number must not turn unseen into another, valid
// looking number: it prints whole in the current font, or whole in the
// largest smaller one down to a character height of `smallestEm`, or, when
// even that is too wide, cut in that size and ended with "…", so that the
// cut shows. Selects the font to print in and returns the text.
std::string FitNumber(Canvas& canvas, std::string_view utf8, int width, int smallestEm = 20);

// A title of the user's set into a width: on one line in the current font or
// the largest smaller one down to a character height of `smallestEm`; when
// even that is too wide, wrapped into lines of that size. Nothing is left
// off. Selects the font to print in and returns the lines.
std::vector<std::string> FitHeading(Canvas& canvas, std::string_view utf8, int width,
                                    int smallestEm);

}  // namespace printing

#endif  // BELVON_PRINTING_TEXT_WRAP_H
