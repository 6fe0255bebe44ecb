#include "printing/letterhead.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "printing/font_description.h"
#include "platform/cp1252.h"
#include "printing/bmp_reader.h"
#include "printing/text_wrap.h"
#include "store/text_field.h"

namespace printing {

namespace {

template <std::size_t N>
std::string Utf8(const char (&field)[N]) {
  return platform::Cp1252ToUtf8(store::GetText(field));
}

// A footer column, filled from its lowest line upward.
class FooterColumn {
 public:
  void add(std::string text) { lines_.push_back(std::move(text)); }
  void addIfFilled(const std::string& label, const std::string& value) {
    if (!value.empty()) add(label + value);
  }
  int lines() const { return static_cast<int>(lines_.size()); }
  // Each line is cut where the next column begins (`right`).
  void draw(Canvas& canvas, int x, int right, int pageHeight, const Font& font,
            const Font& heading, const std::string& title) const {
    int y = pageHeight - 40;
    canvas.selectFont(font);
    for (const std::string& line : lines_) {
      canvas.textOut(x, y, FitText(canvas, line, right - x));
      y -= 35;
    }
    canvas.selectFont(heading);
    canvas.textOut(x, y, title);
  }

 private:
  std::vector<std::string> lines_;
};

struct FooterColumns {
  FooterColumn address, phone, banks;
  int namedBanks = 0;
};

FooterColumns MakeFooter(const store::ParameterRecord& p) {
  FooterColumns footer;
  FooterColumn& address = footer.address;
  address.add(Utf8(p.town));
  address.add(Utf8(p.street));
  if (!store::GetText(p.companyName3).empty()) address.add(Utf8(p.companyName3));
  if (!store::GetText(p.companyName2).empty()) address.add(Utf8(p.companyName2));
  address.add(Utf8(p.companyName1));

  FooterColumn& phone = footer.phone;
  phone.addIfFilled("UmsStId: ", Utf8(p.vatId));
  phone.addIfFilled("Fax: ", Utf8(p.fax));
  phone.addIfFilled("Mobil: ", Utf8(p.mobile));
  phone.addIfFilled("Tel.: ", Utf8(p.phone));
  phone.addIfFilled("eMail: ", Utf8(p.email));

  FooterColumn& banks = footer.banks;
  int& named = footer.namedBanks;
  if (!store::GetText(p.bank3Name).empty()) {
    banks.add("Kontonummer: " + Utf8(p.bank3Account));
    banks.add("Bankleitzahl: " + Utf8(p.bank3SortCode));
    banks.add(Utf8(p.bank3Name));
    ++named;
  }
  if (!store::GetText(p.bank2Name).empty()) {
    banks.add("Kontonummer: " + Utf8(p.bank2Account));
    banks.add("Bankleitzahl: " + Utf8(p.bank2SortCode));
    banks.add(Utf8(p.bank2Name));
    ++named;
  }
  if (!store::GetText(p.bank1Name).empty()) {
    banks.add("IBAN: " + Utf8(p.bank1Iban));
    banks.add(Utf8(p.bank1Name));
    ++named;
  }
  return footer;
}

void Footer(Canvas& canvas, const store::ParameterRecord& p, int logicalWidth, int pageHeight) {
  const Font font{"Arial", -30};
  const Font heading{"Arial", -30, 700};
  const FooterColumns footer = MakeFooter(p);
  // The bank column starts at 148 mm, so that an IBAN with its blanks ends
  // inside the sheet; each line is cut where the next column begins, the
  // last at the page's edge.
  footer.address.draw(canvas, 150, 850, pageHeight, font, heading, "Anschrift:");
  footer.phone.draw(canvas, 870, 1460, pageHeight, font, heading, "Telefon / Fax:");
  // Two or more connections under one heading read in the plural, whichever
  // two of the three slots they are in.
  footer.banks.draw(canvas, 1480, std::min(2050, logicalWidth), pageHeight, font, heading,
                    footer.namedBanks >= 2 ? "Bankverbindungen:" : "Bankverbindung:");
}

}  // namespace

int FooterTop(const store::ParameterRecord& p, int pageHeight) {
  if (!p.printFooter) return pageHeight;
  const FooterColumns footer = MakeFooter(p);
  const int lines = std::max({footer.address.lines(), footer.phone.lines(), footer.banks.lines()});
  // Each column's heading stands one line above its highest line.
  return pageHeight - 40 - 35 * lines;
}

Font LetterheadFont(std::string_view slot, const Font& builtIn) {
  std::optional<frame::FontDescription> description = frame::DecodeFont(slot);
  if (!description) return builtIn;
  Font font;
  font.face = description->family;
  // Points to tenths of a millimetre, as a character height.
  font.height = -((description->points * 254 + 36) / 72);
  font.weight = description->weight;
  font.italic = description->italic;
  return font;
}

Font DefaultLetterheadName1Font() { return Font{"Times New Roman Fett", -80, 700}; }
Font DefaultLetterheadNamesFont() { return Font{"Arial", -35}; }

void Letterhead(Canvas& canvas, RenderContext& context, int logicalWidth, int pageHeight,
                bool continuation) {
  const store::ParameterRecord& p = context.app.parameters;
  FontScope restore(canvas);
  TextAlign align = canvas.textAlign();
  canvas.setTextAlign(TextAlign::Left);

  if (p.printLetterhead && !continuation) {
    const Font name1Font = LetterheadFont(store::GetText(p.fontLine1), DefaultLetterheadName1Font());
    const Font namesFont =
        LetterheadFont(store::GetText(p.fontLines2to4), DefaultLetterheadNamesFont());
    const std::string name1 = Utf8(p.letterheadLine1);
    const std::string name2 = Utf8(p.letterheadLine2);

    canvas.selectFont(name1Font);
    canvas.textOut(150, 100, name1);
    const int h1 = canvas.textExtent(name1).cy;
    canvas.selectFont(namesFont);
    const Extent e2 = canvas.textExtent(name2);
    const int w2 = e2.cx;
    const int h2 = e2.cy;

    const int barLeft = 150 + w2;
    const int barTop = 100 + static_cast<int>(0.9 * (h1 + h2));
    int barRight = 1900;
    const int barBottom = 100 + static_cast<int>(0.95 * (h1 + h2));

    if (std::optional<Bitmap> logo = LoadLogoBitmap(context, std::string(store::GetText(p.logoFile)))) {
      const int w = 10 * p.logoWidth;
      if (w > 0) {
        const int h = static_cast<int>(static_cast<long long>(w) * logo->height / logo->width);
        const int x = logicalWidth - 10 * p.logoPosHorizontal - w;
        const int y = 10 * p.logoPosVertical;
        canvas.drawBitmap(*logo, x, y, w, h);
        // A logo up in the head cuts the bar short, 1 mm before it.
        if (y < 195 && barRight > x - 10) barRight = x - 10;
      }
    }
    if (p.printBar && barRight > barLeft)
      canvas.fillRect(barLeft, barTop, barRight, barBottom, kGrey);

    canvas.textOut(150, 100 + h1, name2);
    canvas.textOut(150, 100 + h1 + h2, Utf8(p.letterheadLine3));
    canvas.textOut(150, 100 + h1 + 2 * h2, Utf8(p.letterheadLine4));
  }

  if (p.printFooter) Footer(canvas, p, logicalWidth, pageHeight);
  canvas.setTextAlign(align);
}

std::string_view SalutationText(const store::AddressRecord& address) {
  switch (address.salutation & store::kSalutationMask) {
    case store::kSalutationCompany: return "Firma";
    case store::kSalutationMr: return "Herrn";
    case store::kSalutationMrs: return "Frau";
    case store::kSalutationAn: return "An";
    default: return {};
  }
}

void RecipientBlock(Canvas& canvas, RenderContext& context, int logicalWidth, int pageHeight,
                    const store::AddressRecord& address) {
  (void)logicalWidth;
  (void)pageHeight;
  const store::ParameterRecord& p = context.app.parameters;
  FontScope restore(canvas);
  TextAlign align = canvas.textAlign();
  canvas.setTextAlign(TextAlign::Left);

  if (p.addressWindow) {
    canvas.selectFont(Font{"Arial", 30, 400, false, true});
    canvas.textOut(200, 480,
                   Utf8(p.companyName1) + ", " + Utf8(p.street) + ", " + Utf8(p.town));
  }

  canvas.moveTo(-100, 1030);
  canvas.lineTo(30, 1030);
  canvas.moveTo(-100, 1460);
  canvas.lineTo(30, 1460);

  canvas.selectFont(Font{"Arial", -35});
  int y = 520;
  std::string_view salutation = SalutationText(address);
  if (!salutation.empty()) {
    canvas.textOut(200, 520, salutation);
    y = 565;
  }

  const bool delivery = context.session.job == 2 && !store::GetText(address.deliveryLine2).empty();
  std::string lines[5];
  if (delivery) {
    lines[0] = Utf8(address.deliveryLine1);
    lines[1] = Utf8(address.deliveryLine2);
    lines[2] = Utf8(address.deliveryLine3);
    lines[3] = Utf8(address.deliveryLine4);
    lines[4] = Utf8(address.deliveryLine5);
  } else {
    lines[0] = Utf8(address.name1);
    lines[1] = Utf8(address.name2);
    lines[2] = Utf8(address.name3);
    lines[3] = Utf8(address.street);
    lines[4] = Utf8(address.town);
  }
  // An empty name line leaves no gap. The test is on the line that is
  // printed: a delivery address keeps all its lines even where the invoice
  // address has fewer.
  for (int i = 0; i < 3; ++i) {
    if (lines[i].empty()) continue;
    canvas.textOut(200, y, lines[i]);
    y += 45;
  }
  canvas.textOut(200, y, lines[3]);
  y += 70;
  canvas.selectFont(Font{"Arial", -35, 900});
  canvas.textOut(200, y, lines[4]);
  canvas.setTextAlign(align);
}

}  // namespace printing
