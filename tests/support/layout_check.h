// What a rendered document must never show: a text outside the sheet or one
// text printed over another. A text's box is as wide as the recording canvas
// measured it (its fixed widths, or the real font it was given) and as high
// as its em, in sheet coordinates (the logical position less the window
// origin), one page at a time.
#ifndef BELVON_TESTS_SUPPORT_LAYOUT_CHECK_H
#define BELVON_TESTS_SUPPORT_LAYOUT_CHECK_H

#include <string>
#include <vector>

#include "printing/recording_canvas.h"

namespace testsupport {

struct TextBox {
  int page = 1;
  int left = 0, top = 0, right = 0, bottom = 0;
  std::string text;
};

inline std::vector<TextBox> TextBoxes(const printing::RecordingCanvas& canvas) {
  using Kind = printing::RecordingCanvas::Kind;
  std::vector<TextBox> boxes;
  int page = 1;
  for (const auto& op : canvas.ops()) {
    if (op.kind == Kind::EndPage) ++page;
    if (op.kind != Kind::Text || op.text.find_first_not_of(' ') == std::string::npos) continue;
    const int width = op.width;
    TextBox box;
    box.page = page;
    box.text = op.text;
    const int x = op.x - op.mapping.originX;
    box.left = op.align == printing::TextAlign::Left    ? x
               : op.align == printing::TextAlign::Right ? x - width
                                                        : x - width / 2;
    box.right = box.left + width;
    box.top = op.y - op.mapping.originY;
    box.bottom = box.top + printing::RecordingCanvas::EmHeight(op.font);
    boxes.push_back(std::move(box));
  }
  return boxes;
}

// Every fault as a line naming the texts: outside the sheet of `width` x
// `height`, or over another text of its page.
inline std::vector<std::string> LayoutFaults(const printing::RecordingCanvas& canvas, int width,
                                             int height) {
  std::vector<std::string> faults;
  const std::vector<TextBox> boxes = TextBoxes(canvas);
  auto where = [](const TextBox& b) {
    return "\"" + b.text + "\" (page " + std::to_string(b.page) + ", " + std::to_string(b.left) +
           ".." + std::to_string(b.right) + " x " + std::to_string(b.top) + ".." +
           std::to_string(b.bottom) + ")";
  };
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const TextBox& a = boxes[i];
    if (a.left < 0 || a.top < 0 || a.right > width || a.bottom > height)
      faults.push_back("off the sheet: " + where(a));
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const TextBox& b = boxes[j];
      if (a.page == b.page && a.left < b.right && b.left < a.right && a.top < b.bottom &&
          b.top < a.bottom)
        faults.push_back("overlap: " + where(a) + " and " + where(b));
    }
  }
  return faults;
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_LAYOUT_CHECK_H
