#include "store/figure_style_file.h"

#include <cstdio>
#include <sstream>

#include "platform/file_reading.h"
#include "store/file_replacement.h"

namespace store {

namespace {

constexpr std::string_view kKey = "Zahlen=";
constexpr std::uint64_t kLargestFile = 64 * 1024;

}  // namespace

frame::FigureStyle ParseFigureStyle(std::string_view text) {
  std::istringstream lines{std::string(text)};
  std::string line;
  frame::FigureStyle style = frame::FigureStyle::Point;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(kKey, 0) == 0)
      style = line.substr(kKey.size()) == "deutsch" ? frame::FigureStyle::German
                                                     : frame::FigureStyle::Point;
  }
  return style;
}

std::string FigureStyleText(frame::FigureStyle style) {
  return "[Format]\n" + std::string(kKey) +
         (style == frame::FigureStyle::German ? "deutsch" : "punkt") + "\n";
}

frame::FigureStyle LoadFigureStyle(frame::AppState& app) {
  std::string text;
  if (platform::ReadRegularFile(*app.fileSystem, app.path(kFigureStyleFileName), kLargestFile,
                                text, platform::Share::DenyNone) != platform::ReadRefusal::None)
    return frame::FigureStyle::Point;
  return ParseFigureStyle(text);
}

bool SaveFigureStyle(frame::AppState& app, frame::FigureStyle style) {
  const std::string text = FigureStyleText(style);
  const std::string temporary = std::string(kFigureStyleFileName) + ".neu";
  return WriteWholeFile(app, temporary,
                        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) &&
         std::rename(app.path(temporary.c_str()).c_str(),
                     app.path(kFigureStyleFileName).c_str()) == 0;
}

}  // namespace store
