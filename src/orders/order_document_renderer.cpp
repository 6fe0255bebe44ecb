#include "orders/order_document_renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "orders/collective_invoice.h"
#include "orders/document_figures.h"
#include "orders/girocode.h"
#include "store/quotation_validity.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "store/einvoice_settings.h"
#include "platform/cp1252.h"
#include "printing/letterhead.h"
#include "printing/text_wrap.h"
#include "store/address_record.h"
#include "store/text_field.h"
#include "store/value_check.h"

namespace printing {

namespace {

template <std::size_t N>
std::string Utf8(const char (&field)[N]) {
  return platform::Cp1252ToUtf8(store::GetText(field));
}

// The fonts of the documents. The body font of our layouts is a slightly
// condensed Arial (1.4 mm average width); the canvas has no width of its
// own, so it is drawn at Arial's natural width.
// Condensed: 1.4 mm average character width at 3.5 mm character height.
Font BodyFont() { return Font{"Arial", -35, 400, false, false, -14}; }
Font BoldFont() { return Font{"Arial", -35, 900}; }
Font TitleFont() { return Font{"Times New Roman Fett", -80}; }
Font ContinuationBodyFont() { return Font{"Arial", -35}; }
Font ContinuationName1Font() { return Font{"Arial", -100, 700, true}; }
Font ContinuationNamesFont() { return Font{"Arial", -40, 600}; }

// Columns (right ends unless left-aligned).
constexpr int kLeft = 150;
constexpr int kRight = 1900;
constexpr int kArticleX = 350;
constexpr int kDescriptionX = 500;
constexpr int kInfoX = 1000;
constexpr int kUnitPriceX = 1650;
constexpr int kDiscountX = 1480;
// The description column ends this far left of the tax column's right end,
// where the widest rate ("19.0%") begins.
constexpr int kDescriptionGap = 150;
// Ten digits of the body font and 2 mm: a delivery-note number and the room
// before it.
constexpr int kDeliveryNoteWidth = 160;
// The room between the title and the number beside it.
constexpr int kTitleGap = 50;
// An article number wider than this pushes the rest of its row one line down.
constexpr int kArticleNumberWidth = 145;
// A row of one line and its gap.
constexpr int kPlainRowHeight = 50;

std::string CurrencyName(const store::ParameterRecord& p, int index) {
  switch (index) {
    case 1: return Utf8(p.currencySymbol2);
    case 2: return Utf8(p.currencySymbol3);
    case 3: return Utf8(p.currencySymbol4);
    default: return Utf8(p.currencySymbol1);
  }
}

// At most the first 320 characters: a field filled to its last byte has no
// terminator, and that byte is not part of the text.
std::string_view FooterText(const store::ParameterRecord& p, int job) {
  constexpr std::size_t kMaxFooter = 320;
  switch (job) {
    case kJobQuotation: return store::GetText(p.footerQuotation).substr(0, kMaxFooter);
    case kJobConfirmation:
    case kJobCostEstimate: return store::GetText(p.footerConfirmation).substr(0, kMaxFooter);
    case kJobDeliveryNote: return store::GetText(p.footerDeliveryNote).substr(0, kMaxFooter);
    default: return store::GetText(p.footerInvoice).substr(0, kMaxFooter);
  }
}

// One run of the renderer over the current order.
class OrderDocument {
 public:
  OrderDocument(Canvas& canvas, const PageGeometry& geometry, RenderContext& context)
      : canvas_(canvas),
        geometry_(geometry),
        context_(context),
        issued_(IssuedRecordOf(context)),
        p_(issued_ ? orders::StatedParameters(context.app.parameters, *issued_)
                   : context.app.parameters),
        style_(context.app.figures),
        head_(context.app.order),
        customer_(context.app.address),
        job_(context.session.job) {
    const int count = std::clamp<int>(head_.lineCount, 0,
                                      static_cast<int>(context.app.orderLines.size()) - 1);
    lines_ = std::span<const store::OrderLine>(context.app.orderLines).subspan(1, count);
    for (const store::OrderLine& line : lines_)
      if (line.discount != 0) anyDiscount_ = true;
    fourth_ = p_.fourthCurrencyPrint != 0 && head_.currency == 0;
    // A damaged rate prints the fourth currency as zeros, never as "nan".
    factor_ = std::isfinite(p_.exchangeRates[3]) ? p_.exchangeRates[3] : 0.0;
    hidePrices_ = job_ == kJobDeliveryNote && p_.pricesHidden != 0;
    grossPrices_ = (head_.flags & store::kOrderPricesIncludeTax) != 0;
    // A gross order printed as net. The flag alone on a net order changes
    // nothing: its prices already are the net figures.
    grossAsNet_ = grossPrices_ && (head_.flags & store::kOrderGrossAsNet) != 0;
    rate1_ = orders::FirstTaxRate(p_, head_.currency);
    rate2_ = orders::SecondTaxRate(p_, head_.currency);
    currency_ = CurrencyName(p_, head_.currency);
    fourthCurrency_ = Utf8(p_.currencySymbol4);
    printDate_ = platform::Cp1252ToUtf8(context.session.inputs.printDate);
    if (invoiceLike()) {
      // The amount the invoice states: the one recorded at its issue, else
      // the one its lines give now (an order saved under other tax rates
      // holds an older total). Title, terms and GiroCode go by it.
      if (issued_) {
        head_.total = static_cast<std::int32_t>(issued_->total);
        printDate_ = platform::Cp1252ToUtf8(store::GetText(issued_->invoiceDate));
      } else {
        head_.total = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(orders::ComputeDocumentFigures(head_, lines_, p_, true).final(),
                                     INT32_MIN, INT32_MAX));
      }
    }
    title_ = OrderDocumentTitle(job_, head_, p_);
    // A quotation says how long it binds us, counted from its date.
    if (job_ == kJobQuotation || job_ == kJobCostEstimate)
      validity_ = store::QuotationValidityLine(printDate_,
                                               store::LoadQuotationDays(context.app));
    // An issued invoice printed again is a copy of it; one printed without
    // being issued is a draft whose number is not yet its own.
    if (invoiceLike() && issued_) stateMark_ = "Kopie";
    else if (invoiceLike() && !context.session.inputs.issuing && !orders::IssuedAsInvoice(head_))
      stateMark_ = "Entwurf";
    // What an invoice must state by law, unless switched off (ERECHNUNG.INI).
    std::string refused;
    const einvoice::Settings settings = invoiceLike()
                                            ? einvoice::LoadSettings(context.app.dataDirectory, &refused)
                                            : einvoice::Settings{};
    if (!refused.empty()) context.warn(refused);
    legal_ = invoiceLike() && settings.legalLines;
    if (legal_ && job_ == kJobCollectiveInvoice) deliveries_ = orders::DeliveryPeriodOf(context.app, lines_);
    if (legal_) {
      sellerTaxId_ = Utf8(p_.vatId).empty()
                         ? (settings.taxNumber.empty() ? "" : "Steuernummer: " + settings.taxNumber)
                         : "USt-IdNr.: " + Utf8(p_.vatId);
      exemptionReason_ = einvoice::ExemptionReason(settings);
      serviceDateByOrder_ = settings.serviceDate == einvoice::ServiceDate::OrderDate;
    }
    if (invoiceLike()) giroPayload_ = orders::GiroCodePayload(head_, p_, settings);
    // Where the code finds room follows from what the page holds.
    tracking_ = !giroPayload_.empty();
  }

  RenderOutcome run() {
    PrintOffsetOrigin(p_, originX_, originY_);
    ApplyMapping(canvas_, geometry_, originX_, originY_);
    // The vertical offset shortens the page by as much as it moves it down.
    pageHeight_ = geometry_.logicalHeight + originY_;
    canvas_.setBrush(std::nullopt);
    FontScope restore(canvas_);
    const TextAlign align = canvas_.textAlign();

    warnDamagedValues();
    firstPage();
    const bool complete = rows() && (hidePrices_ || totals()) && closing();
    if (escaped_) {
      canvas_.setTextAlign(align);
      return {page_, false};
    }
    if (complete) context_.session.view.targetPage = page_;
    DrawPreviewPrompt(canvas_);
    canvas_.setTextAlign(align);
    return {page_, stoppedAtTarget_};
  }

 private:
  bool invoiceLike() const { return job_ == kJobInvoice || job_ == kJobCollectiveInvoice; }
  bool offerActive() const {
    return p_.printOffer != 0 && !store::GetText(p_.offerArticleNumber).empty();
  }

  void left(int x, int y, const std::string& text) {
    canvas_.setTextAlign(TextAlign::Left);
    canvas_.textOut(x, y, text);
    if (tracking_) track(x, y, text);
  }
  void right(int x, int y, const std::string& text) {
    canvas_.setTextAlign(TextAlign::Right);
    canvas_.textOut(x, y, text);
    if (tracking_) track(x - canvas_.textExtent(text).cx, y, text);
  }
  void rule(int x1, int x2, int y) {
    canvas_.moveTo(x1, y);
    canvas_.lineTo(x2, y);
    if (tracking_) boxes_.push_back({x1, y - 2, x2, y + 3});
  }

  // "Kein Nachkomma ausdrucken" shortens a figure, never changes it: the
  // decimals go only where they are zero. The totals of an invoice or a
  // credit note keep their cents always.
  int decimals(double cents, bool toTheCent) const {
    return p_.noDecimalsPrint && !toTheCent && std::fmod(cents, 100.0) == 0 ? 0 : 2;
  }
  std::string amount(double cents, const std::string& currency, bool toTheCent = false) const {
    return frame::Money(style_, cents / 100, currency, decimals(cents, toTheCent));
  }
  std::string unitPrice(double cents) const {
    return frame::Amount(style_, cents / 100, decimals(cents, false));
  }

  std::string telFax() const {
    std::string text;
    const std::string phone = Utf8(customer_.phone);
    const std::string fax = Utf8(customer_.fax);
    if (!phone.empty()) text = "Tel:" + phone;
    if (!fax.empty()) {
      if (!text.empty()) text += ", ";
      text += "Fax:" + fax;
    }
    return text;
  }

  // Date, number and page, customer number: the block right of the
  // address on every page, around `y`.
  void pageInfo(int y) {
    if (p_.printPhoneFax) {
      const std::string text = telFax();
      if (!text.empty()) right(kRight, y - 75, text);
    }
    right(kRight, y - 25, "Datum: " + printDate_);
    // A collective invoice that is not issued has no number yet.
    left(kInfoX, y - 25,
         job_ == kJobCollectiveInvoice && head_.orderNumber == 0
             ? frame::Format("Seite %-d", page_)
             : frame::Format("Nr.: %-ld, Seite %-d", static_cast<long>(head_.orderNumber), page_));
    if (!p_.noCustomerNumberPrint) left(kInfoX, y + 25, "Kunden-Nr.: " + Utf8(customer_.customerNumber));
  }

  // What an invoice must state beside the date: the date of the supply or
  // service, and the seller's VAT ID or tax number (also without the footer
  // that names it). Both stand where the page has room: right of the
  // customer number and above the telephone line.
  void legalInfo(int y) {
    if (!legal_) return;
    // A collective invoice bills deliveries of many dates, each on its own
    // delivery note: it states the time from the first to the last.
    if (job_ == kJobCollectiveInvoice && !deliveries_.first.empty()) {
      const std::string& a = deliveries_.first;
      const std::string& b = deliveries_.last;
      right(kRight, y + 25,
            a == b ? "Leistungsdatum: " + platform::Cp1252ToUtf8(a)
                   : "Lieferzeitraum: " +
                         platform::Cp1252ToUtf8(a.substr(6) == b.substr(6) ? a.substr(0, 6) : a) +
                         "–" + platform::Cp1252ToUtf8(b));
    }
    if (job_ == kJobInvoice) {
      std::string service = Utf8(head_.orderDate);
      if (!serviceDateByOrder_ || orders::ParseDate(service).month < 1) service = termsDate();
      right(kRight, y + 25, "Leistungsdatum: " + platform::Cp1252ToUtf8(service));
    }
    if (!sellerTaxId_.empty()) right(kRight, y - 125, sellerTaxId_);
  }

  // The delivery note of a collective invoice's line; left of the tax
  // column when the discount column is needed, the tax column then where
  // the other documents have it.
  int deliveryNoteX() const { return anyDiscount_ ? 1240 : kDiscountX; }

  int taxColumnX() const {
    if (job_ == kJobCollectiveInvoice && !anyDiscount_) return 1250;
    return anyDiscount_ ? 1350 : 1480;
  }
  int descriptionWidth() const {
    // A delivery-note number is nine or ten digits wide; the description
    // keeps 2 mm from it.
    if (job_ == kJobCollectiveInvoice && anyDiscount_)
      return deliveryNoteX() - kDeliveryNoteWidth - kDescriptionX;
    return taxColumnX() - kDescriptionGap - kDescriptionX;
  }

  // Free text in a column from x, one line per 4 mm; after each line the
  // page break without headings. False when the document stops there.
  bool columnText(int x, int width, std::string_view cp1252) {
    for (const std::string& text : WrapText(canvas_, platform::Cp1252ToUtf8(cp1252), width)) {
      left(x, y_, text);
      y_ += 40;
      if (!pageBreak(false)) return false;
    }
    return true;
  }

  // Stored values the arithmetic cannot use are left out or clamped, and
  // the user is told so, once per document.
  void warnDamagedValues() {
    bool usesRate[2] = {false, false};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const store::OrderLine& line = lines_[i];
      usesRate[0] |= line.taxCode == store::kTaxCodeRate1;
      usesRate[1] |= line.taxCode == store::kTaxCodeRate2;
      if (skipped(line)) continue;
      if (!store::QuantityIsSound(line.quantity))
        context_.warn(store::DamagedQuantityText(
            head_.orderNumber, static_cast<int>(i + 1),
            "Die Position wird ohne Menge und Betrag gedruckt und nicht berechnet."));
      else if (!orders::LineComputable(line))
        context_.warn(frame::Format(
            "Auftrag %ld, Position %d: Menge und Preis ergeben einen Betrag außerhalb des "
            "Rechenbereichs. Die Position wird ohne Betrag gedruckt und nicht berechnet.",
            static_cast<long>(head_.orderNumber), static_cast<int>(i + 1)));
    }
    const int stored[2] = {orders::StoredFirstTaxRate(p_, head_.currency),
                           orders::StoredSecondTaxRate(p_, head_.currency)};
    const int used[2] = {rate1_, rate2_};
    for (int c = 0; c < 2; ++c)
      if (usesRate[c] && stored[c] != used[c])
        context_.warn("Der Steuersatz " + frame::TaxRate(style_, stored[c] / 10.0, true) +
                      " der Währung " + currency_ + " ist ungültig; gerechnet wird mit " +
                      frame::TaxRate(style_, used[c] / 10.0, true) + ".");
  }

  void headings(int y) {
    left(kLeft, y, "Anz.");
    if (!p_.hideArticleNumber) left(kArticleX, y, "Art.Num.");
    left(kDescriptionX, y, "Bezeichnung");
    if (job_ == kJobCollectiveInvoice) right(deliveryNoteX(), y, "Lief.-Nr.");
    if (hidePrices_) return;
    // Every column that carries figures is headed, on a collective invoice too.
    if (!p_.noSingleTax) right(taxColumnX(), y, "UmSt");
    if (anyDiscount_) right(kDiscountX, y, "Rabatt");
    right(kUnitPriceX, y, "E.-Preis");
    right(kRight, y, "Ges.-Preis");
  }

  // The title ends at `right`, before the number beside it: a long
  // delivery-note title is set smaller, down to 4 mm, or on two lines of
  // that size. The two long fixed titles stand above the number.
  void title(int y, int right) {
    canvas_.selectFont(TitleFont());
    for (const std::string& line : FitHeading(canvas_, title_, right - kLeft, 40)) {
      left(kLeft, y, line);
      y += 45;
    }
  }

  // Rules, headings, rule; y is the headings' line on entry.
  void headingBlock() {
    rule(kLeft, kRight, y_ - 10);
    headings(y_);
    y_ += 50;
    rule(kLeft, kRight, y_ - 5);
    y_ += 10;
  }

  void firstPage() {
    Letterhead(canvas_, context_, geometry_.logicalWidth, pageHeight_, false);
    RecipientBlock(canvas_, context_, geometry_.logicalWidth, pageHeight_, customer_);
    y_ = 980;
    canvas_.selectFont(BodyFont());
    pageInfo(y_);
    legalInfo(y_);
    if (!title_.empty()) {
      const bool high = job_ == kJobConfirmation || job_ == kJobCostEstimate;
      title(high ? 865 : 945, high ? kRight : kInfoX - kTitleGap);
    }
    // "Kopie" or "Entwurf" stands right above the title, where the higher
    // titles of the other kinds begin.
    if (!stateMark_.empty()) {
      canvas_.selectFont(BodyFont());
      left(kLeft, 895, stateMark_);
    }
    y_ += 100;
    canvas_.selectFont(BodyFont());
    headingBlock();
  }

  // The page break of the documents. Continues without drawing while the
  // next line (and `keepTogether` units below it) stays above the reserve;
  // else the page is closed with the continuation note and the next one
  // opened with its head. False when the document stops here: the preview
  // reached its page, or the printer failed or was cancelled.
  bool pageBreak(bool withHeadings, int keepTogether = 0) {
    int reserve = offerActive() ? 440 : 350;
    if (invoiceLike() && head_.cashDiscount != 0) reserve += 50;
    if (!validity_.empty()) reserve += 50;
    if (y_ + keepTogether <= pageHeight_ - reserve) return true;
    FontScope restore(canvas_);
    canvas_.selectFont(ContinuationBodyFont());
    // The note belongs to the page it ends, also when the preview stops
    // there: the previewed page shows what the printed one has.
    left(kLeft, y_, frame::Format("Die Auflistung wird auf Seite %-d fortgesetzt.", page_ + 1));
    placeGiroCode();
    if (page_ + 1 > context_.session.view.targetPage) {
      stoppedAtTarget_ = true;
      return false;
    }

    if (canvas_.isPreview()) {
      // A clean sheet for the next page: the page and its margin, and the
      // whole visible sheet also when the print offsets moved it further
      // than the margin.
      const int w = geometry_.logicalWidth;
      canvas_.fillRect(std::min(-100, originX_ - 100), std::min(-100, originY_ - 100),
                       std::max(w + 100, originX_ + w + 100), pageHeight_ + 100, kWhite);
    } else {
      if (!canvas_.endPage() || !canvas_.startPage()) return false;
      ApplyMapping(canvas_, geometry_, originX_, originY_);
    }

    int y = 980;
    if (p_.noLetterheadFromPage2 && !p_.printLetterhead) {
      y = 300;
    } else if (p_.printLetterhead) {
      y = continuationLetterhead();
    } else {
      y = continuationAddress();
    }
    Letterhead(canvas_, context_, geometry_.logicalWidth, pageHeight_, true);
    ++page_;
    boxes_.clear();

    canvas_.selectFont(ContinuationBodyFont());
    pageInfo(y);
    if (job_ == kJobQuotation || job_ == kJobDeliveryNote || job_ == kJobInvoice ||
        job_ == kJobCollectiveInvoice) {
      title(y - 25, kInfoX - kTitleGap);
    }
    y_ = y + 100;
    bodyTop_ = y_;
    if (withHeadings) {
      canvas_.selectFont(ContinuationBodyFont());
      headingBlock();
    }
    canvas_.setBrush(std::nullopt);
    return true;
  }

  // The letterhead names of the print settings on a continuation page;
  // gives the y of the page's info block.
  int continuationLetterhead() {
    const std::string name1 = Utf8(p_.letterheadLine1);
    const std::string names[3] = {Utf8(p_.letterheadLine2), Utf8(p_.letterheadLine3),
                                  Utf8(p_.letterheadLine4)};
    canvas_.selectFont(ContinuationName1Font());
    left(kLeft, 100, name1);
    const int barLeft = kLeft + canvas_.textExtent(name1).cx;
    if (barLeft < kRight) canvas_.fillRect(barLeft, 185, kRight, 195, kGrey);
    canvas_.selectFont(ContinuationNamesFont());
    int y = 245;
    for (int i = 0; i < 3; ++i) {
      left(kLeft, 220 + 45 * i, names[i]);
      if (!names[i].empty()) y = 290 + 45 * i;
    }
    // The telephone line stands 7.5 mm above y; it must stay below the bar.
    if (p_.printPhoneFax && y < 290) y = 290;
    return y;
  }

  // The customer's invoice address (also on delivery notes) on a
  // continuation page without letterhead.
  int continuationAddress() {
    canvas_.selectFont(ContinuationBodyFont());
    int y = 370;
    const std::string_view salutation = SalutationText(customer_);
    if (!salutation.empty()) {
      y = 420;
      left(200, y, std::string(salutation));
    }
    y += 50;
    for (const std::string& name :
         {Utf8(customer_.name1), Utf8(customer_.name2), Utf8(customer_.name3)}) {
      if (name.empty()) continue;
      left(200, y, name);
      y += 50;
    }
    left(200, y, Utf8(customer_.street));
    y += 100;
    left(200, y, Utf8(customer_.town));
    return 980;
  }

  std::string taxColumnText(std::int16_t taxCode) const {
    switch (taxCode) {
      case store::kTaxCodeNone: return frame::TaxRate(style_, 0);
      case store::kTaxCodeRate1: return frame::TaxRate(style_, rate1_ / 10.0);
      case store::kTaxCodeRate2: return frame::TaxRate(style_, rate2_ / 10.0);
      default: return {};
    }
  }

  bool skipped(const store::OrderLine& line) const {
    return invoiceLike() && (line.flags & store::kLineBackOrder) != 0;
  }

  bool rows() {
    const int count = static_cast<int>(lines_.size());
    for (int i = 1; i <= count; ++i) {
      if (context_.app.ui && context_.app.ui->progress((i + 1) * 100 / (count + 1))) {
        escaped_ = true;
        return false;
      }
      const store::OrderLine& line = lines_[i - 1];
      if (skipped(line)) continue;
      if (!row(line)) return false;
    }
    return true;
  }

  // What a row takes above its long text (which breaks line by line): the
  // row, the rest of a wide description, the special-price note, the second
  // description, the back-order note of a delivery note, and the
  // fourth-currency amounts when nothing else is under the row; the row's
  // gap included.
  int rowHeadHeight(const store::OrderLine& line) {
    int lines = 1;
    if (!p_.hideArticleNumber && canvas_.textExtent(Utf8(line.articleNumber)).cx > kArticleNumberWidth)
      ++lines;
    int under = static_cast<int>(
        WrapText(canvas_, Utf8(line.description1), descriptionWidth()).size()) - 1;
    if (line.flags & store::kLineSpecialPrice) ++under;
    for (const std::string& text : WrapText(canvas_, Utf8(line.description2), descriptionWidth())) {
      if (text.empty()) break;
      ++under;
    }
    // The back-order note follows the long text; without one it is the
    // row's last line.
    if (job_ == kJobDeliveryNote && (line.flags & store::kLineBackOrder) &&
        store::GetText(line.longText).empty())
      ++under;
    const bool fourthShown = fourth_ && !hidePrices_ && line.quantity != 0 && line.salePrice != 0 &&
                             orders::LineComputable(line);
    if (under == 0 && fourthShown) under = 1;
    return (lines + under) * 40 + 10;
  }

  bool row(const store::OrderLine& line) {
    canvas_.selectFont(BodyFont());
    // A row taller than a plain one goes to the next page when it would run
    // further into the bottom reserve than a plain row can: the
    // continuation note below it must stay clear of the footer.
    const int extra = rowHeadHeight(line) - kPlainRowHeight;
    if (extra > 0) {
      if (!pageBreak(true, extra)) return false;
      canvas_.selectFont(BodyFont());
    }
    if (line.quantity != 0 && store::QuantityIsSound(line.quantity)) {
      const std::string unit = Utf8(line.unit);
      left(kLeft, y_,
           frame::Quantity(style_, line.quantity,
                           line.quantity == std::trunc(line.quantity) ? 0 : 3) +
               ' ' + unit);
    }
    if (!p_.hideArticleNumber) {
      const std::string number = Utf8(line.articleNumber);
      left(kArticleX, y_, number);
      if (canvas_.textExtent(number).cx > kArticleNumberWidth) y_ += 40;
    }
    const std::vector<std::string> description =
        WrapText(canvas_, Utf8(line.description1), descriptionWidth());
    left(kDescriptionX, y_, description.front());

    if (job_ == kJobCollectiveInvoice)
      right(deliveryNoteX(), y_, frame::Format("%ld", static_cast<long>(line.orderNumber)));
    bool fourthShown = false;
    // A line whose amount the program cannot compute prints as text only.
    if (line.quantity != 0 && line.salePrice != 0 && orders::LineComputable(line)) {
      if (!p_.noSingleTax) {
        const std::string tax = taxColumnText(line.taxCode);
        if (!tax.empty()) right(taxColumnX(), y_, tax);
      }
      if (!hidePrices_) {
        if (line.discount != 0) right(kDiscountX, y_, frame::Percent(style_, line.discount / 10.0));
        priceAndAmount(y_, unitPrice(line.salePrice), kRight,
                       amount(orders::LineNet(line), currency_));
        if (fourth_) {
          const std::int64_t net = orders::ConvertedLineParts(line, factor_).net();
          // Both amounts end their figures at the same x.
          const int shift = canvas_.textExtent(currency_).cx - canvas_.textExtent(fourthCurrency_).cx;
          priceAndAmount(y_ + 40, unitPrice(line.salePrice * factor_), kRight - shift,
                         amount(static_cast<double>(net), fourthCurrency_));
          fourthShown = true;
        }
      }
    }

    y_ += 40;
    const int rowEnd = y_;
    // A description wider than its column goes on under the row.
    for (std::size_t i = 1; i < description.size(); ++i) {
      left(kDescriptionX, y_, description[i]);
      y_ += 40;
    }
    if (line.flags & store::kLineSpecialPrice) {
      left(kDescriptionX, y_, "-----Sonderpreis-----");
      y_ += 40;
    }
    for (const std::string& text : WrapText(canvas_, Utf8(line.description2), descriptionWidth())) {
      if (text.empty()) break;
      left(kDescriptionX, y_, text);
      y_ += 40;
    }
    for (std::string_view piece : CarriageReturnPieces(store::GetText(line.longText))) {
      if (piece == "\n") {
        y_ += 40;
        continue;
      }
      if (piece.front() == '\n') piece.remove_prefix(1);
      if (!columnText(kDescriptionX, descriptionWidth(), piece)) return false;
    }
    if (job_ == kJobDeliveryNote && (line.flags & store::kLineBackOrder)) {
      left(kDescriptionX, y_, "------Wird in Kürze nachgeliefert------");
      y_ += 40;
    }
    // Room for the fourth-currency amounts below a row that has nothing else
    // under it.
    if (y_ == rowEnd && fourthShown) y_ += 40;
    y_ += 10;
    return pageBreak(true);
  }

  // The unit price and the amount of a row; an amount wider than its column
  // (a converted one beyond 9.999.999,99) pushes the price left.
  void priceAndAmount(int y, const std::string& price, int amountX, const std::string& total) {
    right(std::min(kUnitPriceX, amountX - canvas_.textExtent(total).cx - kTotalsGap), y, price);
    right(amountX, y, total);
  }

  // A totals line: label, fourth-currency amount, amount. An amount wider
  // than its column (the German "-21.474.836,48 EUR") pushes what stands left
  // of it that much further left; gives where the label ends.
  int totalsLine(const std::string& label, double cents, double fourthCents) {
    const std::string main = amount(cents, currency_, invoiceLike());
    int end = kRight - canvas_.textExtent(main).cx - kTotalsGap;
    std::string fourth;
    int fourthX = kUnitPriceX;
    if (fourth_) {
      fourth = amount(fourthCents, fourthCurrency_, invoiceLike());
      fourthX = std::min(fourthX, end);
      end = fourthX - canvas_.textExtent(fourth).cx - kTotalsGap;
    }
    const int labelX = std::min(fourth_ ? 1300 : 1650, end);
    right(labelX, y_, label);
    if (fourth_) right(fourthX, y_, fourth);
    right(kRight, y_, main);
    return labelX;
  }
  static constexpr int kTotalsGap = 10;

  bool totals() {
    bodyTop_ = y_;
    const orders::DocumentFigures figures =
        orders::ComputeDocumentFigures(head_, lines_, p_, invoiceLike());
    const orders::DocumentFigures fourthFigures =
        fourth_ ? orders::ComputeDocumentFigures(head_, lines_, p_, invoiceLike(), factor_)
                : orders::DocumentFigures{};
    const std::int64_t discount = figures.discount, fourthDiscount = fourthFigures.discount;
    const std::int64_t* sums = figures.sums;
    const std::int64_t* tax = figures.tax;
    const std::int64_t* fourthTax = fourthFigures.tax;

    const int rulesFrom = fourth_ ? 1350 : 1660;
    const bool discountLine =
        (customer_.salutation & store::kAddressPrintDiscountSum) != 0 && anyDiscount_;
    canvas_.selectFont(BodyFont());

    y_ += 30;
    exemptionNote(y_);
    double net = static_cast<double>(figures.sumLine());
    double fourthNet = static_cast<double>(fourthFigures.sumLine());
    if (discountLine) {
      net += static_cast<double>(discount);
      fourthNet += static_cast<double>(fourthDiscount);
    }
    const int rates[2] = {rate1_, rate2_};
    const bool containedLabels = grossPrices_ && !grossAsNet_;
    totalsLine(containedLabels ? "Brutto-Summe" : "Netto-Summe", net, fourthNet);
    rule(rulesFrom, kRight, y_);
    y_ += 50;
    if (discountLine) {
      totalsLine("./. Rabatt-Summe", -static_cast<double>(discount),
                 -static_cast<double>(fourthDiscount));
      y_ += 50;
    }
    if (!pageBreak(false)) return false;

    // One line per class: its tax, and on an invoice the net it is taken
    // from, left of its label. An invoice's tax-free lines have their class
    // line too, at no tax, so that their base stands beside the reason left
    // of the totals (and the legal lines move nothing).
    auto classLine = [&](double rate, double cents, double fourthCents, std::int64_t base) {
      const std::string percent = frame::TaxRate(style_, rate / 10);
      const std::string label =
          containedLabels ? "enthaltene " + percent + " UmSt" : "+ " + percent + " UmSt";
      const int labelX = totalsLine(label, cents, fourthCents);
      if (legal_)
        right(labelX - canvas_.textExtent(label).cx - 40, y_,
              "Bemessungsgrundlage " + amount(static_cast<double>(base), currency_, true));
      y_ += 50;
    };
    if (invoiceLike() && sums[0] != 0) classLine(0, 0, 0, sums[0]);
    for (int c = 0; c < 2; ++c)
      if (sums[c + 1] != 0)
        classLine(rates[c], static_cast<double>(tax[c]), static_cast<double>(fourthTax[c]),
                  figures.netOfClass(c));
    const std::int64_t finalSum = figures.final(), fourthFinal = fourthFigures.final();
    if (!pageBreak(false)) return false;

    // Only an invoice states an amount invoiced; an offer, an order
    // confirmation, a cost estimate and a delivery note state a total.
    std::string label;
    if (job_ == kJobQuotation)
      label = "Gesamtsumme";
    else if (head_.total < 0)
      label = invoiceLike() ? "Gutschrift" : "Guthaben";
    else
      label = invoiceLike() ? "Rechnungsbetrag" : "Gesamtsumme";
    totalsLine(label, static_cast<double>(finalSum), static_cast<double>(fourthFinal));
    if (!pageBreak(false)) return false;
    rule(rulesFrom, kRight, y_);
    y_ += 50;
    rule(rulesFrom, kRight, y_);
    rule(rulesFrom, kRight, y_ + 5);
    y_ += 50;
    if (!partPayment(finalSum, fourthFinal)) return false;
    if (!taxInMainCurrency(figures)) return false;
    // A reason longer than the totals block keeps the closing texts below it.
    if (notePage_ == page_) y_ = std::max(y_, noteEnd_ + 10);
    return true;
  }

  // An invoice paid in part states, under its amount, what was paid and
  // what is still due: the amount its GiroCode and e-invoice ask for.
  bool partPayment(std::int64_t finalSum, std::int64_t fourthFinal) {
    const std::int64_t paid = head_.paid;
    if (!invoiceLike() || head_.total <= 0 || paid <= 0 || paid >= head_.total) return true;
    const double fourthPaid = orders::RoundHalfAway(static_cast<double>(paid) * factor_);
    if (!pageBreak(false)) return false;
    totalsLine("./. bereits bezahlt", -static_cast<double>(paid), -fourthPaid);
    y_ += 50;
    if (!pageBreak(false)) return false;
    totalsLine("Noch zu zahlen", static_cast<double>(finalSum - paid),
               static_cast<double>(fourthFinal) - fourthPaid);
    y_ += 50;
    return true;
  }

  // An invoice in another currency states its tax in the main currency as
  // well, with the rate it was converted at: the tax is owed in euros.
  bool taxInMainCurrency(const orders::DocumentFigures& figures) {
    if (!legal_ || head_.currency == 0 || head_.currency > 3) return true;
    const double factor = p_.exchangeRates[head_.currency];
    if (!std::isfinite(factor) || factor <= 0) return true;
    const std::string main = CurrencyName(p_, 0);
    for (int c = 0; c < 2; ++c) {
      if (figures.sums[c + 1] == 0) continue;
      if (!pageBreak(false)) return false;
      const double converted = orders::RoundHalfAway(static_cast<double>(figures.tax[c]) / factor);
      right(kRight, y_,
            frame::Format("%s UmSt in %s: %s (Kurs: 1 %s = %s %s)",
                          frame::TaxRate(style_, figures.rates[c] / 10.0).c_str(), main.c_str(),
                          amount(converted, main, true).c_str(), main.c_str(),
                          frame::Amount(style_, factor, 5).c_str(), currency_.c_str()));
      y_ += 50;
    }
    return true;
  }

  // Why tax-free lines carry no tax, left of the totals, from the sum line
  // down.
  void exemptionNote(int y) {
    if (!legal_) return;
    const bool anyExempt = std::any_of(lines_.begin(), lines_.end(), [&](const store::OrderLine& l) {
      return l.taxCode == store::kTaxCodeNone && orders::LineCounts(l, true);
    });
    if (!anyExempt) return;
    for (const std::string& text : WrapText(canvas_, exemptionReason_, kExemptionWidth)) {
      left(kLeft, y, text);
      y += 40;
    }
    noteEnd_ = y;
    notePage_ = page_;
  }
  static constexpr int kExemptionWidth = 600;

  // The date the payment terms count from: the date of an issue with a new
  // date, the invoice date, or the print date while the order has none (a
  // document printed without issuing it).
  std::string termsDate() const {
    if (issued_) return std::string(store::GetText(issued_->invoiceDate));
    if (!context_.session.inputs.invoiceDate.empty()) return context_.session.inputs.invoiceDate;
    const std::string_view stored = store::GetText(head_.invoiceDate);
    const orders::Date date = orders::ParseDate(stored);
    if (date.day >= 1 && date.month >= 1 && date.month <= 12) return std::string(stored);
    return context_.session.inputs.printDate;
  }

  bool closing() {
    canvas_.selectFont(BodyFont());
    const std::string dispatch = Utf8(customer_.dispatch);
    if (invoiceLike()) {
      const std::string vatId = Utf8(customer_.vatId);
      if (!vatId.empty()) left(kLeft, y_, "Umsatzsteuer-Ident.-Nr.: " + vatId);
      if (!dispatch.empty())
        left(vatId.empty() ? kLeft : kInfoX, y_, "Der Versand erfolgt durch: " + dispatch);
      if (!vatId.empty() || !dispatch.empty()) y_ += 50;
      if (!pageBreak(false)) return false;

      if (p_.printPaymentTerms) {
        const std::vector<std::string> terms =
            orders::PaymentTermsLines(head_, termsDate(), currency_, style_);
        // The GiroCode stands right of the terms, from their first line.
        if (!giroPayload_.empty() && !terms.empty()) giroTop_ = y_;
        // A positive total heads the terms with the payment line, in bold;
        // the cash-discount line follows in the same font.
        if (head_.total > 0) canvas_.selectFont(BoldFont());
        for (const std::string& text : terms) {
          left(kLeft, y_, text);
          y_ += 40;
          if (!pageBreak(false)) return false;
        }
        canvas_.selectFont(BodyFont());
        y_ += 10;
      }
    } else if (job_ == kJobDeliveryNote && !dispatch.empty()) {
      left(kLeft, y_, "Der Versand erfolgt durch: " + dispatch);
      y_ += 50;
      if (!pageBreak(false)) return false;
    } else if (!validity_.empty()) {
      left(kLeft, y_, validity_);
      y_ += 50;
      if (!pageBreak(false)) return false;
    }

    if (offerActive()) {
      y_ += 50;
      left(kLeft, y_, "Unser Angebot der Woche lautet:");
      y_ += 40;
      left(kLeft, y_,
           Utf8(p_.offerDesignation) + ", Bestellnummer " + Utf8(p_.offerArticleNumber) +
               " zum Preis von nur " +
               frame::Money(style_, p_.offerPrice / 100.0, CurrencyName(p_, p_.offerCurrency)) +
               ".");
      y_ += 50;
    }
    if (!pageBreak(false)) return false;

    // Each footer line, also each part of one wider than the page, after a
    // page break.
    for (std::string_view piece : CarriageReturnPieces(FooterText(p_, job_))) {
      if (piece.front() == '\n') piece.remove_prefix(1);
      for (const std::string& text :
           WrapText(canvas_, platform::Cp1252ToUtf8(piece), kRight - kLeft)) {
        if (!pageBreak(false)) return false;
        if (!text.empty()) left(kLeft, y_, text);
        y_ += 50;
      }
    }

    if (job_ == kJobDeliveryNote && p_.printSignature) {
      // The confirmation and the line to sign on stay on one page.
      if (!pageBreak(false, kSignatureHeight)) return false;
      y_ += 50;
      left(kLeft, y_, "Ich bestätige den ordnungsgemäßen Erhalt der Ware und Leistungen.");
      y_ += 150;
      left(kLeft, y_, std::string(65, '-'));
      y_ += 40;
      left(kLeft, y_, "Datum                                           Unterschrift");
      y_ += 50;
    }
    placeGiroCode();
    return true;
  }

  struct Box {
    int left, top, right, bottom;
  };
  void track(int x, int y, const std::string& text) {
    const Extent extent = canvas_.textExtent(text);
    boxes_.push_back({x, y, x + extent.cx, y + extent.cy});
  }

  // The GiroCode owed to the terms of this page: at the right margin beside
  // them, its top on their first line's. It moves nothing. Where a text
  // or rule written after the terms (the offer, a long footer line) would
  // run into the code, its caption or the quiet zone around the code, the
  // code goes down to the first place where it stands free above the footer;
  // on a page without one, up beside the totals, as far right as it stands
  // free; failing that, it is left out and the user told so.
  void placeGiroCode() {
    if (giroTop_ < 0) return;
    const int firstTop = giroTop_;
    giroTop_ = -1;
    const orders::QrMatrix qr = orders::EncodeQr(giroPayload_);
    if (qr.size == 0) return;
    const int module = (kGiroCodeMinSide + qr.size - 1) / qr.size;
    const int side = module * qr.size;
    const int quiet = 4 * module;  // the blank margin a reader needs around the code
    FontScope restore(canvas_);
    canvas_.selectFont(BodyFont());
    const Extent caption = canvas_.textExtent(kGiroCodeCaption);
    // The code, its quiet zone and its caption, the code's top right corner
    // at (right, top).
    auto area = [&](int right, int top) {
      const int centre = right - side + side / 2;
      return Box{std::min(right - side - quiet, centre - caption.cx / 2), top - quiet,
                 std::max(right + quiet, centre + caption.cx - caption.cx / 2),
                 top + side + quiet + caption.cy};
    };
    auto free = [&](const Box& a) {
      return std::none_of(boxes_.begin(), boxes_.end(), [&](const Box& b) {
        return b.left < a.right && a.left < b.right && b.top < a.bottom && a.top < b.bottom;
      });
    };
    const int limit = std::min(FooterTop(p_, pageHeight_), pageHeight_ - 100) - 20;
    for (int top = firstTop; area(kRight, top).bottom <= limit; top += 10)
      if (free(area(kRight, top))) return drawGiroCode(qr, module, kRight, top, quiet);
    const int lowest = limit - area(kRight, 0).bottom;
    for (int top = std::min(firstTop - 10, lowest); area(kRight, top).top >= bodyTop_; top -= 10)
      for (int right = kRight; right - side - quiet >= kLeft; right -= 10)
        if (free(area(right, top))) return drawGiroCode(qr, module, right, top, quiet);
    context_.warn(frame::Format(
        "Die Rechnung wird ohne GiroCode gedruckt: Auf Seite %d ist neben den "
        "Zahlungsbedingungen und den Summen kein Platz für ihn.",
        page_));
  }

  // The dark modules as the runs of each row and of each column: two dark
  // modules side by side are always inside one rectangle, so no light seam
  // shows between them where a module's edge falls inside a device pixel. The
  // caption stands under the quiet zone.
  void drawGiroCode(const orders::QrMatrix& qr, int module, int right, int top, int quiet) {
    const int left = right - module * qr.size;
    for (const bool rows : {true, false})
      for (int line = 0; line < qr.size; ++line)
        for (int i = 0; i < qr.size;) {
          auto dark = [&](int at) { return rows ? qr.at(at, line) : qr.at(line, at); };
          if (!dark(i)) {
            ++i;
            continue;
          }
          const int start = i;
          while (i < qr.size && dark(i)) ++i;
          if (rows)
            canvas_.fillRect(left + start * module, top + line * module, left + i * module,
                             top + (line + 1) * module, kBlack);
          else if (i - start > 1)  // a single module is its row run already
            canvas_.fillRect(left + line * module, top + start * module, left + (line + 1) * module,
                             top + i * module, kBlack);
        }
    const TextAlign align = canvas_.textAlign();
    canvas_.setTextAlign(TextAlign::Centre);
    canvas_.textOut(left + module * qr.size / 2, top + module * qr.size + quiet, kGiroCodeCaption);
    canvas_.setTextAlign(align);
  }
  // 2 cm, the least side a banking app reads a code of from paper.
  static constexpr int kGiroCodeMinSide = 200;
  static constexpr const char* kGiroCodeCaption = "Zahlen mit Code";

  // From the top of the signature block to the bottom of its last line.
  static constexpr int kSignatureHeight = 50 + 150 + 40 + 40;

  // The record of an invoice issued before this print, for the invoice jobs.
  static std::optional<store::IssueRecord> IssuedRecordOf(RenderContext& context) {
    const int job = context.session.job;
    if ((job != kJobInvoice && job != kJobCollectiveInvoice) ||
        !orders::IssuedAsInvoice(context.app.order))
      return std::nullopt;
    return orders::FindIssueRecord(context.app, context.app.order.orderNumber);
  }

  Canvas& canvas_;
  const PageGeometry& geometry_;
  RenderContext& context_;
  const std::optional<store::IssueRecord> issued_;
  const store::ParameterRecord p_;
  const frame::FigureStyle style_;
  store::OrderHead head_;
  const store::AddressRecord& customer_;
  const int job_;
  std::span<const store::OrderLine> lines_;

  bool anyDiscount_ = false;
  bool fourth_ = false;
  double factor_ = 0;
  bool hidePrices_ = false;
  bool grossPrices_ = false;
  bool grossAsNet_ = false;
  int rate1_ = 0, rate2_ = 0;
  std::string currency_, fourthCurrency_, title_, printDate_;
  std::string stateMark_;  // "Kopie", "Entwurf" or none
  std::string validity_;   // "Dieses Angebot gilt bis ..." or none
  bool legal_ = false;
  bool serviceDateByOrder_ = false;
  orders::DeliveryPeriod deliveries_;
  std::string sellerTaxId_, exemptionReason_;
  int noteEnd_ = 0, notePage_ = 0;
  std::string giroPayload_;  // empty: no GiroCode on this document
  int giroTop_ = -1;         // where the code owed to this page's terms begins
  bool tracking_ = false;
  std::vector<Box> boxes_;  // the texts and rules of this page
  int bodyTop_ = 0;         // where the totals begin, or the body of their page

  int originX_ = 0, originY_ = 0;
  int pageHeight_ = 0;
  int y_ = 0;
  int page_ = 1;
  bool escaped_ = false;
  bool stoppedAtTarget_ = false;
};

}  // namespace

bool IsOrderDocumentJob(int job) {
  switch (job) {
    case kJobQuotation:
    case kJobDeliveryNote:
    case kJobInvoice:
    case kJobCollectiveInvoice:
    case kJobConfirmation:
    case kJobCostEstimate:
      return true;
    default:
      return false;
  }
}

std::string OrderDocumentTitle(int job, const store::OrderHead& head,
                               const store::ParameterRecord& parameters) {
  switch (job) {
    case kJobQuotation: return "ANGEBOT";
    case kJobConfirmation: return "AUFTRAGSBESTÄTIGUNG";
    case kJobCostEstimate: return "KOSTENVORANSCHLAG";
    case kJobDeliveryNote: return Utf8(parameters.deliveryNoteTitle);
    case kJobInvoice: return head.total < 0 ? "GUTSCHRIFT" : "RECHNUNG";
    case kJobCollectiveInvoice: return "SAMMELRECHNUNG";
    default: return {};
  }
}

std::vector<std::string_view> CarriageReturnPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t cr = text.find('\r', start);
    std::size_t end = cr == std::string_view::npos ? text.size() : cr;
    if (end > start) pieces.push_back(text.substr(start, end - start));
    if (cr == std::string_view::npos) break;
    start = cr + 1;
  }
  return pieces;
}

RenderOutcome OrderDocumentRenderer::render(Canvas& canvas, const PageGeometry& geometry,
                                            RenderContext& context) {
  return OrderDocument(canvas, geometry, context).run();
}

}  // namespace printing
