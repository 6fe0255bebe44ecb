#include "receive/received_invoice_renderer.h"

#include <algorithm>
#include <map>

#include "core/decimal.h"
#include "core/figures.h"
#include "printing/text_wrap.h"
#include "receive/inbox.h"
#include "receive/invoice_checks.h"

namespace receive {

namespace {

using printing::Canvas;
using printing::Font;
using printing::TextAlign;

constexpr int kLeft = 150, kRight = 1950, kTop = 120, kBottom = 2850;
constexpr int kMiddle = 1080;  // where the recipient block and the second column begin
constexpr int kStep = 40;      // one line of the body font
constexpr int kSmallStep = 34;
const Font kBody{"Arial", -30};
const Font kSmall{"Arial", -26};
const Font kBold{"Arial", -30, 700};
const Font kHeading{"Arial", -34, 700};
const Font kTitle{"Arial", -52, 700};
constexpr printing::Colour kFindingColour{190, 0, 0};

// The line table's columns: position, text, quantity, unit, price, VAT, amount.
constexpr int kPosX = kLeft, kTextX = 250, kTextRight = 1080, kQuantityRight = 1250, kUnitX = 1270,
              kPriceRight = 1560, kRateRight = 1720, kAmountRight = kRight;

int Decimals(const Amount& amount) {
  const std::size_t point = amount.text.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(amount.text.size() - point - 1);
}

// An amount with the places its text has, at least two.
std::string Money(frame::FigureStyle style, const Amount& amount) {
  return frame::Amount(style, amount.value, std::clamp(Decimals(amount), 2, 6));
}

// Writes down the page and starts a new one where the next piece does not fit.
class Sheet {
 public:
  Sheet(Canvas& canvas, const printing::PageGeometry& geometry, printing::RenderContext& context,
        std::string running)
      : canvas_(canvas), geometry_(geometry), context_(context), running_(std::move(running)) {}

  Canvas& canvas() { return canvas_; }
  int y = kTop;
  int page() const { return page_; }
  bool stopped() const { return stopped_; }
  bool morePages() const { return morePages_; }

  // Room for `height` below y; false once the document stops here.
  bool room(int height) {
    if (stopped_) return false;
    if (y + height <= kBottom) return true;
    if (!printing::NextPage(canvas_, geometry_, context_, page_ + 1, true)) {
      stopped_ = true;
      morePages_ = page_ + 1 > context_.session.view.targetPage;
      return false;
    }
    ++page_;
    y = kTop;
    text(kLeft, running_ + frame::Format(" – Seite %d", page_), kSmall);
    y += kSmallStep + 20;
    return true;
  }

  void text(int x, const std::string& utf8, const Font& font, TextAlign align = TextAlign::Left,
            printing::Colour colour = printing::kBlack) {
    canvas_.selectFont(font);
    canvas_.setTextAlign(align);
    canvas_.setTextColour(colour);
    canvas_.textOut(x, y, utf8);
    canvas_.setTextColour(printing::kBlack);
    canvas_.setTextAlign(TextAlign::Left);
  }

  // A paragraph wrapped into the column from x to right, each line paged.
  void paragraph(int x, int right, const std::string& utf8, const Font& font, int step,
                 printing::Colour colour = printing::kBlack) {
    canvas_.selectFont(font);
    std::string rest = utf8;
    std::size_t start = 0;
    while (start <= rest.size()) {
      const std::size_t end = rest.find('\n', start);
      const std::string piece =
          rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
      canvas_.selectFont(font);
      for (const std::string& line : printing::WrapText(canvas_, piece, right - x)) {
        if (!room(step)) return;
        text(x, line, font, TextAlign::Left, colour);
        y += step;
      }
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }

  void rule(int x1, int x2) {
    canvas_.setPen(printing::kBlack);
    canvas_.moveTo(x1, y);
    canvas_.lineTo(x2, y);
  }

 private:
  Canvas& canvas_;
  const printing::PageGeometry& geometry_;
  printing::RenderContext& context_;
  std::string running_;
  int page_ = 1;
  bool stopped_ = false;
  bool morePages_ = false;
};

std::vector<std::string> PartyLines(const Party& p) {
  std::vector<std::string> lines;
  auto add = [&](const std::string& text) {
    if (!text.empty()) lines.push_back(text);
  };
  add(p.name);
  add(p.street);
  add(p.additionalStreet);
  add((p.postcode + " " + p.city).find_first_not_of(' ') == std::string::npos
          ? ""
          : p.postcode + " " + p.city);
  add(p.country.empty() || p.country == "DE" ? "" : p.country);
  if (!p.vatId.empty()) add("USt-IdNr.: " + p.vatId);
  if (!p.taxNumber.empty()) add("Steuernummer: " + p.taxNumber);
  std::string contact = p.contactName;
  for (const std::string* part : {&p.contactPhone, &p.contactEmail})
    if (!part->empty()) contact += (contact.empty() ? "" : ", ") + *part;
  if (!contact.empty()) add("Kontakt: " + contact);
  if (!p.electronicAddress.empty()) add("Elektronische Adresse: " + p.electronicAddress);
  return lines;
}

void Parties(Sheet& sheet, const ReceivedInvoice& invoice) {
  const std::vector<std::string> seller = PartyLines(invoice.seller),
                                 buyer = PartyLines(invoice.buyer);
  if (!sheet.room(kStep * static_cast<int>(std::max(seller.size(), buyer.size()) + 1))) return;
  sheet.text(kLeft, "Lieferant", kBold);
  sheet.text(kMiddle, "Rechnungsempfänger", kBold);
  const int top = sheet.y + kStep;
  for (std::size_t i = 0; i < std::max(seller.size(), buyer.size()); ++i) {
    sheet.y = top + static_cast<int>(i) * kStep;
    Canvas& c = sheet.canvas();
    c.selectFont(kBody);
    if (i < seller.size())
      sheet.text(kLeft, printing::FitText(c, seller[i], kMiddle - kLeft - 40), kBody);
    if (i < buyer.size())
      sheet.text(kMiddle, printing::FitText(c, buyer[i], kRight - kMiddle), kBody);
  }
  sheet.y = top + static_cast<int>(std::max(seller.size(), buyer.size())) * kStep + kStep / 2;
}

void Facts(Sheet& sheet, const ReceivedInvoice& invoice, const ShownInvoice& shown) {
  std::vector<std::pair<std::string, std::string>> facts = {{"Rechnungsnummer", invoice.number},
                                                            {"Rechnungsdatum", invoice.issueDate}};
  if (!invoice.deliveryDate.empty()) facts.push_back({"Leistungsdatum", invoice.deliveryDate});
  if (!invoice.periodStart.empty() || !invoice.periodEnd.empty())
    facts.push_back({"Leistungszeitraum", invoice.periodStart + " bis " + invoice.periodEnd});
  if (!invoice.dueDate.empty()) facts.push_back({"Fällig am", invoice.dueDate});
  if (!invoice.buyerReference.empty())
    facts.push_back({"Käuferreferenz / Leitweg-ID", invoice.buyerReference});
  if (!invoice.orderReference.empty()) facts.push_back({"Bestellung", invoice.orderReference});
  if (!invoice.precedingNumber.empty())
    facts.push_back({"Bezug auf Rechnung",
                     invoice.precedingNumber +
                         (invoice.precedingDate.empty() ? "" : " vom " + invoice.precedingDate)});
  facts.push_back({"Währung", invoice.currency});
  if (!shown.state.empty()) facts.push_back({"Stand", shown.state});
  for (std::size_t i = 0; i < facts.size(); i += 2) {
    if (!sheet.room(kStep)) return;
    for (std::size_t k = i; k < std::min(i + 2, facts.size()); ++k) {
      const int x = k == i ? kLeft : kMiddle;
      sheet.text(x, facts[k].first + ":", kBody);
      Canvas& c = sheet.canvas();
      c.selectFont(kBold);
      sheet.text(x + 420,
                 printing::FitText(c, facts[k].second, (k == i ? kMiddle - 40 : kRight) - x - 420),
                 kBold);
    }
    sheet.y += kStep;
  }
  sheet.y += kStep / 2;
}

void FindingsBlock(Sheet& sheet, const std::vector<std::string>& findings) {
  if (!sheet.room(kStep * 2)) return;
  if (findings.empty()) {
    sheet.text(kLeft, "Prüfung: Die Beträge stimmen; es gibt keine Feststellungen.", kBold);
    sheet.y += kStep + kStep / 2;
    return;
  }
  sheet.text(kLeft,
             frame::Format("Prüfung: %zu Feststellung%s", findings.size(),
                           findings.size() == 1 ? "" : "en"),
             kBold, TextAlign::Left, kFindingColour);
  sheet.y += kStep;
  for (const std::string& finding : findings)
    sheet.paragraph(kLeft + 30, kRight, "• " + finding, kSmall, kSmallStep, kFindingColour);
  sheet.y += kStep / 2;
}

void LineHeads(Sheet& sheet) {
  sheet.text(kPosX, "Pos.", kBold);
  sheet.text(kTextX, "Bezeichnung", kBold);
  sheet.text(kQuantityRight, "Menge", kBold, TextAlign::Right);
  sheet.text(kUnitX, "Einheit", kBold);
  sheet.text(kPriceRight, "Einzelpreis", kBold, TextAlign::Right);
  sheet.text(kRateRight, "USt", kBold, TextAlign::Right);
  sheet.text(kAmountRight, "Betrag", kBold, TextAlign::Right);
  sheet.y += kStep;
  sheet.rule(kLeft, kRight);
  sheet.y += 10;
}

void Lines(Sheet& sheet, const ReceivedInvoice& invoice,
           const std::map<std::string, std::vector<std::string>>& byTerm,
           frame::FigureStyle style) {
  if (invoice.lines.empty()) return;
  if (!sheet.room(kStep * 3)) return;
  LineHeads(sheet);
  const bool german = style == frame::FigureStyle::German;
  int index = 0;
  for (const Line& line : invoice.lines) {
    ++index;
    Canvas& c = sheet.canvas();
    c.selectFont(kBody);
    const std::vector<std::string> name = printing::WrapText(c, line.name, kTextRight - kTextX);
    if (!sheet.room(kStep * static_cast<int>(name.size()))) return;
    const std::string term = "Position " + (line.id.empty() ? std::to_string(index) : line.id);
    const auto found = byTerm.find(term);
    const printing::Colour colour = found == byTerm.end() ? printing::kBlack : kFindingColour;
    c.selectFont(kBody);
    sheet.text(kPosX, printing::FitText(c, line.id, kTextX - kPosX - 10), kBody);
    if (line.quantity.present())
      sheet.text(kQuantityRight, frame::Quantity(style, line.quantity.value), kBody,
                 TextAlign::Right);
    c.selectFont(kBody);
    sheet.text(kUnitX, printing::FitText(c, UnitName(line.unit), kPriceRight - 200 - kUnitX),
               kBody);
    if (line.netPrice.present()) {
      std::string price = Money(style, line.netPrice);
      if (line.baseQuantity.present() && line.baseQuantity.value != 1)
        price += " / " + frame::Quantity(style, line.baseQuantity.value);
      sheet.text(kPriceRight, price, kBody, TextAlign::Right);
    }
    sheet.text(kRateRight, CategoryName(line.category, line.rate, german), kSmall,
               TextAlign::Right);
    sheet.text(kAmountRight, Money(style, line.netAmount), kBody, TextAlign::Right, colour);
    for (const std::string& piece : name) {
      if (!sheet.room(kStep)) return;
      sheet.text(kTextX, piece, kBody);
      sheet.y += kStep;
    }
    if (line.grossPrice.present() && line.grossPrice.value != line.netPrice.value)
      sheet.paragraph(kTextX, kTextRight, "Bruttopreis " + Money(style, line.grossPrice), kSmall,
                      kSmallStep);
    for (const Adjustment& a : line.adjustments)
      sheet.paragraph(kTextX, kTextRight,
                      std::string(a.charge ? "Zuschlag " : "Abschlag ") + Money(style, a.amount) +
                          (a.reason.empty() ? "" : " (" + a.reason + ")"),
                      kSmall, kSmallStep);
    if (!line.description.empty())
      sheet.paragraph(kTextX, kTextRight, line.description, kSmall, kSmallStep);
    if (!line.note.empty()) sheet.paragraph(kTextX, kTextRight, line.note, kSmall, kSmallStep);
    if (found != byTerm.end())
      for (const std::string& text : found->second)
        sheet.paragraph(kTextX, kRight, text, kSmall, kSmallStep, kFindingColour);
    sheet.y += 8;
  }
  if (!sheet.room(kStep)) return;
  sheet.rule(kLeft, kRight);
  sheet.y += 15;
}

// A row of the totals: label on the left of the block, amount on the right;
// in red with the finding under it when the check found fault with it.
void TotalRow(Sheet& sheet, const std::string& label, const Amount& amount, const std::string& term,
              const std::map<std::string, std::vector<std::string>>& byTerm,
              frame::FigureStyle style, const std::string& currency, bool bold = false) {
  const auto found = byTerm.find(term);
  if (!amount.present() && found == byTerm.end()) return;
  // Allowances, charges, prepayment and rounding of nothing are left out.
  const bool optional =
      term == "BT-107" || term == "BT-108" || term == "BT-113" || term == "BT-114";
  if (optional && found == byTerm.end() && Cents(amount.value) == 0) return;
  if (!sheet.room(kStep)) return;
  const printing::Colour colour = found == byTerm.end() ? printing::kBlack : kFindingColour;
  sheet.text(kMiddle, label, bold ? kBold : kBody, TextAlign::Left, colour);
  sheet.text(kRight, amount.present() ? Money(style, amount) + " " + currency : "fehlt",
             bold ? kBold : kBody, TextAlign::Right, colour);
  sheet.y += kStep;
  if (found != byTerm.end())
    for (const std::string& text : found->second)
      sheet.paragraph(kMiddle, kRight, text, kSmall, kSmallStep, kFindingColour);
}

void TotalsBlock(Sheet& sheet, const ReceivedInvoice& invoice,
                 const std::map<std::string, std::vector<std::string>>& byTerm,
                 frame::FigureStyle style) {
  const bool german = style == frame::FigureStyle::German;
  const std::string& cur = invoice.currency;
  for (const Adjustment& a : invoice.adjustments) {
    if (!sheet.room(kStep)) return;
    sheet.text(kLeft,
               std::string(a.charge ? "Zuschlag" : "Abschlag") +
                   (a.reason.empty() ? "" : ": " + a.reason) + " (" +
                   CategoryName(a.category, a.rate, german) + ")",
               kBody);
    sheet.text(kRight, (a.charge ? "" : "-") + Money(style, a.amount) + " " + cur, kBody,
               TextAlign::Right);
    sheet.y += kStep;
  }
  const Totals& t = invoice.totals;
  TotalRow(sheet, "Summe der Positionen", t.lineNet, "BT-106", byTerm, style, cur);
  TotalRow(sheet, "Abschläge", t.allowances, "BT-107", byTerm, style, cur);
  TotalRow(sheet, "Zuschläge", t.charges, "BT-108", byTerm, style, cur);
  TotalRow(sheet, "Summe ohne Umsatzsteuer", t.taxBasis, "BT-109", byTerm, style, cur, true);
  for (const TaxBreakdown& row : invoice.breakdown) {
    if (!sheet.room(kStep)) return;
    std::string label = "Umsatzsteuer " + CategoryName(row.category, row.rate, german) + " auf " +
                        Money(style, row.basis);
    sheet.text(kMiddle, label, kBody);
    sheet.text(kRight, Money(style, row.tax) + " " + cur, kBody, TextAlign::Right);
    sheet.y += kStep;
    if (!row.exemptionReason.empty())
      sheet.paragraph(kMiddle + 30, kRight, row.exemptionReason, kSmall, kSmallStep);
  }
  for (const char* term : {"BT-116", "BT-117", "BG-23"}) {
    const auto found = byTerm.find(term);
    if (found != byTerm.end())
      for (const std::string& text : found->second)
        sheet.paragraph(kMiddle, kRight, text, kSmall, kSmallStep, kFindingColour);
  }
  TotalRow(sheet, "Summe Umsatzsteuer", t.tax, "BT-110", byTerm, style, cur);
  TotalRow(sheet, invoice.creditNote() ? "Gutschriftsbetrag" : "Gesamtbetrag", t.total, "BT-112",
           byTerm, style, cur, true);
  TotalRow(sheet, "Bereits gezahlt", t.prepaid, "BT-113", byTerm, style, cur);
  TotalRow(sheet, "Rundung", t.rounding, "BT-114", byTerm, style, cur);
  if (!sheet.room(kStep / 2)) return;
  sheet.rule(kMiddle, kRight);
  sheet.y += 10;
  TotalRow(sheet, invoice.creditNote() ? "Gutgeschrieben" : "Zu zahlen", t.due, "BT-115", byTerm,
           style, cur, true);
  sheet.y += kStep / 2;
}

std::string MeansName(const std::string& code) {
  if (code == "58") return "SEPA-Überweisung";
  if (code == "59") return "SEPA-Lastschrift";
  if (code == "30" || code == "42") return "Überweisung";
  if (code == "48" || code == "54" || code == "55") return "Kartenzahlung";
  if (code == "10") return "Bar";
  if (code == "57") return "Dauerauftrag";
  if (code == "1" || code == "ZZZ") return "Zahlungsart nach Vereinbarung";
  return "Zahlungsart " + code;
}

void Payment(Sheet& sheet, const ReceivedInvoice& invoice) {
  if (invoice.payments.empty() && invoice.paymentTerms.empty() && invoice.dueDate.empty()) return;
  if (!sheet.room(kStep * 2)) return;
  sheet.text(kLeft, "Zahlung", kHeading);
  sheet.y += kStep + 5;
  for (const PaymentMeans& means : invoice.payments) {
    std::string text = MeansName(means.code);
    if (!means.information.empty() && means.information != text)
      text += " (" + means.information + ")";
    if (!means.iban.empty())
      text += (means.code == "59" ? ", abgebucht von IBAN " : ", IBAN ") + means.iban;
    if (!means.bic.empty()) text += ", BIC " + means.bic;
    if (!means.accountName.empty()) text += ", Kontoinhaber " + means.accountName;
    sheet.paragraph(kLeft, kRight, text, kBody, kStep);
    if (!means.remittance.empty())
      sheet.paragraph(kLeft, kRight, "Verwendungszweck: " + means.remittance, kBody, kStep);
  }
  if (!invoice.payeeName.empty())
    sheet.paragraph(kLeft, kRight, "Zahlungsempfänger: " + invoice.payeeName, kBody, kStep);
  if (!invoice.dueDate.empty())
    sheet.paragraph(kLeft, kRight, "Fällig am " + invoice.dueDate, kBold, kStep);
  if (!invoice.paymentTerms.empty())
    sheet.paragraph(kLeft, kRight, invoice.paymentTerms, kBody, kStep);
  sheet.y += kStep / 2;
}

void Texts(Sheet& sheet, const std::string& heading, const std::vector<std::string>& texts) {
  if (texts.empty() || !sheet.room(kStep * 2)) return;
  sheet.text(kLeft, heading, kHeading);
  sheet.y += kStep + 5;
  for (const std::string& text : texts) {
    sheet.paragraph(kLeft, kRight, text, kBody, kStep);
    sheet.y += 6;
  }
  sheet.y += kStep / 2;
}

}  // namespace

std::string UnitName(const std::string& code) {
  static const std::map<std::string, std::string> kUnits = {
      {"C62", "Stk"},     {"H87", "Stk"},  {"XPP", "Stk"},   {"EA", "Stk"},     {"HUR", "Std"},
      {"MIN", "min"},     {"DAY", "Tag"},  {"WEE", "Woche"}, {"MON", "Monat"},  {"ANN", "Jahr"},
      {"KGM", "kg"},      {"GRM", "g"},    {"TNE", "t"},     {"MTR", "m"},      {"KMT", "km"},
      {"CMT", "cm"},      {"MTK", "m²"},   {"MTQ", "m³"},    {"LTR", "l"},      {"LS", "pauschal"},
      {"SET", "Satz"},    {"P1", "%"},     {"KWH", "kWh"},   {"XBX", "Karton"}, {"PR", "Paar"},
      {"XPK", "Packung"}, {"XRO", "Rolle"}};
  const auto found = kUnits.find(code);
  return found == kUnits.end() ? code : found->second;
}

std::string CategoryName(const std::string& category, const Amount& rate, bool german) {
  const frame::FigureStyle style = german ? frame::FigureStyle::German : frame::FigureStyle::Point;
  if (category == "S" || (category.empty() && rate.present()))
    return frame::Percent(style, rate.value);
  if (category == "Z") return frame::Percent(style, 0);
  if (category == "E") return "steuerfrei";
  if (category == "AE") return "Reverse-Charge";
  if (category == "K") return "innergem.";
  if (category == "G") return "Ausfuhr";
  if (category == "O") return "nicht steuerbar";
  if (category == "L" || category == "M") return category + " " + frame::Percent(style, rate.value);
  return category;
}

bool ShowKept(frame::AppState& app, int id, ShownInvoice& shown, std::string& problem) {
  InboxList list;
  if (!ReadInbox(app, list, &problem)) return false;
  const InboxEntry* entry = list.find(id);
  if (!entry) {
    problem = frame::Format("Es gibt keine Eingangsrechnung %d.", id);
    return false;
  }
  shown = {};
  shown.opened = OpenKept(app, *entry);
  if (!shown.opened.ok) {
    problem = shown.opened.message;
    return false;
  }
  shown.findings = entry->findings;
  shown.source = entry->originalName;
  shown.state = entry->paidOn.empty() ? "offen" : "bezahlt am " + entry->paidOn;
  return true;
}

printing::RenderOutcome ReceivedInvoiceRenderer::render(Canvas& canvas,
                                                        const printing::PageGeometry& geometry,
                                                        printing::RenderContext& context) {
  printing::ApplyMapping(canvas, geometry);
  canvas.setBrush(std::nullopt);
  printing::FontScope restore(canvas);
  if (!shown_) {
    ShownInvoice shown;
    std::string problem;
    if (!ShowKept(context.app, context.session.inputs.incomingId, shown, problem)) {
      canvas.selectFont(kBody);
      canvas.textOut(kLeft, kTop + 100, problem);
      printing::DrawPreviewPrompt(canvas);
      return {};
    }
    shown_ = std::move(shown);
  }
  const ReceivedInvoice& invoice = shown_->opened.invoice;
  const frame::FigureStyle style = context.app.figures;
  // The checks' findings by the figure they are about, to stand beside it.
  std::map<std::string, std::vector<std::string>> byTerm;
  for (const Finding& f : CheckFigures(invoice)) byTerm[f.term].push_back(f.text);

  const std::string kind = TypeName(invoice.typeCode);
  Sheet sheet(canvas, geometry, context,
              kind + " " + invoice.number + " von " + invoice.seller.name);
  sheet.text(kLeft, "Eingangsrechnung: " + kind + " Nr. " + invoice.number, kTitle);
  sheet.y += 75;
  std::string origin =
      shown_->opened.container == Container::Pdf
          ? "ZUGFeRD/Factur-X-PDF mit " + shown_->opened.attachmentName
          : std::string(invoice.syntax == Syntax::Cii ? "E-Rechnung (CII)" : "E-Rechnung (UBL)");
  if (!shown_->source.empty()) origin += ", Datei „" + shown_->source + "“";
  if (!invoice.specification.empty()) origin += ", " + invoice.specification;
  sheet.paragraph(kLeft, kRight, origin, kSmall, kSmallStep, printing::kGrey);
  sheet.y += kStep / 2;
  Parties(sheet, invoice);
  Facts(sheet, invoice, *shown_);
  FindingsBlock(sheet, shown_->findings);
  Lines(sheet, invoice, byTerm, style);
  TotalsBlock(sheet, invoice, byTerm, style);
  Payment(sheet, invoice);
  Texts(sheet, "Bemerkungen", invoice.notes);
  std::vector<std::string> attached;
  for (std::size_t i = 0; i < invoice.attachments.size(); ++i) {
    const Attachment& a = invoice.attachments[i];
    std::string text = AttachmentFileName(a, i);
    if (!a.description.empty()) text += " – " + a.description;
    if (a.content.empty() && !a.uri.empty())
      text += " (Verweis: " + a.uri + ")";
    else if (!a.content.empty())
      text += frame::Format(" (%zu Bytes)", a.content.size());
    attached.push_back(text);
  }
  Texts(sheet, "Angehängte Dokumente", attached);
  if (!sheet.stopped()) printing::DrawPreviewPrompt(canvas);
  return {sheet.page(), sheet.morePages()};
}

}  // namespace receive
