#include "letters/envelope_renderer.h"

#include "platform/cp1252.h"
#include "printing/letterhead.h"
#include "printing/text_wrap.h"
#include "store/text_field.h"

namespace letters {

namespace {

using printing::Canvas;
using printing::Font;

// The right edge of the printed address: the envelope's window ends there,
// and the label's sheet.
constexpr int kAddressRight = 1550;

// Draws `text` (Windows-1252) unless it is empty, cut where it would pass
// the right edge.
bool Line(Canvas& canvas, int x, int y, std::string_view text) {
  if (text.empty()) return false;
  canvas.textOut(x, y, printing::FitText(canvas, platform::Cp1252ToUtf8(text), kAddressRight - x));
  return true;
}

// Mapping without print offsets, the hollow brush and, in the preview, the
// outline of the envelope.
void SetUp(Canvas& canvas, const printing::PageGeometry& geometry) {
  printing::ApplyMapping(canvas, geometry);
  canvas.setBrush(std::nullopt);
  if (canvas.isPreview()) canvas.rectangle(-10, -10, 1600, 1040);
}

}  // namespace

std::array<std::string, 5> ShippingAddress(const store::AddressRecord& a) {
  using store::GetText;
  if (GetText(a.deliveryLine2).empty())
    return {std::string(GetText(a.name1)), std::string(GetText(a.name2)),
            std::string(GetText(a.name3)), std::string(GetText(a.street)),
            std::string(GetText(a.town))};
  return {std::string(GetText(a.deliveryLine1)), std::string(GetText(a.deliveryLine2)),
          std::string(GetText(a.deliveryLine3)), std::string(GetText(a.deliveryLine4)),
          std::string(GetText(a.deliveryLine5))};
}

printing::RenderOutcome EnvelopeRenderer::render(Canvas& canvas,
                                                 const printing::PageGeometry& geometry,
                                                 printing::RenderContext& context) {
  const store::ParameterRecord& p = context.app.parameters;
  SetUp(canvas, geometry);
  printing::FontScope restore(canvas);
  canvas.setTextAlign(printing::TextAlign::Left);

  canvas.selectFont(Font{"Arial", -30});
  int y = Line(canvas, 30, 30, store::GetText(p.companyName1)) ? 70 : 30;
  for (std::string_view text : {store::GetText(p.companyName2), store::GetText(p.companyName3),
                                store::GetText(p.street), store::GetText(p.town)})
    if (Line(canvas, 30, y, text)) y += 40;

  canvas.selectFont(Font{"Arial", -50});
  Line(canvas, 600, 500, printing::SalutationText(context.app.address));
  const std::array<std::string, 5> to = ShippingAddress(context.app.address);
  y = Line(canvas, 600, 560, to[0]) ? 620 : 560;
  for (int i = 1; i <= 3; ++i)
    if (Line(canvas, 600, y, to[i])) y += 60;
  canvas.selectFont(Font{"Arial", -60, 700});
  Line(canvas, 600, y + 20, to[4]);
  printing::DrawPreviewPrompt(canvas);
  return {};
}

printing::RenderOutcome ParcelLabelRenderer::render(Canvas& canvas,
                                                    const printing::PageGeometry& geometry,
                                                    printing::RenderContext& context) {
  const store::ParameterRecord& p = context.app.parameters;
  SetUp(canvas, geometry);
  printing::FontScope restore(canvas);
  canvas.setTextAlign(printing::TextAlign::Left);

  canvas.selectFont(Font{"Arial", -36});
  Line(canvas, 140, 40, store::GetText(p.companyName1));
  Line(canvas, 140, 125, store::GetText(p.street));
  Line(canvas, 140, 210, store::GetText(p.town));
  // Neither name line 1 nor the salutation goes onto the label.
  const std::array<std::string, 5> to = ShippingAddress(context.app.address);
  Line(canvas, 780, 530, to[1]);
  Line(canvas, 780, 615, to[2]);
  Line(canvas, 780, 700, to[3]);
  canvas.selectFont(Font{"Arial", -40, 700});
  Line(canvas, 780, 850, to[4]);
  printing::DrawPreviewPrompt(canvas);
  return {};
}

}  // namespace letters
