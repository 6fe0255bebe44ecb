#include "printing/page_renderer.h"

#include <algorithm>

#include "core/user_interface.h"

namespace printing {

void RenderContext::warn(const std::string& text) {
  if (!warned_.insert(text).second) return;
  if (warningSink)
    warningSink(text);
  else if (app.ui)
    app.ui->message(text, frame::Icon::None);
}

void ApplyMapping(Canvas& canvas, const PageGeometry& geometry, int originX, int originY) {
  canvas.setWindowExtent(geometry.logicalWidth, geometry.logicalHeight);
  canvas.setViewportExtent(geometry.viewportWidth, geometry.viewportHeight);
  canvas.setWindowOrigin(originX, originY);
}

void PrintOffsetOrigin(const store::ParameterRecord& parameters, int& originX, int& originY) {
  int h = std::clamp<int>(parameters.printOffsetHorizontal, -100, 100);
  int v = std::clamp<int>(parameters.printOffsetVertical, -100, 100);
  originX = -10 * h;
  originY = -10 * v;
}

bool NextPage(Canvas& canvas, const PageGeometry& geometry, RenderContext& context, int nextPage,
              bool comparesTarget) {
  if (comparesTarget && nextPage > context.session.view.targetPage) return false;
  if (canvas.isPreview()) {
    canvas.fillRect(-100, -100, geometry.logicalWidth + 100, geometry.logicalHeight + 100, kWhite);
    return true;
  }
  Mapping kept = canvas.mapping();
  if (!canvas.endPage()) return false;
  if (!canvas.startPage()) return false;
  ApplyMapping(canvas, geometry, kept.originX, kept.originY);
  return true;
}

void DrawPreviewPrompt(Canvas& canvas, int y) {
  if (!canvas.isPreview()) return;
  TextAlign align = canvas.textAlign();
  canvas.setTextAlign(TextAlign::Left);
  canvas.setTextColour(kRed);
  canvas.textOut(10, y, kPreviewPrompt);
  canvas.setTextColour(kBlack);
  canvas.setTextAlign(align);
}

}  // namespace printing
