#include "printing/page_geometry.h"

#include <algorithm>

namespace printing {

PrinterInfo ApplyA5Rule(PrinterInfo info, bool ordersOnA5) {
  if (ordersOnA5) {
    info.deviceWidth = static_cast<int>(info.deviceWidth / 1.42);
    info.deviceHeight = static_cast<int>(info.deviceHeight / 1.42);
  }
  return info;
}

PageGeometry PrintingGeometry(const PrinterInfo& info) {
  return {info.pageWidthMm * 10, info.pageHeightMm * 10, info.deviceWidth, info.deviceHeight};
}

PageGeometry PreviewGeometry(const PrinterInfo& info, int zoom) {
  return {info.pageWidthMm * 10, info.pageHeightMm * 10, zoom * info.pageWidthMm,
          zoom * info.pageHeightMm};
}

int StartZoom(int screenWidth) { return screenWidth <= 640 ? 2 : 3; }

PreviewAction HandlePreviewKey(PreviewView& view, PreviewKey key) {
  constexpr int kStep = 128;
  switch (key) {
    case PreviewKey::Escape:
      return PreviewAction::Close;
    case PreviewKey::PageUp:
      view.targetPage = std::max(1, view.targetPage - 1);
      return PreviewAction::Repaint;
    case PreviewKey::PageDown:
      // Lists let the target run on past their end; keep it below the
      // printing mark so a preview never believes it prints.
      view.targetPage = std::min(kPrintAllPages - 1, view.targetPage + 1);
      return PreviewAction::Repaint;
    case PreviewKey::ZoomIn:
      view.zoom = std::min(kMaxZoom, view.zoom + 1);
      return PreviewAction::Place;
    case PreviewKey::ZoomOut:
      view.zoom = std::max(kMinZoom, view.zoom - 1);
      return PreviewAction::Place;
    case PreviewKey::Left:
      view.scrollX += kStep;
      return PreviewAction::Place;
    case PreviewKey::Right:
      view.scrollX -= kStep;
      return PreviewAction::Place;
    case PreviewKey::Up:
      view.scrollY += kStep;
      return PreviewAction::Place;
    case PreviewKey::Down:
      view.scrollY -= kStep;
      return PreviewAction::Place;
    case PreviewKey::Other:
      break;
  }
  return PreviewAction::None;
}

}  // namespace printing
