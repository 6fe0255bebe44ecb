#include "printing/text_wrap.h"

namespace printing {

namespace {

bool ContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Appends `word` to the lines, cut between characters wherever the rest
// would be wider than the column; the last piece stays open in `line`.
void BreakWord(Canvas& canvas, std::string_view word, int width, std::vector<std::string>& lines,
               std::string& line) {
  if (canvas.textExtent(word).cx <= width) {
    line.assign(word);
    return;
  }
  std::size_t start = 0;
  while (start < word.size()) {
    std::size_t end = start;
    std::size_t fits = start;
    while (end < word.size()) {
      std::size_t next = end + 1;
      while (next < word.size() && ContinuationByte(word[next])) ++next;
      if (canvas.textExtent(word.substr(start, next - start)).cx > width && fits > start) break;
      fits = end = next;
    }
    line.assign(word.substr(start, fits - start));
    start = fits;
    if (start < word.size()) lines.push_back(line);
  }
}

}  // namespace

std::vector<std::string> WrapText(Canvas& canvas, std::string_view utf8, int width) {
  std::vector<std::string> lines;
  if (canvas.textExtent(utf8).cx <= width) {
    lines.emplace_back(utf8);
    return lines;
  }
  std::string line;
  bool open = false;  // `line` holds a started line (it may be blanks only)
  std::size_t start = 0;
  while (start <= utf8.size()) {
    std::size_t blank = utf8.find(' ', start);
    if (blank == std::string_view::npos) blank = utf8.size();
    const std::string_view word = utf8.substr(start, blank - start);
    start = blank + 1;
    if (open) {
      std::string longer = line + " " + std::string(word);
      if (canvas.textExtent(longer).cx <= width) {
        line = std::move(longer);
        continue;
      }
      lines.push_back(line);
    }
    // A blank that ends a line is not carried to the next one.
    if (word.empty() && open) {
      line.clear();
      open = false;
      continue;
    }
    BreakWord(canvas, word, width, lines, line);
    open = true;
  }
  if (open) lines.push_back(line);
  return lines;
}

std::string FitText(Canvas& canvas, std::string_view utf8, int width) {
  if (canvas.textExtent(utf8).cx <= width) return std::string(utf8);
  // Character boundaries, then the longest prefix that fits by bisection:
  // the width grows with every character.
  std::vector<std::size_t> ends;
  for (std::size_t i = 1; i <= utf8.size(); ++i)
    if (i == utf8.size() || !ContinuationByte(utf8[i])) ends.push_back(i);
  std::size_t low = 0, high = ends.size();  // prefix of `low` characters fits
  while (low + 1 < high) {
    const std::size_t middle = (low + high) / 2;
    if (canvas.textExtent(utf8.substr(0, ends[middle - 1])).cx <= width)
      low = middle;
    else
      high = middle;
  }
  return std::string(utf8.substr(0, low == 0 ? 0 : ends[low - 1]));
}

namespace {

// Selects the largest font, from the current one down to a character height
// of `smallestEm`, in which the text is no wider than `width`; false (with
// the smallest size selected) when none is.
bool ShrinkToFit(Canvas& canvas, std::string_view utf8, int width, int smallestEm) {
  if (canvas.textExtent(utf8).cx <= width) return true;
  const Font found = canvas.font();
  Font font = found;
  // A cell height counts as its em: the cell is a little higher than the
  // characters.
  const int em = found.height < 0 ? -found.height : found.height * 100 / 115;
  const bool cell = found.height > 0;
  for (int size = em - 1; size >= smallestEm; --size) {
    font.height = cell ? size * 115 / 100 : -size;
    // A font of fixed average width keeps its proportions as it shrinks.
    font.width = found.width * size / em;
    canvas.selectFont(font);
    if (canvas.textExtent(utf8).cx <= width) return true;
  }
  return false;
}

}  // namespace

std::string FitNumber(Canvas& canvas, std::string_view utf8, int width, int smallestEm) {
  if (ShrinkToFit(canvas, utf8, width, smallestEm)) return std::string(utf8);
  static constexpr std::string_view kCut = "…";
  const int mark = canvas.textExtent(kCut).cx;
  return FitText(canvas, utf8, width - mark) + std::string(kCut);
}

std::vector<std::string> FitHeading(Canvas& canvas, std::string_view utf8, int width,
                                    int smallestEm) {
  if (ShrinkToFit(canvas, utf8, width, smallestEm)) return {std::string(utf8)};
  return WrapText(canvas, utf8, width);
}

}  // namespace printing
