#include "letters/envelope_renderer.h"

#include <algorithm>
#include <vector>

#include "core/decimal.h"
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

// The recipient's block: its lines keep their places, and the block is set
// as much smaller as its widest line needs, down to three fifths; a line that
// is still too wide is cut at the edge and the user is told which.
class RecipientLines {
 public:
  RecipientLines(int x, const char* where) : x_(x), where_(where) {}
  void add(int y, std::string_view cp1252, const Font& font) {
    if (!cp1252.empty()) lines_.push_back({y, platform::Cp1252ToUtf8(cp1252), font});
  }
  void draw(Canvas& canvas, printing::RenderContext& context) const {
    int scale = 100;
    for (; scale > kSmallestScale; --scale)
      if (std::all_of(lines_.begin(), lines_.end(),
                      [&](const Entry& line) { return fits(canvas, line, scale); }))
        break;
    for (const Entry& line : lines_) {
      canvas.selectFont(scaled(line.font, scale));
      const std::string shown = printing::FitText(canvas, line.text, kAddressRight - x_);
      if (shown != line.text)
        context.warn(frame::Format("Die Adresszeile „%s“ passt nicht ganz auf %s; "
                                   "sie wird gekürzt gedruckt.",
                                   line.text.c_str(), where_));
      canvas.textOut(x_, line.y, shown);
    }
  }

 private:
  struct Entry {
    int y;
    std::string text;  // UTF-8
    Font font;
  };
  static constexpr int kSmallestScale = 60;
  static Font scaled(Font font, int scale) {
    font.height = font.height * scale / 100;
    return font;
  }
  bool fits(Canvas& canvas, const Entry& line, int scale) const {
    canvas.selectFont(scaled(line.font, scale));
    return canvas.textExtent(line.text).cx <= kAddressRight - x_;
  }

  int x_;
  const char* where_;
  std::vector<Entry> lines_;
};

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

  const Font name{"Arial", -50};
  RecipientLines recipient(600, "den Umschlag");
  recipient.add(500, printing::SalutationText(context.app.address), name);
  const std::array<std::string, 5> to = ShippingAddress(context.app.address);
  y = to[0].empty() ? 560 : 620;
  recipient.add(560, to[0], name);
  for (int i = 1; i <= 3; ++i) {
    recipient.add(y, to[i], name);
    if (!to[i].empty()) y += 60;
  }
  recipient.add(y + 20, to[4], Font{"Arial", -60, 700});
  recipient.draw(canvas, context);
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
  // Name line 1 stands above the other lines: the parcel goes to a person
  // or firm, not to the second line of the address.
  const std::array<std::string, 5> to = ShippingAddress(context.app.address);
  const Font name{"Arial", -36};
  RecipientLines recipient(780, "den Paketaufkleber");
  recipient.add(445, to[0], name);
  recipient.add(530, to[1], name);
  recipient.add(615, to[2], name);
  recipient.add(700, to[3], name);
  recipient.add(850, to[4], Font{"Arial", -40, 700});
  recipient.draw(canvas, context);
  printing::DrawPreviewPrompt(canvas);
  return {};
}

}  // namespace letters
