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

}  // namespace printing

#endif  // BELVON_PRINTING_TEXT_WRAP_H
