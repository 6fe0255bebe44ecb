// The order documents (jobs 1, 2, 3, 4, 20, 23) on the recording canvas:
// what each kind prints where, the amounts, and the page breaks.
#include "orders/order_document_renderer.h"

#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/decimal.h"
#include "core/figures.h"
#include "store/load_parameters.h"
#include "orders/cash_discount.h"
#include "orders/girocode.h"
#include "orders/order_math.h"
#include "store/einvoice_settings.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "printing/printing_fixture.h"
#include "orders/order_document_fixture.h"
#include "support/layout_check.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;

// The text op with this text, failing the test when there is none.
const RecordingCanvas::Op& At(const RecordingCanvas& canvas, const std::string& text) {
  static const RecordingCanvas::Op none{Kind::Text, -1, -1};
  const RecordingCanvas::Op* op = canvas.findText(text);
  EXPECT_NE(op, nullptr) << "no text \"" << text << "\"";
  return op ? *op : none;
}

void ExpectAt(const RecordingCanvas& canvas, const std::string& text, int x, int y,
              TextAlign align = TextAlign::Left) {
  const auto& op = At(canvas, text);
  EXPECT_EQ((std::tuple{op.x, op.y, op.align}), (std::tuple{x, y, align})) << text;
}

std::vector<int> Ys(const RecordingCanvas& canvas, const std::string& text) {
  std::vector<int> ys;
  for (const auto* op : canvas.texts())
    if (op->text == text) ys.push_back(op->y);
  return ys;
}

// The cents of a printed amount such as "-12.34 EUR", read from its text.
std::int64_t Cents(const std::string& text) {
  std::string figure = text.substr(0, text.find(' '));
  EXPECT_TRUE(figure.size() >= 4 && figure[figure.size() - 3] == '.') << text;
  return std::stoll(figure.erase(figure.size() - 3, 1));
}

// The totals column read back from the page: each label (right-aligned at
// 1650, or 1300 with the fourth currency) from the sum line on, with the
// amounts beside it.
struct PrintedTotal {
  std::string label, line;  // line: label and amounts as printed
  std::int64_t cents = 0, fourthCents = 0;
};
std::vector<PrintedTotal> PrintedTotals(const RecordingCanvas& canvas, bool fourth) {
  const int labelX = fourth ? 1300 : 1650;
  std::vector<PrintedTotal> totals;
  for (const auto* label : canvas.texts()) {
    if (label->x != labelX || label->align != TextAlign::Right) continue;
    if (totals.empty() && label->text != "Netto-Summe" && label->text != "Brutto-Summe") continue;
    PrintedTotal total{label->text, label->text};
    for (const auto* amount : canvas.texts()) {
      if (amount->y != label->y || amount->align != TextAlign::Right || amount->x <= labelX)
        continue;
      (amount->x == 1900 ? total.cents : total.fourthCents) = Cents(amount->text);
      total.line += " " + amount->text;
    }
    totals.push_back(total);
  }
  return totals;
}

std::vector<std::string> Column(const RecordingCanvas& canvas, bool fourth = false) {
  std::vector<std::string> lines;
  for (const PrintedTotal& total : PrintedTotals(canvas, fourth)) lines.push_back(total.line);
  return lines;
}

// The lines above the final one add up to it in both currencies; contained
// tax ("enthaltene") is stated, not added. Gives the final line.
PrintedTotal ExpectTotalsAddUp(const RecordingCanvas& canvas, bool fourth) {
  std::vector<PrintedTotal> totals = PrintedTotals(canvas, fourth);
  PrintedTotal sum, final = totals.empty() ? PrintedTotal{} : totals.back();
  for (std::size_t i = 0; i + 1 < totals.size(); ++i) {
    if (totals[i].label.starts_with("enthaltene ")) continue;
    sum.cents += totals[i].cents;
    sum.fourthCents += totals[i].fourthCents;
  }
  EXPECT_GE(totals.size(), 2u);
  EXPECT_EQ(std::pair(sum.cents, sum.fourthCents), std::pair(final.cents, final.fourthCents))
      << final.line;
  return final;
}

TEST_F(OrderDocumentTest, InvoiceTitleAddressHeadingsAndFooter) {
  add(2, "HOB-100", "Hobelbank", 1250);
  add(1, "LEIM-5", "Holzleim", 399, store::kTaxCodeRate1);
  Put(app.parameters.footerInvoice, "Vielen Dank für Ihren Auftrag.\r\nBitte überweisen Sie.");
  RecordingCanvas canvas = render(kJobInvoice);

  EXPECT_EQ(At(canvas, "RECHNUNG").font, (Font{"Times New Roman Fett", -80}));
  ExpectAt(canvas, "RECHNUNG", 150, 945);
  ExpectAt(canvas, "Herrn", 200, 520);  // the address window
  ExpectAt(canvas, "Nr.: 1261200001, Seite 1", 1000, 955);
  ExpectAt(canvas, "Ges.-Preis", 1900, 1080, TextAlign::Right);
  ExpectAt(canvas, "Bitte überweisen Sie.", 150, 1570);
  // Each class rounded once with its tax: 4.27 + 29.75.
  EXPECT_EQ(Column(canvas),
            (std::vector<std::string>{"Netto-Summe 28.99 EUR", "+ 7.0% UmSt 0.28 EUR",
                                      "+ 19.0% UmSt 4.75 EUR", "Rechnungsbetrag 34.02 EUR"}));
}

TEST_F(OrderDocumentTest, EachKindHasItsTitleFinalLabelAndFooterText) {
  add(1, "X", "Brett", 1000);
  Put(app.parameters.footerQuotation, "Fuß Ang.");
  Put(app.parameters.footerConfirmation, "Fuß Auft.");
  Put(app.parameters.footerDeliveryNote, "Fuß Lief.");
  Put(app.parameters.footerInvoice, "Fuß Rechn.");
  for (const auto& [job, title, titleY, finalLabel, footer] :
       {std::tuple{1, "ANGEBOT", 945, "Gesamtsumme", "Fuß Ang."},
        std::tuple{20, "AUFTRAGSBESTÄTIGUNG", 865, "Gesamtsumme", "Fuß Auft."},
        std::tuple{23, "KOSTENVORANSCHLAG", 865, "Gesamtsumme", "Fuß Auft."},
        std::tuple{2, "LIEFERSCHEIN", 945, "Gesamtsumme", "Fuß Lief."},
        std::tuple{3, "RECHNUNG", 945, "Rechnungsbetrag", "Fuß Rechn."},
        std::tuple{4, "SAMMELRECHNUNG", 945, "Rechnungsbetrag", "Fuß Rechn."}}) {
    SCOPED_TRACE(job);
    RecordingCanvas canvas = render(job);
    ExpectAt(canvas, title, 150, titleY);
    EXPECT_NE(canvas.findText(finalLabel), nullptr);
    // Only invoices state an amount invoiced, or credited.
    const bool invoice = job == 3 || job == 4;
    EXPECT_EQ(canvas.findText("Rechnungsbetrag") != nullptr, invoice);
    app.orderLines[1].quantity = -1;
    const RecordingCanvas credit = render(job);
    app.orderLines[1].quantity = 1;
    EXPECT_NE(credit.findText(job == 1 ? "Gesamtsumme" : invoice ? "Gutschrift" : "Guthaben"), nullptr);
    std::size_t footers = 0;
    for (const char* any : {"Fuß Ang.", "Fuß Auft.", "Fuß Lief.", "Fuß Rechn."})
      footers += Ys(canvas, any).size();
    EXPECT_EQ(footers, 1u);
    EXPECT_NE(canvas.findText(footer), nullptr);
  }
}

// The tax column reads every rate alike, the rate of tax-free lines too.
TEST_F(OrderDocumentTest, TheTaxColumnReadsEveryRateAlike) {
  add(1, "A", "Gutschein", 1000, store::kTaxCodeNone);
  add(1, "B", "Buch", 1000, store::kTaxCodeRate1);
  add(1, "C", "Brett", 1000, store::kTaxCodeRate2);
  using Rates = std::vector<std::string>;
  for (const auto& [style, rates] : {std::pair{frame::FigureStyle::Point, Rates{"0.0%", "7.0%", "19.0%"}},
                                     {frame::FigureStyle::German, Rates{"0,0 %", "7,0 %", "19,0 %"}}}) {
    app.figures = style;
    Rates column;
    for (const auto* op : render(kJobInvoice).texts())
      if (op->x == 1480 && op->align == TextAlign::Right && op->y > 1090) column.push_back(op->text);
    EXPECT_EQ(column, rates);
  }
}

// The payment terms of an invoice count from its date, or from the print
// date when it has none; a credit note and a paid invoice carry none.
TEST_F(OrderDocumentTest, PaymentTermsOnInvoicesButNotOnCredits) {
  add(-1, "R-1", "Gutschrift Brett", 5000);
  app.order.paymentPeriod = 14;
  app.order.cashDiscount = 20;
  app.order.cashDiscountPeriod = 7;
  app.parameters.printPaymentTerms = 1;
  RecordingCanvas canvas = render(kJobInvoice);
  for (const auto* op : canvas.texts())
    EXPECT_EQ(op->text.find("Zahlung"), std::string::npos) << op->text;

  // The payment line in bold, the cash-discount line in the same font.
  app.orderLines[1].quantity = 1;
  canvas = render(kJobInvoice);
  const auto& pay = At(canvas, "Zahlung: innerhalb 14 Tagen bis zum 20.12.2026.");
  EXPECT_EQ(pay.font, (Font{"Arial", -35, 900}));
  const auto& bold = At(canvas, "Bei Zahlung bis 13.12.2026 abzüglich 2.0 % Skonto: " +
                                    frame::Money(frame::FigureStyle::Point,
                                                 (app.order.total - orders::CashDiscountAmount(
                                                                        app.order.total, 20)) /
                                                     100.0,
                                                 "EUR"));
  EXPECT_EQ(bold.y, pay.y + 40);
  EXPECT_EQ(bold.font.weight, 900);
  Put(app.order.invoiceDate, "");
  session.inputs.printDate = "01.12.2026";
  EXPECT_NE(render(kJobInvoice).findText("Zahlung: innerhalb 14 Tagen bis zum 15.12.2026."), nullptr);
  app.order.paymentPeriod = 0;
  EXPECT_NE(render(kJobInvoice).findText("Zahlung: Sofort ohne Abzug"), nullptr);
  // Paid in full at the counter: a thank-you instead of terms.
  app.order.paid = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
  canvas = render(kJobInvoice);
  EXPECT_NE(canvas.findText("Betrag dankend erhalten."), nullptr);
  for (const auto* op : canvas.texts())
    EXPECT_EQ(op->text.find("Zahlung"), std::string::npos) << op->text;
}

// A quotation and a cost estimate say how long they bind, counted from the
// print date by the days of ANGEBOT.INI (30 without the file); no other
// document does, and 0 days print no such line.
TEST_F(OrderDocumentTest, QuotationsStateTheirValidity) {
  add(2, "HOB-100", "Hobelbank", 51850);
  struct Case {
    const char* what;
    const char* file;  // nullptr: none
    int job;
    const char* line;  // nullptr: no validity line at all
  };
  const Case cases[] = {
      {"no file", nullptr, kJobQuotation, "Dieses Angebot gilt bis 05.01.2027."},
      {"14 days", "[Angebot]\nGueltigTage=14\n", kJobCostEstimate,
       "Dieses Angebot gilt bis 20.12.2026."},
      {"no number", "[Angebot]\nGueltigTage=zwei Wochen\n", kJobQuotation,
       "Dieses Angebot gilt bis 05.01.2027."},
      {"switched off", "[Angebot]\nGueltigTage=0\n", kJobQuotation, nullptr},
      {"confirmation", nullptr, kJobConfirmation, nullptr},
      {"invoice", "[Angebot]\nGueltigTage=14\n", kJobInvoice, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::TempDir dir;
    app.dataDirectory = dir.path();
    if (c.file) {
      const std::string text = c.file;
      testsupport::WriteBytes(dir.file("ANGEBOT.INI"), {text.begin(), text.end()});
    }
    const RecordingCanvas canvas = render(c.job);
    const RecordingCanvas::Op* found = nullptr;
    for (const auto* op : canvas.texts())
      if (op->text.starts_with("Dieses Angebot gilt")) found = op;
    if (!c.line) {
      EXPECT_EQ(found, nullptr) << found->text;
      continue;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->text, c.line);
    EXPECT_GT(found->y, At(canvas, "Gesamtsumme").y);
  }
}

// An invoice states the base of every tax class, the tax-free one too (a
// line of its own at no tax, beside the reason); other documents do not.
TEST_F(OrderDocumentTest, ATaxFreeAmountStatesItsOwnBase) {
  add(1, "G", "Gutschein", 5000, store::kTaxCodeNone);
  add(1, "T", "Tisch", 10000);
  using Lines = std::vector<std::string>;
  for (const auto& [job, column, bases] :
       {std::tuple{kJobInvoice,
                   Lines{"Netto-Summe 150.00 EUR", "+ 0.0% UmSt 0.00 EUR", "+ 19.0% UmSt 19.00 EUR",
                         "Rechnungsbetrag 169.00 EUR"},
                   Lines{"Bemessungsgrundlage 50.00 EUR", "Bemessungsgrundlage 100.00 EUR"}},
        {kJobQuotation, Lines{"Netto-Summe 150.00 EUR", "+ 19.0% UmSt 19.00 EUR", "Gesamtsumme 169.00 EUR"},
         Lines{}}}) {
    SCOPED_TRACE(job);
    const RecordingCanvas canvas = render(job);
    EXPECT_EQ(Column(canvas), column);
    Lines shown;
    for (const auto* op : canvas.texts())
      if (op->text.starts_with("Bemessungsgrundlage")) shown.push_back(op->text);
    EXPECT_EQ(shown, bases);
    EXPECT_TRUE(testsupport::LayoutFaults(canvas, 2100, 2970).empty());
  }
}

// An invoice in another currency states each tax in euros too, with the
// rate it was converted at; one in euros, and an offer, do not.
TEST_F(OrderDocumentTest, AForeignCurrencyInvoiceStatesItsTaxInEuros) {
  Put(app.parameters.currencySymbol2, "USD");
  app.parameters.exchangeRates[1] = 1.25f;
  store::SetTaxRate(app.parameters, 1, 2, 70);
  store::SetTaxRate(app.parameters, 1, 3, 190);
  add(1, "T", "Tisch", 10000);
  add(1, "B", "Buch", 2000, store::kTaxCodeRate1);
  using Lines = std::vector<std::string>;
  for (const auto& [job, currency, expected] :
       {std::tuple{kJobInvoice, 1, Lines{"7.0% UmSt in EUR: 1.12 EUR (Kurs: 1 EUR = 1.25000 USD)",
                                         "19.0% UmSt in EUR: 15.20 EUR (Kurs: 1 EUR = 1.25000 USD)"}},
        {kJobInvoice, 0, Lines{}},
        {kJobQuotation, 1, Lines{}}}) {
    SCOPED_TRACE(std::to_string(job) + ", currency " + std::to_string(currency));
    app.order.currency = static_cast<std::uint8_t>(currency);
    const RecordingCanvas canvas = render(job);
    Lines shown;
    for (const auto* op : canvas.texts())
      if (op->text.find("UmSt in") != std::string::npos) shown.push_back(op->text);
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(testsupport::LayoutFaults(canvas, 2100, 2970).empty());
  }
}

// "Kein Nachkomma ausdrucken" leaves off only decimals that are zero, and
// never those of an invoice's totals: 12.50 stays 12.50 (not "12"), the tax
// and the amount due keep their cents.
TEST_F(OrderDocumentTest, NoDecimalsShortensFiguresButNeverChangesThem) {
  app.parameters.noDecimalsPrint = 1;
  add(1, "A", "Zuschnitt", 1250);
  add(1, "B", "Kante", 2850);
  add(1, "C", "Platte", 10000);
  add(1, "D", "Buch", 349, store::kTaxCodeRate1);
  using Texts = std::vector<std::string>;
  for (const auto& [job, shown] :
       {std::pair{kJobInvoice, Texts{"12.50", "12.50 EUR", "28.50 EUR", "100", "100 EUR", "3.49 EUR",
                                     "Netto-Summe 144.49 EUR", "+ 7.0% UmSt 0.24 EUR",
                                     "+ 19.0% UmSt 26.79 EUR", "Rechnungsbetrag 171.52 EUR"}},
        {kJobQuotation, Texts{"12.50 EUR", "100 EUR", "Gesamtsumme 171.52 EUR"}}}) {
    SCOPED_TRACE(job);
    const RecordingCanvas canvas = render(job);
    const std::vector<std::string> column = Column(canvas);
    std::vector<std::string> texts;
    for (const auto* op : canvas.texts()) texts.push_back(op->text);
    texts.insert(texts.end(), column.begin(), column.end());
    for (const std::string& text : shown)
      EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
    for (const char* changed : {"12 EUR", "13 EUR", "28 EUR", "29 EUR", "3 EUR", "172 EUR", "12", "13"})
      EXPECT_EQ(std::find(texts.begin(), texts.end(), changed), texts.end()) << changed;
  }
}

// An invoice paid in part states under its amount what was paid and what
// is still due, the amount its GiroCode asks for; unpaid, paid in full, a
// credit note or an offer state neither.
TEST_F(OrderDocumentTest, APartPaidInvoiceStatesWhatIsStillDue) {
  add(1, "T-1", "Tisch", 50000);  // 595.00 with 19 %
  using Lines = std::vector<std::string>;
  for (const auto& [job, quantity, paid, expected] :
       {std::tuple{kJobInvoice, 1, 20000, Lines{"./. bereits bezahlt", "-200.00 EUR", "Noch zu zahlen",
                                                "395.00 EUR"}},
        {kJobInvoice, 1, 0, Lines{}},
        {kJobInvoice, 1, 59500, Lines{}},
        {kJobInvoice, -1, 20000, Lines{}},
        {kJobQuotation, 1, 20000, Lines{}}}) {
    SCOPED_TRACE(std::to_string(job) + ", paid " + std::to_string(paid));
    app.orderLines[1].quantity = quantity;
    app.order.paid = paid;
    const RecordingCanvas canvas = render(job);
    const auto* final = canvas.findText(job == kJobQuotation ? "Gesamtsumme"
                                        : quantity > 0       ? "Rechnungsbetrag"
                                                             : "Gutschrift");
    ASSERT_NE(final, nullptr);
    const int below = final->y;
    Lines shown;
    for (const auto* op : canvas.texts())
      if (op->y > below && op->x >= 1300 && op->y < below + 200 && op->text != "Zahlung: Sofort ohne Abzug")
        shown.push_back(op->text);
    EXPECT_EQ(shown, expected);
  }
}

// What a kind of document or a setting puts on the page, and what it
// leaves out.
TEST_F(OrderDocumentTest, WhatEachDocumentShowsAndLeavesOut) {
  const store::ParameterRecord parameters = app.parameters;
  const store::AddressRecord address = app.address;
  const std::string signature(65, '-'), backOrder = "------Wird in Kürze nachgeliefert------";
  const auto withoutPrices = [&] {
    add(2, "HOB-100", "Hobelbank", 1250);
    app.parameters.pricesHidden = 1;
    app.parameters.printSignature = 1;
    Put(app.address.dispatch, "Spedition Maier");
  };
  const auto backOrders = [&] {
    add(1, "A", "Geliefert", 1000);
    add(3, "B", "Fehlt noch", 2000).flags = store::kLineBackOrder;
    add(1, "C", "Auch geliefert", 500);
  };
  const auto credit = [&] { add(-1, "R-1", "Gutschrift Brett", 5000); };
  struct Case {
    const char* name;
    int job;
    std::function<void()> arrange;
    std::vector<std::string> shown, gone;
  };
  // clang-format off
  const Case cases[] = {
      {"delivery note without prices", kJobDeliveryNote, withoutPrices,
       {"19.0%", "Der Versand erfolgt durch: Spedition Maier", signature},
       {"UmSt", "E.-Preis", "12.50", "25.00 EUR", "Netto-Summe"}},
      {"no signature on an invoice", kJobInvoice, withoutPrices, {}, {signature}},
      {"back-order on a delivery note", kJobDeliveryNote, backOrders,
       {backOrder, "Fehlt noch", "75.00 EUR"}, {}},
      {"back-order left out of an invoice", kJobInvoice, backOrders, {"Auch geliefert"},
       {"Fehlt noch", backOrder}},
      {"collective invoice, a draft without number", kJobCollectiveInvoice, [&] {
         app.order.orderNumber = 0;
         add(1, "A", "Aus Auftrag drei", 1000).orderNumber = 1261100003;
         add(2, "B", "Aus Auftrag sieben", 500, store::kTaxCodeRate2, 100).orderNumber = 1261100007;
       }, {"Seite 1", "Lief.-Nr.", "1261100003", "1261100007", "19.0%", "Rabatt", "10.0%",
           "9.00 EUR", "UmSt", "E.-Preis", "Ges.-Preis"},
       {}},
      {"collective invoice issued", kJobCollectiveInvoice, [&] {
         app.order.orderNumber = 1261200005;
         add(1, "A", "Aus Auftrag drei", 1000).orderNumber = 1261100003;
       }, {"Nr.: 1261200005, Seite 1", "Lief.-Nr.", "1261100003"}, {"Seite 1", "Rabatt"}},
      {"credit note", kJobInvoice, credit, {"GUTSCHRIFT", "Gutschrift"}, {"RECHNUNG"}},
      {"credit on a delivery note", kJobDeliveryNote, credit, {"Guthaben"}, {}},
      {"a discount without the sum line", kJobInvoice,
       [&] { add(10, "A", "Rabattiert", 1000, store::kTaxCodeRate2, 100); },
       {"10.0%", "90.00 EUR"}, {"./. Rabatt-Summe"}},
      {"offer of the week and customer lines", kJobInvoice, [&] {
         add(1, "A", "Brett", 1000);
         app.parameters.printOffer = 1;
         app.parameters.offerPrice = 19900;
         app.parameters.noCustomerNumberPrint = 1;
         Put(app.parameters.offerArticleNumber, "W-7");
         Put(app.parameters.offerDesignation, "Werkbank");
         Put(app.address.vatId, "DE999");
         Put(app.address.dispatch, "DHL");
       }, {"Umsatzsteuer-Ident.-Nr.: DE999", "Der Versand erfolgt durch: DHL",
           "Unser Angebot der Woche lautet:",
           "Werkbank, Bestellnummer W-7 zum Preis von nur 199.00 EUR."}, {"Kunden-Nr.: 10001"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app.parameters = parameters;
    app.address = address;
    app.order.lineCount = 0;
    c.arrange();
    const RecordingCanvas canvas = render(c.job);
    for (const std::string& text : c.shown) EXPECT_NE(canvas.findText(text), nullptr) << text;
    for (const std::string& text : c.gone) EXPECT_EQ(canvas.findText(text), nullptr) << text;
  }
}

// A collective invoice heads every column that carries figures, with and
// without a discount column, and its descriptions keep the width the other
// documents give them.
TEST_F(OrderDocumentTest, ACollectiveInvoiceHeadsEveryColumnAndKeepsItsDescriptionsWide) {
  const std::string description = "Kabelkanal-Verbindungsstück Winkel weiß 9";
  for (const std::int16_t discount : {0, 125}) {
    SCOPED_TRACE(discount);
    app.order.lineCount = 0;
    add(1, "ELT-1", description, 1000).orderNumber = 1261100003;
    add(2, "ELT-2", "Dübel", 500, store::kTaxCodeRate2, discount).orderNumber = 1261100007;
    const RecordingCanvas canvas = render(kJobCollectiveInvoice);
    const auto* first = canvas.findText(description);
    const auto* second = canvas.findText("Dübel");
    ASSERT_NE(first, nullptr) << "printed on one line";
    ASSERT_NE(second, nullptr);
    std::set<int> figures, heads;
    for (const auto* op : canvas.texts()) {
      if (op->align != TextAlign::Right) continue;
      if (op->y == first->y || op->y == second->y) figures.insert(op->x);
      if (op->y == 1080) heads.insert(op->x);
    }
    EXPECT_EQ(figures, heads);
    EXPECT_EQ(figures.size(), discount ? 5u : 4u);
    const auto faults = testsupport::LayoutFaults(canvas, 2100, 2970);
    EXPECT_TRUE(faults.empty()) << faults.front();
  }
}

// A collective invoice states when its supplies were made: the dates of the
// delivery notes it bills, from the first to the last, where an invoice
// states its Leistungsdatum.
TEST_F(OrderDocumentTest, ACollectiveInvoiceStatesTheDatesOfItsDeliveries) {
  testsupport::TempDir dir;
  app.dataDirectory = dir.path();
  for (const char* name : {"BELVON.PAR", "RECHNUNG.IDX", "RECHNUNG.DAT"})
    testsupport::WriteBytes(dir.file(name), {});
  app.nextOrderNumber = 1261200001;
  einvoice::Settings settings;
  settings.legalLines = true;
  ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
  auto note = [&](const char* date) {
    store::OrderHead head{};
    Put(head.orderDate, date);
    head.flags = store::kOrderDeliveryNotePrinted;
    std::int32_t position = -1;
    EXPECT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
    return head.orderNumber;
  };
  const struct {
    std::vector<const char*> dates;
    const char* stated;
  } cases[] = {
      {{"03.12.2026", "28.11.2026", "01.12.2026"}, "Lieferzeitraum: 28.11.–03.12.2026"},
      {{"30.12.2025", "02.01.2026"}, "Lieferzeitraum: 30.12.2025–02.01.2026"},
      {{"02.12.2026", "02.12.2026"}, "Leistungsdatum: 02.12.2026"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stated);
    app.order.lineCount = 0;
    std::vector<std::int32_t> numbers;
    for (const char* date : c.dates) numbers.push_back(note(date));
    app.order = store::OrderHead{};
    app.order.orderNumber = 1261200099;
    app.order.flags = store::kOrderCollectiveInvoice | store::kOrderInvoicePrinted;
    Put(app.order.invoiceDate, "06.12.2026");
    Put(app.order.orderDate, "06.12.2026");
    for (std::int32_t number : numbers) add(1, "A", "Ware", 1000).orderNumber = number;
    const RecordingCanvas canvas = render(kJobCollectiveInvoice);
    EXPECT_NE(canvas.findText(c.stated), nullptr);
    EXPECT_EQ(canvas.findText("Leistungsdatum: 06.12.2026"), nullptr);
    const auto faults = testsupport::LayoutFaults(canvas, 2100, 2970);
    EXPECT_TRUE(faults.empty()) << faults.front();
  }
}

// The totals column as printed: the discount sum line for a customer who
// wants it, and 12500 gross at 25 % with the contained 2500 taken off the
// net figure or stated as contained.
TEST_F(OrderDocumentTest, TotalsColumns) {
  using Lines = std::vector<std::string>;
  add(10, "A", "Rabattiert", 1000, store::kTaxCodeRate2, 100);
  app.address.salutation |= store::kAddressPrintDiscountSum;
  EXPECT_EQ(Column(render(kJobInvoice)),
            (Lines{"Netto-Summe 100.00 EUR", "./. Rabatt-Summe -10.00 EUR",
                   "+ 19.0% UmSt 17.10 EUR", "Rechnungsbetrag 107.10 EUR"}));
  app.order.lineCount = 0;
  store::SetTaxRate(app.parameters, 0, 2, 250);
  add(1, "A", "Brutto", 12500, store::kTaxCodeRate1);
  app.order.flags = store::kOrderPricesIncludeTax | store::kOrderGrossAsNet;
  EXPECT_EQ(Column(render(kJobInvoice)), (Lines{"Netto-Summe 100.00 EUR", "+ 25.0% UmSt 25.00 EUR",
                                                "Rechnungsbetrag 125.00 EUR"}));
  app.order.flags = store::kOrderPricesIncludeTax;
  EXPECT_EQ(Column(render(kJobInvoice)),
            (Lines{"Brutto-Summe 125.00 EUR", "enthaltene 25.0% UmSt 25.00 EUR",
                   "Rechnungsbetrag 125.00 EUR"}));
}

// The figures of a text with numbers: the runs of digits, points and commas
// in order (a closing point or comma is the sentence's), and the text
// around them with " %" read as "%".
struct Figures {
  std::string words;
  std::vector<std::string> numbers;
};
Figures SplitFigures(const std::string& text) {
  Figures split;
  for (std::size_t i = 0; i < text.size();) {
    const bool sign = text[i] == '-' && i + 1 < text.size() && std::isdigit(text[i + 1]);
    if (!sign && !std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (text.compare(i, 2, " %") == 0) ++i;
      split.words += text[i++];
      continue;
    }
    std::size_t end = text.find_first_not_of("0123456789.,", i + 1);
    if (end == std::string::npos) end = text.size();
    while (end > i && (text[end - 1] == '.' || text[end - 1] == ',')) --end;
    split.numbers.push_back(text.substr(i, end - i));
    split.words += '#';
    i = end;
  }
  return split;
}

// The same invoice and credit note in both figure styles: every text stands
// in the same place in the same font; where the texts differ, only the
// figures do, and each German figure reads back to the value of the point
// figure it replaces. Dates and numbers without figures stay as they are.
TEST_F(OrderDocumentTest, TheGermanStyleRewritesOnlyTheFigures) {
  app.parameters.printPaymentTerms = 1;
  app.order.paymentPeriod = 14;
  app.order.cashDiscount = 25;
  app.order.cashDiscountPeriod = 7;
  app.parameters.printOffer = 1;
  Put(app.parameters.offerArticleNumber, "HOB-100");
  Put(app.parameters.offerDesignation, "Hobelbank");
  app.parameters.offerPrice = 123456;
  add(1, "MASCH-1", "CNC-Fräse", 999999999);
  add(3.5, "MONT", "Montage", 6000, store::kTaxCodeRate1, 25).unit[0] = 0;
  Put(app.orderLines[2].unit, "Std");
  add(2, "LEIM-5", "Holzleim", 399, store::kTaxCodeRate1);
  app.address.salutation |= store::kAddressPrintDiscountSum;
  Put(app.parameters.currencySymbol4, "USD");
  app.parameters.exchangeRates[3] = 1.1f;
  // An invoice, a credit note, and one with the fourth currency beside the first.
  for (const auto& [sign, fourth] : {std::pair{1, false}, {-1, false}, {-1, true}}) {
    SCOPED_TRACE(std::to_string(sign) + (fourth ? " with the fourth currency" : ""));
    app.parameters.fourthCurrencyPrint = fourth;
    app.orderLines[1].quantity = sign;
    app.figures = frame::FigureStyle::Point;
    const RecordingCanvas point = render(kJobInvoice);
    app.figures = frame::FigureStyle::German;
    const RecordingCanvas german = render(kJobInvoice);
    app.figures = frame::FigureStyle::Point;

    // The point style as it always was.
    for (const std::string text :
         {sign > 0 ? "9999999.99 EUR" : "-9999999.99 EUR", "3.500 Std", "2.5%", "7.0%", "19.0%",
          "60.00", "+ 7.0% UmSt"})
      EXPECT_NE(point.findText(text), nullptr) << text;
    const std::vector<const RecordingCanvas::Op*> p = point.texts(), g = german.texts();
    ASSERT_EQ(p.size(), g.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
      // The net a tax is taken from stands left of its label, wherever that
      // begins.
      // A totals label or a unit price gives way to a wider amount.
      const bool afterLabel = p[i]->text.starts_with("Bemessungsgrundlage");
      const bool label = (p[i]->x == 1650 || p[i]->x == 1300) && g[i]->x <= p[i]->x;
      EXPECT_EQ((std::tuple{afterLabel || label ? 0 : p[i]->x, p[i]->y, p[i]->align, p[i]->font}),
                (std::tuple{afterLabel || label ? 0 : g[i]->x, g[i]->y, g[i]->align, g[i]->font}))
          << p[i]->text;
      if (p[i]->text == g[i]->text) continue;
      ++differing;
      const Figures before = SplitFigures(p[i]->text), after = SplitFigures(g[i]->text);
      EXPECT_EQ(before.words, after.words) << p[i]->text << " | " << g[i]->text;
      ASSERT_EQ(before.numbers.size(), after.numbers.size()) << g[i]->text;
      for (std::size_t k = 0; k < before.numbers.size(); ++k) {
        // A date ("13.12.2026") is written alike in both styles.
        const std::string& n = after.numbers[k];
        const bool date = n.size() == 10 && n[2] == '.' && n[5] == '.';
        EXPECT_EQ(!date && n.find('.') != std::string::npos && n.find(',') == std::string::npos,
                  false)
            << "a German figure with a point but no comma: " << g[i]->text;
        EXPECT_EQ(frame::ReadNumber(before.numbers[k]), frame::ReadNumber(after.numbers[k]))
            << p[i]->text << " | " << g[i]->text;
      }
    }
    EXPECT_GE(differing, 15u);
    for (const RecordingCanvas* canvas : {&point, &german}) {
      const std::vector<std::string> faults = testsupport::LayoutFaults(*canvas, 2100, 2970);
      EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first: " << faults.front();
    }
    // Where the point figures stood.
    for (const auto& [was, is] :
         {std::pair{sign > 0 ? "9999999.99 EUR" : "-9999999.99 EUR",
                    sign > 0 ? "9.999.999,99 EUR" : "-9.999.999,99 EUR"},
          std::pair{"3.500 Std", "3,5 Std"}, std::pair{"2.5%", "2,5 %"},
          std::pair{"7.0%", "7,0 %"}, std::pair{"+ 7.0% UmSt", "+ 7,0 % UmSt"},
          std::pair{"60.00", "60,00"}}) {
      const auto& before = At(point, was);
      const auto& after = At(german, is);
      EXPECT_EQ((std::pair{before.x, before.y}), (std::pair{after.x, after.y})) << is;
    }
    if (sign > 0) {
      bool discountSpelledOut = false;
      for (const auto* op : german.texts())
        discountSpelledOut |= op->text.starts_with("Bei Zahlung bis 13.12.2026 abzüglich 2,5 % Skonto: ") &&
                              op->text.ends_with(",92 EUR");
      EXPECT_TRUE(discountSpelledOut);
      EXPECT_NE(german.findText("Hobelbank, Bestellnummer HOB-100 zum Preis von nur 1.234,56 EUR."),
                nullptr);
    } else {
      EXPECT_NE(german.findText("GUTSCHRIFT"), nullptr);
    }
  }
}

// Random orders, net and gross, with discounts, credits, back-orders and
// both tax classes: what the invoice prints adds up to the cent, its final
// amount is the stored total, and a gross order states the same tax whether
// it is printed gross or as net.
TEST_F(OrderDocumentTest, PrintedNetAndTaxLinesAddUpToTheInvoiceAmount) {
  std::mt19937 random(20261206);
  Put(app.parameters.currencySymbol4, "DM");
  app.parameters.exchangeRates[3] = 1.95583f;
  const std::int16_t rates[][2] = {{70, 190}, {50, 160}, {25, 77}, {0, 1000}};
  const std::int16_t codes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2, 3};
  auto taxLines = [](const RecordingCanvas& canvas, bool fourth) {
    std::vector<std::pair<std::int64_t, std::int64_t>> tax;
    for (const PrintedTotal& t : PrintedTotals(canvas, fourth))
      if (t.label.starts_with("+ ") || t.label.starts_with("enthaltene "))
        tax.emplace_back(t.cents, t.fourthCents);
    return tax;
  };
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    const auto& pair = rates[random() % 4];
    store::SetTaxRate(app.parameters, 0, 2, pair[0]);
    store::SetTaxRate(app.parameters, 0, 3, pair[1]);
    const bool fourth = (app.parameters.fourthCurrencyPrint = random() % 4 == 0);
    app.address.salutation = random() % 3 == 0 ? store::kAddressPrintDiscountSum : 0;
    app.order.lineCount = 0;
    for (int i = static_cast<int>(random() % 8); i > 0; --i)
      add((static_cast<int>(random() % 20001) - 4000) / 1000.0, "A", "Zeile",
          static_cast<std::int32_t>(random() % 300001) - 20000, codes[random() % 4],
          static_cast<std::int16_t>(random() % 3 == 0 ? random() % 1001 : 0))
          .flags = random() % 9 == 0 ? store::kLineBackOrder : 0;
    // net, gross, gross as net, net with the as-net flag alone
    const int kind = static_cast<int>(random() % 4);
    app.order.flags = kind == 0 ? 0
                      : kind == 3 ? store::kOrderGrossAsNet
                                  : store::kOrderPricesIncludeTax | (kind == 2 ? store::kOrderGrossAsNet : 0);

    const RecordingCanvas printed = render(kJobInvoice);
    ASSERT_EQ(ExpectTotalsAddUp(printed, fourth).cents, +app.order.total);
    if (kind == 0 || kind == 3) continue;
    app.order.flags ^= store::kOrderGrossAsNet;
    const RecordingCanvas other = render(kJobInvoice);
    ExpectTotalsAddUp(other, fourth);
    ASSERT_EQ(taxLines(printed, fourth), taxLines(other, fourth));
  }
}

// Data directories kept from a fuzzing run: a line beyond 32-bit cents and a
// tax rate of -100 %. The invoice is printed without absurd figures, adds
// up, and the user is told what was left out or clamped.
TEST_F(OrderDocumentTest, DamagedStoredValuesAreLeftOutOrClampedWithAMessage) {
  namespace fs = std::filesystem;
  for (const auto& [directory, order, message] :
       {std::tuple{"line-amount-overflow", 1001, "außerhalb des Rechenbereichs"},
        std::tuple{"negative-tax-rate", 1002, "Der Steuersatz -100.0 %"}}) {
    SCOPED_TRACE(std::string(directory) + " " + std::to_string(order));
    testsupport::TempDir dir;
    fs::copy(fs::path(BELVON_TEST_DATA_DIR) / "damaged" / directory, dir.path(),
             fs::copy_options::recursive);
    app.dataDirectory = dir.path();
    app.clock = &clock;
    frame::LoadParameters(app);
    store::OrderHead criteria{};
    criteria.orderNumber = order;
    std::int32_t position = -1;
    ASSERT_EQ(store::FindOrder(app, criteria, position, true), 1);
    ASSERT_EQ(store::ReadOrder(app, app.order, position), 1);
    ui.shown.clear();

    const RecordingCanvas canvas = render(kJobInvoice);
    const bool fourth = app.parameters.fourthCurrencyPrint != 0 && app.order.currency == 0;
    for (const PrintedTotal& t : PrintedTotals(canvas, fourth))
      EXPECT_LT(std::max(std::abs(t.cents), std::abs(t.fourthCents)), 100000000) << t.line;
    EXPECT_EQ(ExpectTotalsAddUp(canvas, fourth).cents, +app.order.total);
    std::string told;
    for (const auto& shown : ui.shown) told += shown.text + "\n";
    EXPECT_NE(told.find(message), std::string::npos) << told;
    if (order != 1002) continue;
    app.figures = frame::FigureStyle::German;
    ui.shown.clear();
    render(kJobInvoice);
    app.figures = frame::FigureStyle::Point;
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_NE(ui.shown.front().text.find("Der Steuersatz -100,0 % der Währung"), std::string::npos)
        << ui.shown.front().text;
  }
}

// A quantity no field can mean (no number, infinite, beyond what a field
// takes) is never printed or added: the line prints without quantity and
// amount, the totals add up without it, and the user is told.
TEST_F(OrderDocumentTest, DamagedQuantitiesAreNeitherPrintedNorAdded) {
  add(2, "A1", "Brett", 1000);
  for (double damaged : {std::nan(""), -HUGE_VAL, 1e300}) add(damaged, "A2", "Leim", 0);
  add(-1e300, "A3", "Dübel", 500);
  const RecordingCanvas canvas = render(kJobInvoice);
  std::vector<std::string> quantities;
  for (const auto* op : canvas.texts())
    if (op->text.ends_with(" Stk")) quantities.push_back(op->text);
  EXPECT_EQ(quantities, std::vector<std::string>{"2 Stk"});
  EXPECT_EQ(ExpectTotalsAddUp(canvas, false).cents, 2380);
  ASSERT_EQ(ui.shown.size(), 4u);
  for (int line = 2; line <= 5; ++line)
    EXPECT_EQ(ui.shown[static_cast<std::size_t>(line - 2)].text,
              "Auftrag 1261200001, Position " + std::to_string(line) +
                  ": die gespeicherte Menge ist beschädigt. Die Position wird ohne Menge und "
                  "Betrag gedruckt und nicht berechnet.");
}

// Free texts stay in their column: a description column for the long texts
// (600 characters on three lines, one word wider than the column), the page
// width for the footer; a page may end inside a long text.
TEST_F(OrderDocumentTest, LongTextsWrapInsideTheirColumnAndBreakAcrossPages) {
  addPlain(24);
  std::string all;
  for (int i = 0; i < 3; ++i) {
    std::string text;
    for (int w = 0; text.size() < 200; ++w)
      text += (i == 2 && w == 3 ? std::string(60, 'W') : "Brett" + std::to_string(w)) + " ";
    text.resize(200);
    Put(add(1, "L", "Langtext", 1000).longText, text);
    all += text;
  }
  // A footer field filled to its last byte has no terminator: only the
  // first 320 characters are the text.
  std::fill(std::begin(app.parameters.footerInvoice), std::end(app.parameters.footerInvoice), 'F');
  const RecordingCanvas canvas = render(kJobInvoice);

  RecordingCanvas measure;
  auto end = [&](const RecordingCanvas::Op& op) {
    measure.selectFont(op.font);
    return op.x + measure.textExtent(op.text).cx;
  };
  const auto& rate = At(canvas, "19.0%");  // the tax column begins here
  const int column = rate.x - measure.textExtent(rate.text).cx;
  std::string printed, footer;
  std::vector<std::size_t> pieces;  // ops that are long-text lines
  for (std::size_t i = 0; i < canvas.ops().size(); ++i) {
    const auto& op = canvas.ops()[i];
    if (op.kind != Kind::Text || op.align != TextAlign::Left) continue;
    if (op.text.find_first_not_of('F') == std::string::npos) {
      EXPECT_LE(end(op), 1900) << op.text;
      footer += op.text;
    }
    if (op.x != 500 || op.text == "Langtext" || op.text == "Bezeichnung" ||
        op.text.starts_with("Zeile "))
      continue;
    EXPECT_LT(end(op), column) << op.text;
    printed += op.text;
    pieces.push_back(i);
  }
  std::erase(all, ' ');
  std::erase(printed, ' ');
  EXPECT_EQ(printed, all);  // every character, in order
  EXPECT_EQ(footer, std::string(320, 'F'));
  // The page ends between two lines of one long text.
  const auto& note = At(canvas, "Die Auflistung wird auf Seite 2 fortgesetzt.");
  const auto after =
      std::upper_bound(pieces.begin(), pieces.end(), std::size_t(&note - canvas.ops().data()));
  ASSERT_TRUE(after != pieces.begin() && after != pieces.end());
  for (std::size_t i = *(after - 1); i < *after; ++i) EXPECT_NE(canvas.ops()[i].text, "Langtext");
}

// A row grows with what it carries: a number wider than its column pushes
// the rest of the row a line down (eleven characters are 154 wide in the
// condensed face, ten 140), the extras stack under the description, an
// empty long-text line counts and the closing line feed is one more.
TEST_F(OrderDocumentTest, RowsGrowWithWideNumbersAndTheirExtras) {
  add(1, "ABCDEFGHIJK", "Breit", 1000);
  store::OrderLine& line = add(1, "ABCDEFGHIJ", "Tisch", 1000);
  line.flags = store::kLineSpecialPrice;
  Put(line.description2, "Eiche massiv");
  Put(line.longText, "A\r\n\r\nB\r\n");
  add(1, "T-2", "Danach", 1000);
  RecordingCanvas canvas = render(kJobInvoice);
  std::vector<int> ys;
  for (const char* text :
       {"Breit", "10.00", "Tisch", "-----Sonderpreis-----", "Eiche massiv", "A", "B", "Danach"})
    ys.push_back(At(canvas, text).y);
  EXPECT_EQ(ys, (std::vector<int>{1180, 1180, 1230, 1270, 1310, 1350, 1430, 1520}));
}

TEST_F(OrderDocumentTest, FourthCurrencyMakesPricedRowsTallerAndDoublesTheTotals) {
  app.parameters.fourthCurrencyPrint = 1;
  app.parameters.exchangeRates[3] = 2.0f;
  Put(app.parameters.currencySymbol4, "DM");
  add(1, "A", "Preis", 1000);
  add(0, "", "Nur Text", 0);
  add(3, "C", "Preis drei", 333);
  RecordingCanvas canvas = render(kJobInvoice);
  ExpectAt(canvas, "20.00", 1650, 1180, TextAlign::Right);
  // "EUR" is 14 wider than "DM" in the condensed face: the figures end at
  // the same x.
  ExpectAt(canvas, "20.00 DM", 1900 - 14, 1180, TextAlign::Right);
  ExpectAt(canvas, "Preis drei", 500, 1280);
  // Totals: labels at 1300, fourth currency at 1650.
  EXPECT_EQ(Column(canvas, true), (std::vector<std::string>{"Netto-Summe 39.98 DM 19.99 EUR",
                                                            "+ 19.0% UmSt 7.60 DM 3.80 EUR",
                                                            "Rechnungsbetrag 47.58 DM 23.79 EUR"}));

  // An order in another currency shows no fourth-currency figures.
  app.order.currency = 1;
  Put(app.parameters.currencySymbol2, "CHF");
  canvas = render(kJobInvoice);
  EXPECT_EQ(canvas.findText("20.00"), nullptr);
  ExpectAt(canvas, "Preis drei", 500, 1240);
}

TEST_F(OrderDocumentTest, ThreePagesInThePreviewAndOnPaper) {
  addPlain(80);
  app.parameters.printOffsetHorizontal = 2;
  // What remains visible in the preview: the texts after the last clean sheet.
  auto page = [&](int target) {
    session.view.targetPage = target;
    RecordingCanvas canvas = render(kJobInvoice, true);
    EXPECT_TRUE(canvas.ofKind(Kind::EndPage).empty());
    std::string shown;
    for (const auto& op : canvas.ops())
      shown = op.kind == Kind::Fill && op.colour == kWhite ? "" : shown + op.text + "\n";
    return shown;
  };
  // The preview shows the continuation note as the paper has it.
  EXPECT_NE(page(1).find("Die Auflistung wird auf Seite 2 fortgesetzt.\n"), std::string::npos);
  EXPECT_TRUE(outcome.morePages);
  EXPECT_EQ(page(2).find("Zeile 80\n"), std::string::npos);
  // Beyond the end the last page shows, and TargetPage comes back as 3.
  const std::string beyond = page(4);
  EXPECT_NE(beyond.find("Nr.: 1261200001, Seite 3\n"), std::string::npos);
  EXPECT_NE(beyond.find(kPreviewPrompt), std::string::npos);
  EXPECT_EQ(session.view.targetPage, 3);

  // On paper: three pages, and the row breaks carry the headings.
  session.view.targetPage = kPrintAllPages;
  RecordingCanvas paper = render(kJobInvoice);
  EXPECT_EQ(paper.ofKind(Kind::StartPage).size(), 2u);
  EXPECT_EQ(paper.ofKind(Kind::EndPage).size(), 2u);
  EXPECT_EQ(Ys(paper, "Bezeichnung").size(), 3u);
  EXPECT_EQ(At(paper, "Zeile 80").mapping, (Mapping{-20, 0, 2100, 2970, 4960, 7016}));

  // A failing page end stops the document there.
  session.view.targetPage = kPrintAllPages;
  RecordingCanvas failing(false);
  failing.failEndPageFrom(1);
  RenderContext context(app, session);
  EXPECT_EQ(MakeRenderer(kJobInvoice)->render(failing, geometry, context).lastPage, 1);
  EXPECT_EQ(failing.findText("Nr.: 1261200001, Seite 2"), nullptr);
  EXPECT_EQ(session.view.targetPage, kPrintAllPages);
}

TEST_F(OrderDocumentTest, ARowEndingExactlyAtTheReserveLimitDoesNotBreak) {
  // A 3 mm vertical offset makes the page 2940 high: rows end at 1140 + 50 k
  // and line 29 ends at 2590, exactly 350 above the bottom.
  addPlain(29);
  app.parameters.printOffsetVertical = 3;
  RecordingCanvas atLimit = render(kJobInvoice);
  EXPECT_EQ(Ys(atLimit, "Bezeichnung").size(), 1u);  // only the totals broke, without headings
  EXPECT_NE(At(atLimit, "Die Auflistung wird auf Seite 2 fortgesetzt.").y, 2590);

  app.parameters.printOffsetVertical = 4;  // one millimetre less page
  RecordingCanvas beyond = render(kJobInvoice);
  ExpectAt(beyond, "Die Auflistung wird auf Seite 2 fortgesetzt.", 150, 2590);
  EXPECT_EQ(Ys(beyond, "Bezeichnung").size(), 2u);
  // The shortened page also lifts the footer.
  EXPECT_EQ(beyond.findText("34117 Kassel")->y, 2970 - 40 - 40);
  EXPECT_EQ(beyond.ops().front().mapping.originY, -40);

  // A cash discount on an invoice, the validity of a quotation and the
  // offer of the week widen the reserve; a confirmation has neither line.
  app.parameters.printOffsetVertical = 3;
  app.order.cashDiscount = 20;
  EXPECT_EQ(Ys(render(kJobInvoice), "Bezeichnung").size(), 2u);
  EXPECT_EQ(Ys(render(kJobConfirmation), "Bezeichnung").size(), 1u);
  testsupport::TempDir noValidity;
  app.dataDirectory = noValidity.path();
  EXPECT_EQ(Ys(render(kJobQuotation), "Bezeichnung").size(), 2u);
  testsupport::WriteBytes(noValidity.file("ANGEBOT.INI"),
                          {'[', 'A', 'n', 'g', 'e', 'b', 'o', 't', ']', '\n', 'G', 'u', 'e', 'l', 't',
                           'i', 'g', 'T', 'a', 'g', 'e', '=', '0', '\n'});
  EXPECT_EQ(Ys(render(kJobQuotation), "Bezeichnung").size(), 1u);
}

TEST_F(OrderDocumentTest, ContinuationPageHeads) {
  addPlain(40);
  app.parameters.printPhoneFax = 1;
  Put(app.address.phone, "0561 777");
  Put(app.address.fax, "0561 778");

  // The letterhead again on page 2; four names put the page's info at 355.
  RecordingCanvas head = render(kJobInvoice);
  EXPECT_EQ(Ys(head, "Schreinerei Holzwurm").size(), 2u);
  ExpectAt(head, "Nr.: 1261200001, Seite 2", 1000, 355);

  // Without letterhead the customer's address stands where it stood.
  app.parameters.printLetterhead = 0;
  RecordingCanvas address = render(kJobInvoice);
  ExpectAt(address, "Nr.: 1261200001, Seite 2", 1000, 955);
  // The telephone line stands 5 mm above the date, as on the first page.
  EXPECT_EQ(Ys(address, "Tel:0561 777, Fax:0561 778"), (std::vector<int>{905, 905}));

  // "Ab S.2 kein Kopf": a bare page from 300.
  app.parameters.noLetterheadFromPage2 = 1;
  RecordingCanvas bare = render(kJobInvoice);
  ExpectAt(bare, "Nr.: 1261200001, Seite 2", 1000, 275);
  EXPECT_EQ(Ys(bare, "RECHNUNG"), (std::vector<int>{945, 275}));

  // Order confirmations carry no title on later pages.
  EXPECT_EQ(Ys(render(kJobConfirmation), "AUFTRAGSBESTÄTIGUNG").size(), 1u);
}

TEST_F(OrderDocumentTest, SignatureBlockMovesWholeToTheNextPage) {
  addPlain(27);
  app.parameters.pricesHidden = 1;
  app.parameters.printSignature = 1;
  RecordingCanvas canvas = render(kJobDeliveryNote);
  // The rows end at 2490; the block would end at 2770, in the company footer.
  ExpectAt(canvas, "Die Auflistung wird auf Seite 2 fortgesetzt.", 150, 2490);
  const auto& confirm = At(canvas, "Ich bestätige den ordnungsgemäßen Erhalt der Ware und Leistungen.");
  EXPECT_EQ(confirm.y, 380 + 100 + 50);
  EXPECT_EQ(session.view.targetPage, 2);
}

TEST_F(OrderDocumentTest, PreviewSheetIsBlankedAlsoBeyondALargePrintOffset) {
  addPlain(40);
  app.parameters.printOffsetVertical = 20;
  app.parameters.printOffsetHorizontal = -15;
  session.view.targetPage = 2;
  RecordingCanvas canvas = render(kJobInvoice, true);
  const RecordingCanvas::Op* sheet = nullptr;
  for (const auto* fill : canvas.ofKind(Kind::Fill))
    if (fill->colour == kWhite) sheet = fill;
  ASSERT_NE(sheet, nullptr);
  // The window origin is (150, -200): the visible sheet spans x 150..2250
  // and y -200..2770.
  EXPECT_EQ((std::vector<int>{sheet->x, sheet->y, sheet->x2, sheet->y2}),
            (std::vector<int>{-100, -300, 2350, 2870}));
}

TEST_F(OrderDocumentTest, EscStopsAtOnceWithoutPromptOrTargetPage) {
  addPlain(3);
  session.view.targetPage = 5;
  RecordingCanvas whole = render(kJobInvoice, true);
  EXPECT_EQ(ui.progressValues, (std::vector<int>{50, 75, 100}));
  EXPECT_EQ(session.view.targetPage, 1);
  EXPECT_EQ(whole.ops().back().text, kPreviewPrompt);

  session.view.targetPage = 5;
  ui.progressValues.clear();
  ui.escapeAtProgress(2);
  const Font found{"Courier", -20};
  RecordingCanvas canvas = render(kJobInvoice, true, found);
  EXPECT_NE(canvas.findText("Zeile 1"), nullptr);
  EXPECT_EQ(canvas.findText("Zeile 2"), nullptr);
  EXPECT_EQ(canvas.findText(kPreviewPrompt), nullptr);
  EXPECT_EQ(session.view.targetPage, 5);
  EXPECT_EQ(canvas.font(), found);
}

}  // namespace
}  // namespace printing

namespace printing {
namespace {

// An invoice issued again with a new date counts its terms from that date,
// though the order still holds the old one while it is drawn.
TEST_F(OrderDocumentTest, AnInvoiceIssuedAgainWithANewDateCountsItsTermsFromIt) {
  app.parameters.printPaymentTerms = 1;
  app.order.paymentPeriod = 14;
  app.order.flags |= store::kOrderInvoicePrinted;
  addPlain(1);
  for (const auto& [given, due] : {std::pair{"", "20.12.2026"}, std::pair{"10.12.2026", "24.12.2026"}}) {
    session.inputs.invoiceDate = given;
    const RecordingCanvas canvas = render(kJobInvoice);
    EXPECT_NE(canvas.findText(std::string("Zahlung: innerhalb 14 Tagen bis zum ") + due + "."), nullptr)
        << given;
  }
}

// Every order document with a hundred lines at the widest its fields allow,
// a customer whose lines are all 41 characters and the fourth currency
// printed under each row: no text over another, none off the sheet (the
// continuation note stays clear of the footer).
TEST_F(OrderDocumentTest, TheLargestOrderKeepsEveryTextInItsPlace) {
  fillLargestOrder();
  expectLargestOrderTidy();
}

}  // namespace
}  // namespace printing

namespace printing {
namespace {

// The dark modules a canvas drew in black, read back at each module's
// middle; the side of the symbol in logical units and of a module.
struct DrawnCode {
  int left = 0, top = 0, right = 0, bottom = 0, module = 0;
  orders::QrMatrix matrix;
};
DrawnCode ReadCode(const RecordingCanvas& canvas) {
  DrawnCode code{1 << 30, 1 << 30, -1, -1, 1 << 30};
  std::vector<const RecordingCanvas::Op*> fills;
  for (const auto* op : canvas.ofKind(Kind::Fill)) {
    if (op->colour != kBlack) continue;
    fills.push_back(op);
    code.left = std::min(code.left, op->x), code.top = std::min(code.top, op->y);
    code.right = std::max(code.right, op->x2), code.bottom = std::max(code.bottom, op->y2);
    code.module = std::min(code.module, op->y2 - op->y);
  }
  if (fills.empty()) return {};
  code.matrix.size = (code.bottom - code.top) / code.module;
  for (int y = 0; y < code.matrix.size; ++y)
    for (int x = 0; x < code.matrix.size; ++x) {
      const int mx = code.left + x * code.module + code.module / 2;
      const int my = code.top + y * code.module + code.module / 2;
      code.matrix.dark.push_back(std::any_of(fills.begin(), fills.end(), [&](const auto* f) {
        return f->x <= mx && mx < f->x2 && f->y <= my && my < f->y2;
      }));
    }
  return code;
}

// The GiroCode of an invoice, on the recording canvas (tenths of a
// millimetre): at least 2 cm square, "Zahlen mit Code" centred under it, no
// text or rule in it or its quiet zone of four modules, the modules those of
// the payload with the amount due in the code's own figures (German figures
// on paper). It stands at the right margin from the first line of the
// payment terms; where the offer or a footer line runs into that place it
// goes down, where the page ends below the terms it goes up beside the
// totals, and where neither leaves room it is left out with a message. Every
// other text stands where it stands without the code.
TEST_F(OrderDocumentTest, GiroCodeBesideThePaymentTermsMovesNothing) {
  testsupport::TempDir dir;
  app.dataDirectory = dir.path();
  app.figures = frame::FigureStyle::German;
  Put(app.parameters.bank1Iban, "DE89 3704 0044 0532 0130 00");
  app.parameters.printPaymentTerms = 1;
  app.order.paymentPeriod = 14;
  Put(app.parameters.offerArticleNumber, "HOB-100");
  Put(app.parameters.offerDesignation, "Hobelbank aus massiver Buche mit zwei Schraubstöcken und Bankhaken");
  add(2, "HOB-100", "Hobelbank", 51850);
  enum Where { AtTerms, Below, Above, Nowhere };
  struct Case {
    const char* what;
    std::string footer;
    bool offer, legal;
    int lines;  // plain lines more, to bring the terms down the page
    Where where;
  };
  const std::string wide(250, 'x');
  const Case cases[] = {
      {"a short footer", "Vielen Dank für Ihren Auftrag.", false, true, 0, AtTerms},
      {"the offer of the week, narrower than the page", "Vielen Dank.", true, true, 0, AtTerms},
      {"a footer as wide as the page", wide, false, true, 0, Below},
      {"the terms at the foot of the page", "", false, false, 23, Above},
      {"the terms at the foot beside the tax base", "", false, true, 23, Nowhere},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app.order.lineCount = 1;
    for (int i = 0; i < c.lines; ++i) add(1, "A", "Zeile", 100);
    Put(app.parameters.footerInvoice, c.footer);
    app.parameters.printOffer = c.offer;
    einvoice::Settings settings;
    settings.legalLines = c.legal;
    settings.giroCode = false;
    ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
    const RecordingCanvas off = render(kJobInvoice);
    settings.giroCode = true;
    ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
    ui.shown.clear();
    const RecordingCanvas on = render(kJobInvoice);
    const std::vector<std::string> faults = testsupport::LayoutFaults(on, 2100, 2970);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first: " << faults.front();

    // Each text of the page without the code, in its place, and the caption.
    std::vector<std::tuple<std::string, int, int>> without, with;
    for (const auto* op : off.texts()) without.emplace_back(op->text, op->x, op->y);
    for (const auto* op : on.texts())
      if (op->text != "Zahlen mit Code") with.emplace_back(op->text, op->x, op->y);
    EXPECT_EQ(with, without);
    EXPECT_EQ(ReadCode(off).matrix.size, 0);
    const DrawnCode code = ReadCode(on);
    if (c.where == Nowhere) {
      EXPECT_EQ(code.matrix.size, 0);
      EXPECT_EQ(on.findText("Zahlen mit Code"), nullptr);
      ASSERT_EQ(ui.shown.size(), 1u);
      EXPECT_NE(ui.shown[0].text.find("ohne GiroCode"), std::string::npos) << ui.shown[0].text;
      continue;
    }
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_GT(code.matrix.size, 0);
    EXPECT_EQ(code.right - code.left, code.bottom - code.top);
    // The sheet of 210 x 297 mm is 2100 x 2970 units: ten a millimetre.
    EXPECT_GE(code.right - code.left, 20 * geometry.logicalWidth / 210);
    const int termsY = At(on, "Zahlung: innerhalb 14 Tagen bis zum 20.12.2026.").y;
    const int rightMargin = code.right == 1900;
    const int place = code.top == termsY ? AtTerms : code.top > termsY ? Below : Above;
    EXPECT_EQ(std::pair(place, rightMargin), std::pair(int{c.where}, c.where == Above ? 0 : 1))
        << "code at " << code.left << ".." << code.right << " x " << code.top << ".." << code.bottom
        << ", terms at " << termsY;
    const auto& caption = At(on, "Zahlen mit Code");
    EXPECT_EQ(caption.align, TextAlign::Centre);
    EXPECT_EQ(caption.x, (code.left + code.right) / 2);
    EXPECT_GE(caption.y, code.bottom + 4 * code.module);
    EXPECT_LE(caption.y, code.bottom + 100);
    const std::string due = c.lines ? "EUR1261.40" : "EUR1234.03";
    const orders::QrMatrix wanted = orders::EncodeQr(
        "BCD\n002\n1\nSCT\n\nSchreinerei Holzwurm GmbH\nDE89370400440532013000\n" + due +
        "\n\n\nRechnung 1261200001");
    EXPECT_EQ(code.matrix.size, wanted.size);
    EXPECT_TRUE(code.matrix.dark == wanted.dark) << "the drawn modules are not those of " << due;
    if (!c.lines) {
      EXPECT_NE(on.findText("1.234,03 EUR"), nullptr);
    }
    // No text or rule in the code or its quiet zone.
    const int quiet = 4 * code.module;
    auto onCode = [&](int left, int top, int right, int bottom) {
      return left < code.right + quiet && code.left - quiet < right && top < code.bottom + quiet &&
             code.top - quiet < bottom;
    };
    for (const testsupport::TextBox& box : testsupport::TextBoxes(on))
      EXPECT_FALSE(onCode(box.left, box.top, box.right, box.bottom)) << "\"" << box.text << "\" stands on the code";
    for (const auto* line : on.ofKind(Kind::Line))
      EXPECT_FALSE(onCode(std::min(line->x, line->x2), std::min(line->y, line->y2),
                          std::max(line->x, line->x2) + 1, std::max(line->y, line->y2) + 1))
          << "a rule at " << line->y << " crosses the code";
  }
}

}  // namespace
}  // namespace printing
