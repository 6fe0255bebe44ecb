// The order documents (jobs 1, 2, 3, 4, 20, 23) on the recording canvas:
// what each kind prints where, the amounts, and the page breaks.
#include "printing/order_document_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "frame/load_parameters.h"
#include "orders/order_math.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "printing_fixture.h"
#include "store/order_file.h"
#include "support/temp_dir.h"
#include "support/scripted_ui.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;
using printingtest::Put;

class OrderDocumentTest : public ::testing::Test {
 protected:
  OrderDocumentTest() {
    app.ui = &ui;
    app.parameters = printingtest::SampleParameters();
    Put(app.parameters.currencySymbol1, "EUR");
    store::SetTaxRate(app.parameters, 0, 2, 70);
    store::SetTaxRate(app.parameters, 0, 3, 190);
    Put(app.parameters.deliveryNoteTitle, "LIEFERSCHEIN");
    app.address = printingtest::SampleAddress();
    app.order.orderNumber = 1261200001;
    Put(app.order.invoiceDate, "06.12.2026");
    session.inputs.printDate = "06.12.2026";
  }

  store::OrderLine& add(double quantity, const std::string& number, const std::string& text,
                        std::int32_t price, std::int16_t taxCode = store::kTaxCodeRate2,
                        std::int16_t discount = 0) {
    store::OrderLine& line = app.orderLines[++app.order.lineCount];
    line = store::OrderLine{};
    line.quantity = quantity;
    Put(line.unit, "Stk");
    Put(line.articleNumber, number);
    Put(line.description1, text);
    line.salePrice = price;
    line.taxCode = taxCode;
    line.discount = discount;
    line.orderNumber = app.order.orderNumber;
    return line;
  }
  void addPlain(int count) {
    for (int i = 1; i <= count; ++i) add(1, "A" + std::to_string(i), "Zeile " + std::to_string(i), 100);
  }

  RecordingCanvas render(int job, bool preview = false) {
    session.job = job;
    app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
    RecordingCanvas canvas(preview);
    RenderContext context(app, session);
    outcome = MakeRenderer(job)->render(canvas, geometry, context);
    return canvas;
  }

  testsupport::ScriptedUi ui;
  frame::AppState app;
  PrintSession session{0, false, PreviewView{kPrintAllPages}, {}};
  PageGeometry geometry{2100, 2970, 4960, 7016};
  platform::FixedClock clock{{2026, 12, 6, 10, 0, 0}};
  RenderOutcome outcome;
};

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
  EXPECT_EQ(op.x, x) << text;
  EXPECT_EQ(op.y, y) << text;
  EXPECT_EQ(op.align, align) << text;
}

std::vector<int> Ys(const RecordingCanvas& canvas, const std::string& text) {
  std::vector<int> ys;
  for (const auto* op : canvas.texts())
    if (op->text == text) ys.push_back(op->y);
  return ys;
}

int Count(const RecordingCanvas& canvas, const std::string& text) {
  int n = 0;
  for (const auto* op : canvas.texts()) n += op->text == text;
  return n;
}

// The cents of a printed amount such as "-12.34 EUR", read from its text.
std::int64_t Cents(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  long long units = 0;
  unsigned hundredths = 0;
  char point = 0;
  int length = 0;
  const int read = std::sscanf(text.c_str() + negative, "%lld%c%2u%n", &units, &point, &hundredths, &length);
  EXPECT_TRUE(read >= 3 && point == '.' && text[negative + length] == ' ') << text;
  const std::int64_t cents = units * 100 + hundredths;
  return negative ? -cents : cents;
}

// The totals block as printed: each label with the amount beside it (and
// the fourth-currency amount when shown), read back from the page.
struct PrintedTotal {
  std::string label;
  std::int64_t cents = 0, fourthCents = 0;
};
std::vector<PrintedTotal> PrintedTotals(const RecordingCanvas& canvas, bool fourth) {
  const int labelX = fourth ? 1300 : 1650;
  std::vector<PrintedTotal> totals;
  for (const auto* label : canvas.texts()) {
    if (label->x != labelX || label->align != TextAlign::Right) continue;
    if (totals.empty() && label->text != "Netto-Summe" && label->text != "Brutto-Summe") continue;
    PrintedTotal total{label->text};
    for (const auto* amount : canvas.texts()) {
      if (amount->y != label->y || amount->align != TextAlign::Right) continue;
      if (amount->x == 1900) total.cents = Cents(amount->text);
      if (fourth && amount->x == 1650) total.fourthCents = Cents(amount->text);
    }
    totals.push_back(total);
  }
  return totals;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// The sum line, the discount line and the added tax lines make the final
// amount, in both currencies; contained tax is stated, not added. Gives the
// final line.
PrintedTotal ExpectTotalsAddUp(const RecordingCanvas& canvas, bool fourth) {
  const std::vector<PrintedTotal> totals = PrintedTotals(canvas, fourth);
  EXPECT_GE(totals.size(), 2u);
  if (totals.size() < 2) return {};
  std::int64_t sum = 0, fourthSum = 0;
  for (std::size_t i = 0; i + 1 < totals.size(); ++i) {
    if (StartsWith(totals[i].label, "enthaltene ")) continue;
    sum += totals[i].cents;
    fourthSum += totals[i].fourthCents;
  }
  EXPECT_EQ(sum, totals.back().cents) << totals.back().label;
  EXPECT_EQ(fourthSum, totals.back().fourthCents) << totals.back().label;
  return totals.back();
}

TEST_F(OrderDocumentTest, InvoiceHeaderRowsAndTotals) {
  add(2, "HOB-100", "Hobelbank", 1250);
  add(1, "LEIM-5", "Holzleim", 399, store::kTaxCodeRate1);
  Put(app.parameters.footerInvoice, "Vielen Dank für Ihren Auftrag.\r\nBitte überweisen Sie.");
  RecordingCanvas canvas = render(kJobInvoice);

  const auto& title = At(canvas, "RECHNUNG");
  EXPECT_EQ(title.font, (Font{"Times New Roman Fett", -80}));
  ExpectAt(canvas, "RECHNUNG", 150, 945);
  ExpectAt(canvas, "Datum: 06.12.2026", 1900, 955, TextAlign::Right);
  ExpectAt(canvas, "Nr.: 1261200001, Seite 1", 1000, 955);
  ExpectAt(canvas, "Kunden-Nr.: 10001", 1000, 1005);
  EXPECT_NE(canvas.findText("Herrn"), nullptr);  // the address block
  ExpectAt(canvas, "Anz.", 150, 1080);
  ExpectAt(canvas, "Art.Num.", 350, 1080);
  ExpectAt(canvas, "Bezeichnung", 500, 1080);
  ExpectAt(canvas, "UmSt", 1480, 1080, TextAlign::Right);
  ExpectAt(canvas, "E.-Preis", 1650, 1080, TextAlign::Right);
  ExpectAt(canvas, "Ges.-Preis", 1900, 1080, TextAlign::Right);
  EXPECT_EQ(canvas.findText("Rabatt"), nullptr);

  ExpectAt(canvas, "2 Stk", 150, 1140);
  ExpectAt(canvas, "HOB-100", 350, 1140);
  ExpectAt(canvas, "Hobelbank", 500, 1140);
  ExpectAt(canvas, "19.0%", 1480, 1140, TextAlign::Right);
  ExpectAt(canvas, "12.50", 1650, 1140, TextAlign::Right);
  ExpectAt(canvas, "25.00 EUR", 1900, 1140, TextAlign::Right);
  ExpectAt(canvas, "7.0%", 1480, 1190, TextAlign::Right);
  ExpectAt(canvas, "Holzleim", 500, 1190);

  // 28.99 net; 7 % of 3.99 is 0.2793, 19 % of 25.00 is 4.75; the gross is
  // rounded per class: 4.27 + 29.75.
  ExpectAt(canvas, "Netto-Summe", 1650, 1270, TextAlign::Right);
  ExpectAt(canvas, "28.99 EUR", 1900, 1270, TextAlign::Right);
  ExpectAt(canvas, "+ 7.0% UmSt", 1650, 1320, TextAlign::Right);
  ExpectAt(canvas, "0.28 EUR", 1900, 1320, TextAlign::Right);
  ExpectAt(canvas, "+ 19.0% UmSt", 1650, 1370, TextAlign::Right);
  ExpectAt(canvas, "4.75 EUR", 1900, 1370, TextAlign::Right);
  ExpectAt(canvas, "Rechnungsbetrag", 1650, 1420, TextAlign::Right);
  ExpectAt(canvas, "34.02 EUR", 1900, 1420, TextAlign::Right);
  EXPECT_EQ(app.order.total, 3402);
  ExpectAt(canvas, "Vielen Dank für Ihren Auftrag.", 150, 1520);
  ExpectAt(canvas, "Bitte überweisen Sie.", 150, 1570);

  // Rules: above the headings, under them, over the sum and the final
  // line, and the double rule under it.
  std::vector<std::pair<int, int>> rules;
  for (const auto* line : canvas.ofKind(Kind::Line))
    if (line->x2 == 1900) rules.emplace_back(line->x, line->y);
  EXPECT_EQ(rules, (std::vector<std::pair<int, int>>{
                       {150, 1070}, {150, 1125}, {1660, 1270}, {1660, 1420}, {1660, 1470}, {1660, 1475}}));
  EXPECT_EQ(session.view.targetPage, 1);
  EXPECT_EQ(outcome.lastPage, 1);
  EXPECT_EQ(canvas.findText(kPreviewPrompt), nullptr);
}

TEST_F(OrderDocumentTest, EachKindHasItsTitleFinalLabelAndFooterText) {
  add(1, "X", "Brett", 1000);
  Put(app.parameters.footerQuotation, "Fuß Ang.");
  Put(app.parameters.footerConfirmation, "Fuß Auft.");
  Put(app.parameters.footerDeliveryNote, "Fuß Lief.");
  Put(app.parameters.footerInvoice, "Fuß Rechn.");
  struct Case {
    int job;
    std::string title;
    int titleY;
    std::string finalLabel;
    std::string footer;
  };
  for (const Case& c : {Case{1, "ANGEBOT", 945, "Gesamtsumme", "Fuß Ang."},
                        Case{20, "AUFTRAGSBESTÄTIGUNG", 865, "Rechnungsbetrag", "Fuß Auft."},
                        Case{23, "KOSTENVORANSCHLAG", 865, "Rechnungsbetrag", "Fuß Auft."},
                        Case{2, "LIEFERSCHEIN", 945, "Gesamtsumme", "Fuß Lief."},
                        Case{3, "RECHNUNG", 945, "Rechnungsbetrag", "Fuß Rechn."},
                        Case{4, "SAMMELRECHNUNG", 945, "Rechnungsbetrag", "Fuß Rechn."}}) {
    SCOPED_TRACE(c.job);
    RecordingCanvas canvas = render(c.job);
    ExpectAt(canvas, c.title, 150, c.titleY);
    EXPECT_NE(canvas.findText(c.finalLabel), nullptr);
    EXPECT_NE(canvas.findText(c.footer), nullptr);
    EXPECT_EQ(Count(canvas, "Fuß Ang.") + Count(canvas, "Fuß Auft.") + Count(canvas, "Fuß Lief.") +
                  Count(canvas, "Fuß Rechn."),
              1);
  }

  // A footer field filled to its last byte has no terminator: only the
  // first 320 characters are the text.
  std::fill(std::begin(app.parameters.footerInvoice), std::end(app.parameters.footerInvoice), 'x');
  const RecordingCanvas filled = render(kJobInvoice);
  int printed = 0;
  for (const auto* op : filled.texts())
    if (op->text.find_first_not_of('x') == std::string::npos) printed += static_cast<int>(op->text.size());
  EXPECT_EQ(printed, 320);
}

TEST_F(OrderDocumentTest, CreditNoteHasNoPaymentTerms) {
  add(-1, "R-1", "Gutschrift Brett", 5000);
  app.order.paymentPeriod = 14;
  app.order.cashDiscount = 20;
  app.order.cashDiscountPeriod = 7;
  app.parameters.printPaymentTerms = 1;
  RecordingCanvas canvas = render(kJobInvoice);
  ASSERT_LT(app.order.total, 0);
  EXPECT_NE(canvas.findText("GUTSCHRIFT"), nullptr);
  EXPECT_EQ(canvas.findText("RECHNUNG"), nullptr);
  EXPECT_EQ(canvas.findText("Rechnungsbetrag"), nullptr);
  const auto& label = At(canvas, "Gutschrift");
  EXPECT_EQ(canvas.findText("-59.50 EUR")->y, label.y);
  // No payment terms at all: neither the payment line nor a cash discount.
  for (const auto* op : canvas.texts())
    EXPECT_EQ(op->text.find("Zahlung"), std::string::npos) << op->text;

  // The same as a delivery note credits "Guthaben".
  EXPECT_NE(render(kJobDeliveryNote).findText("Guthaben"), nullptr);

  // A positive invoice: the payment line in bold with the due date counted
  // from the invoice date, the cash-discount line in the same font.
  app.orderLines[1].quantity = 1;
  canvas = render(kJobInvoice);
  const auto& pay = At(canvas, "Zahlung: innerhalb 14 Tagen bis zum 20.12.2026.");
  EXPECT_EQ(pay.font, (Font{"Arial", -35, 900}));
  const auto& bold = At(canvas, "Bei Zahlung innerhalb der nächsten 7 Tage erhalten Sie 2.0% Skonto.");
  EXPECT_EQ(bold.y, pay.y + 40);
  EXPECT_EQ(bold.font.weight, 900);

  // Printed without an invoice date the terms count from the print date.
  Put(app.order.invoiceDate, "");
  session.inputs.printDate = "01.12.2026";
  EXPECT_NE(render(kJobInvoice).findText("Zahlung: innerhalb 14 Tagen bis zum 15.12.2026."), nullptr);
}

TEST_F(OrderDocumentTest, DeliveryNoteWithoutPricesKeepsTaxDispatchFooterAndSignature) {
  add(2, "HOB-100", "Hobelbank", 1250);
  app.parameters.pricesHidden = 1;
  app.parameters.printSignature = 1;
  Put(app.address.dispatch, "Spedition Maier");
  Put(app.parameters.footerDeliveryNote, "Fuß Lief.");
  RecordingCanvas canvas = render(kJobDeliveryNote);

  for (const char* gone : {"UmSt", "Rabatt", "E.-Preis", "Ges.-Preis", "12.50", "25.00 EUR",
                           "Netto-Summe", "Gesamtsumme", "+ 19.0% UmSt"})
    EXPECT_EQ(canvas.findText(gone), nullptr) << gone;
  ExpectAt(canvas, "19.0%", 1480, 1140, TextAlign::Right);
  // Straight from the rows to the closing texts.
  ExpectAt(canvas, "Der Versand erfolgt durch: Spedition Maier", 150, 1190);
  ExpectAt(canvas, "Fuß Lief.", 150, 1240);
  ExpectAt(canvas, "Ich bestätige den ordnungsgemäßen Erhalt der Ware und Leistungen.", 150, 1340);
  ExpectAt(canvas, std::string(65, '-'), 150, 1490);
  ExpectAt(canvas, "Datum                                           Unterschrift", 150, 1530);

  // With prices the same note has its columns and totals.
  app.parameters.pricesHidden = 0;
  canvas = render(kJobDeliveryNote);
  EXPECT_NE(canvas.findText("Ges.-Preis"), nullptr);
  EXPECT_NE(canvas.findText("Gesamtsumme"), nullptr);
  // The signature block belongs to delivery notes only.
  EXPECT_EQ(render(kJobInvoice).findText(std::string(65, '-')), nullptr);
}

TEST_F(OrderDocumentTest, BackOrderLinesAreAnnouncedOnDeliveryNotesAndLeftOutOfInvoices) {
  add(1, "A", "Geliefert", 1000);
  add(3, "B", "Fehlt noch", 2000).flags = store::kLineBackOrder;
  add(1, "C", "Auch geliefert", 500);

  RecordingCanvas note = render(kJobDeliveryNote);
  ExpectAt(note, "Fehlt noch", 500, 1190);
  ExpectAt(note, "------Wird in Kürze nachgeliefert------", 500, 1230);
  ExpectAt(note, "Auch geliefert", 500, 1280);
  EXPECT_NE(note.findText("75.00 EUR"), nullptr);  // all three lines: 15.00 + 60.00

  RecordingCanvas invoice = render(kJobInvoice);
  EXPECT_EQ(invoice.findText("Fehlt noch"), nullptr);
  EXPECT_EQ(invoice.findText("------Wird in Kürze nachgeliefert------"), nullptr);
  ExpectAt(invoice, "Auch geliefert", 500, 1190);
  ExpectAt(invoice, "15.00 EUR", 1900, 1270, TextAlign::Right);  // the net sum
  EXPECT_NE(invoice.findText("17.85 EUR"), nullptr);
}

TEST_F(OrderDocumentTest, CollectiveInvoiceShowsTheDeliveryNumbersAndThePricesWithoutHeadings) {
  add(1, "A", "Aus Auftrag drei", 1000).orderNumber = 1261100003;
  add(2, "B", "Aus Auftrag sieben", 500, store::kTaxCodeRate2, 100).orderNumber = 1261100007;
  RecordingCanvas canvas = render(kJobCollectiveInvoice);
  ExpectAt(canvas, "Seite 1", 1000, 955);
  ExpectAt(canvas, "Lief.-Nr.", 1480, 1080, TextAlign::Right);
  for (const char* gone : {"UmSt", "Rabatt", "E.-Preis", "Ges.-Preis", "10.0%"})
    EXPECT_EQ(canvas.findText(gone), nullptr) << gone;
  ExpectAt(canvas, "1261100003", 1480, 1140, TextAlign::Right);
  ExpectAt(canvas, "1261100007", 1480, 1190, TextAlign::Right);
  EXPECT_EQ(At(canvas, "19.0%").x, 1250);
  ExpectAt(canvas, "5.00", 1650, 1190, TextAlign::Right);
  ExpectAt(canvas, "9.00 EUR", 1900, 1190, TextAlign::Right);
}

TEST_F(OrderDocumentTest, DiscountSumLineOnlyForCustomersWhoWantIt) {
  add(10, "A", "Rabattiert", 1000, store::kTaxCodeRate2, 100);
  RecordingCanvas plain = render(kJobInvoice);
  ExpectAt(plain, "UmSt", 1350, 1080, TextAlign::Right);
  ExpectAt(plain, "Rabatt", 1480, 1080, TextAlign::Right);
  ExpectAt(plain, "10.0%", 1480, 1140, TextAlign::Right);
  ExpectAt(plain, "19.0%", 1350, 1140, TextAlign::Right);
  ExpectAt(plain, "90.00 EUR", 1900, 1140, TextAlign::Right);
  ExpectAt(plain, "Netto-Summe", 1650, 1220, TextAlign::Right);
  EXPECT_EQ(plain.findText("./. Rabatt-Summe"), nullptr);

  app.address.salutation |= store::kAddressPrintDiscountSum;
  RecordingCanvas sum = render(kJobInvoice);
  ExpectAt(sum, "Netto-Summe", 1650, 1220, TextAlign::Right);
  ExpectAt(sum, "100.00 EUR", 1900, 1220, TextAlign::Right);
  ExpectAt(sum, "./. Rabatt-Summe", 1650, 1270, TextAlign::Right);
  ExpectAt(sum, "-10.00 EUR", 1900, 1270, TextAlign::Right);
  ExpectAt(sum, "17.10 EUR", 1900, 1320, TextAlign::Right);
  ExpectAt(sum, "107.10 EUR", 1900, 1370, TextAlign::Right);
}

TEST_F(OrderDocumentTest, GrossOrdersPrintedGrossOrAsNet) {
  store::SetTaxRate(app.parameters, 0, 2, 250);
  add(1, "A", "Brutto", 12500, store::kTaxCodeRate1);

  // 12500 gross at 25 %: the contained 2500 come off the net figure.
  app.order.flags = store::kOrderPricesIncludeTax | store::kOrderGrossAsNet;
  RecordingCanvas asNet = render(kJobInvoice);
  ExpectAt(asNet, "Netto-Summe", 1650, 1220, TextAlign::Right);
  ExpectAt(asNet, "100.00 EUR", 1900, 1220, TextAlign::Right);
  ExpectAt(asNet, "+ 25.0% UmSt", 1650, 1270, TextAlign::Right);
  ExpectAt(asNet, "25.00 EUR", 1900, 1270, TextAlign::Right);
  ExpectAt(asNet, "Rechnungsbetrag", 1650, 1320, TextAlign::Right);
  EXPECT_EQ(Ys(asNet, "125.00 EUR"), (std::vector<int>{1140, 1320}));

  app.order.flags = store::kOrderPricesIncludeTax;
  RecordingCanvas gross = render(kJobInvoice);
  ExpectAt(gross, "Brutto-Summe", 1650, 1220, TextAlign::Right);
  ExpectAt(gross, "enthaltene 25.0% UmSt", 1650, 1270, TextAlign::Right);
  ExpectAt(gross, "25.00 EUR", 1900, 1270, TextAlign::Right);
  ExpectAt(gross, "Rechnungsbetrag", 1650, 1320, TextAlign::Right);
  EXPECT_EQ(Ys(gross, "125.00 EUR"), (std::vector<int>{1140, 1220, 1320}));

  // The as-net flag on a net order: its prices are net already.
  app.order.flags = store::kOrderGrossAsNet;
  RecordingCanvas net = render(kJobInvoice);
  ExpectAt(net, "Netto-Summe", 1650, 1220, TextAlign::Right);
  EXPECT_EQ(Ys(net, "125.00 EUR"), (std::vector<int>{1140, 1220}));
  ExpectAt(net, "31.25 EUR", 1900, 1270, TextAlign::Right);
  ExpectAt(net, "156.25 EUR", 1900, 1320, TextAlign::Right);
}

// Random orders, net and gross, with discounts, credits, back-orders and
// both tax classes: what the invoice prints adds up to the cent, its final
// amount is the stored total, and a gross order states the same contained
// tax whether it is printed gross or as net.
TEST_F(OrderDocumentTest, PrintedNetAndTaxLinesAddUpToTheInvoiceAmount) {
  std::mt19937 random(20261206);
  Put(app.parameters.currencySymbol4, "DM");
  app.parameters.exchangeRates[3] = 1.95583f;
  const std::int16_t rates[][2] = {{70, 190}, {50, 160}, {25, 77}, {0, 1000}};
  const std::int16_t codes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2,
                                store::kTaxCodeRate2, 3};
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    const auto& pair = rates[random() % 4];
    store::SetTaxRate(app.parameters, 0, 2, pair[0]);
    store::SetTaxRate(app.parameters, 0, 3, pair[1]);
    app.parameters.fourthCurrencyPrint = random() % 4 == 0;
    app.address.salutation = random() % 3 == 0 ? store::kAddressPrintDiscountSum : 0;
    app.order.lineCount = 0;
    for (int i = static_cast<int>(random() % 8); i > 0; --i) {
      const double quantity = (static_cast<int>(random() % 20001) - 4000) / 1000.0;
      const auto price = static_cast<std::int32_t>(random() % 300001) - 20000;
      const auto discount = static_cast<std::int16_t>(random() % 3 == 0 ? random() % 1001 : 0);
      add(quantity, "A", "Zeile", price, codes[random() % 5], discount).flags =
          random() % 9 == 0 ? store::kLineBackOrder : 0;
    }
    const int kind = static_cast<int>(random() % 3);  // net, gross, gross as net
    app.order.flags = kind == 0 ? 0 : store::kOrderPricesIncludeTax | (kind == 2 ? store::kOrderGrossAsNet : 0);
    const bool fourth = app.parameters.fourthCurrencyPrint != 0;

    const RecordingCanvas printed = render(kJobInvoice);
    ASSERT_EQ(ExpectTotalsAddUp(printed, fourth).cents, app.order.total);
    if (kind == 0) continue;
    auto taxLines = [&](const RecordingCanvas& canvas) {
      std::vector<std::pair<std::int64_t, std::int64_t>> tax;
      for (const PrintedTotal& t : PrintedTotals(canvas, fourth))
        if (StartsWith(t.label, "+ ") || StartsWith(t.label, "enthaltene "))
          tax.emplace_back(t.cents, t.fourthCents);
      return tax;
    };
    app.order.flags ^= store::kOrderGrossAsNet;
    const RecordingCanvas other = render(kJobInvoice);
    ExpectTotalsAddUp(other, fourth);
    ASSERT_EQ(taxLines(printed), taxLines(other));
  }
}

// Data directories kept from a fuzzing run: a line beyond 32-bit cents and a
// tax rate of -100 %. The invoice is printed without absurd figures, adds
// up, and the user is told what was left out or clamped.
TEST_F(OrderDocumentTest, DamagedStoredValuesAreLeftOutOrClampedWithAMessage) {
  struct Case {
    std::string directory;
    std::int32_t order;
    std::string message;
  };
  for (const Case& c : {Case{"line-amount-overflow", 1001, "außerhalb des Rechenbereichs"},
                        Case{"negative-tax-rate", 1002, "Der Steuersatz -100.0 %"},
                        Case{"negative-tax-rate", 1001, "Der Steuersatz -100.0 %"}}) {
    SCOPED_TRACE(c.directory + " " + std::to_string(c.order));
    testsupport::TempDir dir;
    namespace fs = std::filesystem;
    fs::copy(fs::path(BELVON_TEST_DATA_DIR) / "damaged" / c.directory, dir.path(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const auto& file : fs::directory_iterator(dir.path()))
      fs::permissions(file.path(), fs::perms::owner_write, fs::perm_options::add);
    app.dataDirectory = dir.path();
    app.clock = &clock;
    frame::LoadParameters(app);
    store::OrderHead criteria{};
    criteria.orderNumber = c.order;
    std::int32_t position = -1;
    ASSERT_EQ(store::FindOrder(app, criteria, position, true), 1);
    ASSERT_EQ(store::ReadOrder(app, app.order, position), 1);
    ui.shown.clear();

    const RecordingCanvas canvas = render(kJobInvoice);
    const bool fourth = app.parameters.fourthCurrencyPrint != 0 && app.order.currency == 0;
    for (const PrintedTotal& t : PrintedTotals(canvas, fourth))
      EXPECT_LT(std::max(std::abs(t.cents), std::abs(t.fourthCents)), 100000000) << t.label;
    ExpectTotalsAddUp(canvas, fourth);
    int told = 0;
    for (const auto& shown : ui.shown) told += shown.text.find(c.message) != std::string::npos;
    EXPECT_EQ(told, 1);
  }
}

// Free texts stay in their column: a description column for the long texts
// (three of 200 characters, one with a word wider than the column), the
// page width for the footer, broken across a page like any other line.
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
  Put(app.parameters.footerInvoice, std::string(300, 'F'));
  const RecordingCanvas canvas = render(kJobInvoice);

  const auto& rate = At(canvas, "19.0%");
  RecordingCanvas measure;
  auto width = [&](const RecordingCanvas::Op& op) {
    measure.selectFont(op.font);
    return measure.textExtent(op.text).cx;
  };
  std::string printed;
  std::vector<std::size_t> pieces;  // op indices of the long-text lines
  for (std::size_t i = 0; i < canvas.ops().size(); ++i) {
    const auto& op = canvas.ops()[i];
    if (op.kind != Kind::Text || op.align != TextAlign::Left) continue;
    if (op.text[0] == 'F') {
      EXPECT_LE(op.x + width(op), 1900) << op.text;
    }
    if (op.x != 500 || op.text == "Langtext" || op.text == "Bezeichnung" || StartsWith(op.text, "Zeile "))
      continue;
    EXPECT_LT(op.x + width(op), rate.x - width(rate)) << op.text;
    printed += op.text;
    pieces.push_back(i);
  }
  std::erase(all, ' ');
  std::erase(printed, ' ');
  EXPECT_EQ(printed, all);
  // The page ends between two lines of one long text.
  const auto& note = At(canvas, "Die Auflistung wird auf Seite 2 fortgesetzt.");
  const std::size_t noteIndex = static_cast<std::size_t>(&note - canvas.ops().data());
  const auto after = std::upper_bound(pieces.begin(), pieces.end(), noteIndex);
  ASSERT_TRUE(after != pieces.begin() && after != pieces.end());
  EXPECT_EQ(canvas.ops()[*(after - 1)].y + 40, note.y);
  for (std::size_t i = *(after - 1); i < *after; ++i) EXPECT_NE(canvas.ops()[i].text, "Langtext");
  EXPECT_EQ(Count(canvas, std::string(300, 'F')), 0);
}

TEST_F(OrderDocumentTest, WideArticleNumberPushesTheRestOfItsRowOneLineDown) {
  // Nine characters are 157 wide on the recording canvas, eight are 140.
  add(1, "ABCDEFGHI", "Breit", 1000);
  add(1, "ABCDEFGH", "Schmal", 1000);
  RecordingCanvas canvas = render(kJobInvoice);
  ExpectAt(canvas, "ABCDEFGHI", 350, 1140);
  ExpectAt(canvas, "Breit", 500, 1180);
  EXPECT_EQ(At(canvas, "10.00").y, 1180);
  ExpectAt(canvas, "ABCDEFGH", 350, 1230);
  ExpectAt(canvas, "Schmal", 500, 1230);

  // Without article numbers nothing is pushed.
  app.parameters.hideArticleNumber = 1;
  canvas = render(kJobInvoice);
  EXPECT_EQ(canvas.findText("Art.Num."), nullptr);
  EXPECT_EQ(canvas.findText("ABCDEFGHI"), nullptr);
  ExpectAt(canvas, "Schmal", 500, 1190);
}

TEST_F(OrderDocumentTest, RowExtrasStackUnderTheDescription) {
  store::OrderLine& line = add(1, "T-1", "Tisch", 1000);
  line.flags = store::kLineSpecialPrice;
  Put(line.description2, "Eiche massiv");
  Put(line.longText, "A\r\n\r\nB\r\n");
  add(1, "T-2", "Danach", 1000);
  RecordingCanvas canvas = render(kJobInvoice);
  ExpectAt(canvas, "-----Sonderpreis-----", 500, 1180);
  ExpectAt(canvas, "Eiche massiv", 500, 1220);
  ExpectAt(canvas, "A", 500, 1260);
  ExpectAt(canvas, "B", 500, 1340);  // after the empty line
  // The closing line feed is one more empty line, then the row gap.
  ExpectAt(canvas, "Danach", 500, 1430);
}

TEST_F(OrderDocumentTest, FourthCurrencyMakesPricedRowsTallerAndDoublesTheTotals) {
  app.parameters.fourthCurrencyPrint = 1;
  app.parameters.exchangeRates[3] = 2.0f;
  Put(app.parameters.currencySymbol4, "DM");
  add(1, "A", "Preis", 1000);
  add(0, "", "Nur Text", 0);
  add(3, "C", "Preis drei", 333);
  RecordingCanvas canvas = render(kJobInvoice);
  ExpectAt(canvas, "Preis", 500, 1140);
  ExpectAt(canvas, "20.00", 1650, 1180, TextAlign::Right);
  // "EUR" is 17 wider than "DM": the figures end at the same x.
  ExpectAt(canvas, "20.00 DM", 1900 - 17, 1180, TextAlign::Right);
  ExpectAt(canvas, "Nur Text", 500, 1230);
  ExpectAt(canvas, "Preis drei", 500, 1280);
  ExpectAt(canvas, "19.98 DM", 1883, 1320, TextAlign::Right);

  // Totals: labels at 1300, fourth currency at 1650, rules from 1350.
  ExpectAt(canvas, "Netto-Summe", 1300, 1400, TextAlign::Right);
  ExpectAt(canvas, "39.98 DM", 1650, 1400, TextAlign::Right);
  ExpectAt(canvas, "19.99 EUR", 1900, 1400, TextAlign::Right);
  ExpectAt(canvas, "47.58 DM", 1650, 1500, TextAlign::Right);
  ExpectAt(canvas, "23.79 EUR", 1900, 1500, TextAlign::Right);
  bool rule = false;
  for (const auto* line : canvas.ofKind(Kind::Line)) rule |= line->x == 1350 && line->y == 1400;
  EXPECT_TRUE(rule);

  // An order in another currency shows no fourth-currency figures.
  app.order.currency = 1;
  Put(app.parameters.currencySymbol2, "CHF");
  canvas = render(kJobInvoice);
  EXPECT_EQ(canvas.findText("20.00"), nullptr);
  ExpectAt(canvas, "Preis drei", 500, 1240);
}

// What remains visible in the preview: the texts after the last clean sheet.
std::vector<std::string> Visible(const RecordingCanvas& canvas) {
  std::vector<std::string> shown;
  for (const auto& op : canvas.ops()) {
    if (op.kind == Kind::Fill && op.colour == kWhite) shown.clear();
    if (op.kind == Kind::Text) shown.push_back(op.text);
  }
  return shown;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST_F(OrderDocumentTest, ThreePagesPagedInThePreview) {
  addPlain(80);
  session.view.targetPage = 1;
  auto page = [&] {
    RecordingCanvas canvas = render(kJobInvoice, true);
    EXPECT_TRUE(canvas.ofKind(Kind::EndPage).empty());
    return Visible(canvas);
  };
  std::vector<std::string> first = page();
  EXPECT_TRUE(Contains(first, "Nr.: 1261200001, Seite 1"));
  // The preview shows the continuation note as the paper has it.
  EXPECT_TRUE(Contains(first, "Die Auflistung wird auf Seite 2 fortgesetzt."));
  EXPECT_TRUE(outcome.morePages);
  EXPECT_EQ(session.view.targetPage, 1);
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  std::vector<std::string> third = page();
  EXPECT_TRUE(Contains(third, "Nr.: 1261200001, Seite 3"));
  EXPECT_TRUE(Contains(third, "Rechnungsbetrag"));
  EXPECT_TRUE(Contains(third, kPreviewPrompt));
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  EXPECT_EQ(session.view.targetPage, 4);
  EXPECT_TRUE(Contains(page(), "Nr.: 1261200001, Seite 3"));
  EXPECT_EQ(session.view.targetPage, 3);
  HandlePreviewKey(session.view, PreviewKey::PageUp);
  std::vector<std::string> second = page();
  EXPECT_TRUE(Contains(second, "Nr.: 1261200001, Seite 2"));
  EXPECT_FALSE(Contains(second, "Zeile 80"));
  EXPECT_TRUE(Contains(second, "Linke Maustaste zum Drucken, Rechte zum Beenden..."));

  // On paper the same document is three pages, and TargetPage says so.
  session.view.targetPage = kPrintAllPages;
  RecordingCanvas paper = render(kJobInvoice);
  EXPECT_EQ(paper.ofKind(Kind::EndPage).size(), 2u);
  EXPECT_EQ(paper.ofKind(Kind::StartPage).size(), 2u);
  EXPECT_EQ(session.view.targetPage, 3);
  EXPECT_EQ(Count(paper, "Bezeichnung"), 3);  // row breaks carry the headings
  EXPECT_EQ(At(paper, "Zeile 80").mapping, (Mapping{0, 0, 2100, 2970, 4960, 7016}));

  // A failing page end stops the document there.
  session.view.targetPage = kPrintAllPages;
  RecordingCanvas failing(false);
  failing.failEndPageFrom(1);
  RenderContext context(app, session);
  RenderOutcome stopped = MakeRenderer(kJobInvoice)->render(failing, geometry, context);
  EXPECT_EQ(stopped.lastPage, 1);
  EXPECT_EQ(failing.findText("Nr.: 1261200001, Seite 2"), nullptr);
  EXPECT_EQ(session.view.targetPage, kPrintAllPages);
}

TEST_F(OrderDocumentTest, ARowEndingExactlyAtTheReserveLimitDoesNotBreak) {
  // A 3 mm vertical offset makes the page 2940 high: rows end at 1140 + 50 k
  // and line 29 ends at 2590, exactly 350 above the bottom.
  addPlain(29);
  app.parameters.printOffsetVertical = 3;
  RecordingCanvas atLimit = render(kJobInvoice);
  EXPECT_EQ(Count(atLimit, "Bezeichnung"), 1);  // only the totals broke, without headings
  EXPECT_NE(At(atLimit, "Die Auflistung wird auf Seite 2 fortgesetzt.").y, 2590);

  app.parameters.printOffsetVertical = 4;  // one millimetre less page
  RecordingCanvas beyond = render(kJobInvoice);
  ExpectAt(beyond, "Die Auflistung wird auf Seite 2 fortgesetzt.", 150, 2590);
  EXPECT_EQ(Count(beyond, "Bezeichnung"), 2);
  // The shortened page also lifts the footer.
  EXPECT_EQ(beyond.findText("34117 Kassel")->y, 2970 - 40 - 40);
  EXPECT_EQ(beyond.ops().front().mapping.originY, -40);

  // A cash discount on an invoice and the offer of the week widen the reserve.
  app.parameters.printOffsetVertical = 3;
  app.order.cashDiscount = 20;
  EXPECT_EQ(Count(render(kJobInvoice), "Bezeichnung"), 2);
  EXPECT_EQ(Count(render(kJobQuotation), "Bezeichnung"), 1);
}

TEST_F(OrderDocumentTest, ContinuationPageHeads) {
  addPlain(40);
  app.parameters.printPhoneFax = 1;
  Put(app.address.phone, "0561 777");
  Put(app.address.fax, "0561 778");

  // The letterhead names in their own fonts with the bar; four names put
  // the page's info at 380.
  RecordingCanvas head = render(kJobInvoice);
  std::vector<const RecordingCanvas::Op*> names;
  for (const auto* op : head.texts())
    if (op->text == "Schreinerei Holzwurm") names.push_back(op);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1]->font, (Font{"Arial", -100, 700, true}));
  ExpectAt(head, "Nr.: 1261200001, Seite 2", 1000, 355);
  EXPECT_EQ(Count(head, "Tel:0561 777, Fax:0561 778"), 2);
  int bars = 0;
  for (const auto* fill : head.ofKind(Kind::Fill))
    bars += fill->y == 185 && fill->y2 == 195 && fill->x == 150 + 20 * 50 && fill->colour == kGrey;
  EXPECT_EQ(bars, 1);

  // Without letterhead the customer's address stands where it stood.
  app.parameters.printLetterhead = 0;
  RecordingCanvas address = render(kJobInvoice);
  EXPECT_EQ(Count(address, "Dr. Hans"), 2);
  ExpectAt(address, "Nr.: 1261200001, Seite 2", 1000, 955);
  // The telephone line stands 5 mm above the date, as on the first page.
  std::vector<int> phoneYs;
  for (const auto* op : address.texts())
    if (op->text == "Tel:0561 777, Fax:0561 778") phoneYs.push_back(op->y);
  EXPECT_EQ(phoneYs, (std::vector<int>{905, 905}));

  // "Ab S.2 kein Kopf": a bare page from 300.
  app.parameters.noLetterheadFromPage2 = 1;
  RecordingCanvas bare = render(kJobInvoice);
  EXPECT_EQ(Count(bare, "Dr. Hans"), 1);
  ExpectAt(bare, "Nr.: 1261200001, Seite 2", 1000, 275);
  EXPECT_EQ(Ys(bare, "RECHNUNG"), (std::vector<int>{945, 275}));

  // Order confirmations carry no title on later pages.
  EXPECT_EQ(Count(render(kJobConfirmation), "AUFTRAGSBESTÄTIGUNG"), 1);
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
  EXPECT_EQ(sheet->x, -100);
  EXPECT_EQ(sheet->y, -300);
  EXPECT_EQ(sheet->x2, 2350);
  EXPECT_EQ(sheet->y2, 2870);
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
  Font found{"Courier", -20};
  session.job = kJobInvoice;
  RecordingCanvas canvas(true);
  canvas.selectFont(found);
  RenderContext context(app, session);
  MakeRenderer(kJobInvoice)->render(canvas, geometry, context);
  EXPECT_NE(canvas.findText("Zeile 1"), nullptr);
  EXPECT_EQ(canvas.findText("Zeile 2"), nullptr);
  EXPECT_EQ(canvas.findText("Netto-Summe"), nullptr);
  EXPECT_EQ(canvas.findText(kPreviewPrompt), nullptr);
  EXPECT_EQ(session.view.targetPage, 5);
  EXPECT_EQ(canvas.font(), found);
}

TEST_F(OrderDocumentTest, OfferOfTheWeekAndCustomerLinesOnInvoices) {
  add(1, "A", "Brett", 1000);
  app.parameters.printOffer = 1;
  Put(app.parameters.offerArticleNumber, "W-7");
  Put(app.parameters.offerDesignation, "Werkbank");
  app.parameters.offerPrice = 19900;
  Put(app.address.vatId, "DE999");
  Put(app.address.dispatch, "DHL");
  app.parameters.noCustomerNumberPrint = 1;
  RecordingCanvas canvas = render(kJobInvoice);
  EXPECT_EQ(canvas.findText("Kunden-Nr.: 10001"), nullptr);
  const auto& vat = At(canvas, "Umsatzsteuer-Ident.-Nr.: DE999");
  ExpectAt(canvas, "Der Versand erfolgt durch: DHL", 1000, vat.y);
  ExpectAt(canvas, "Unser Angebot der Woche lautet:", 150, vat.y + 100);
  ExpectAt(canvas, "Werkbank, Bestellnummer W-7 zum Preis von nur 199.00 EUR.", 150, vat.y + 140);

  // Without a VAT number the dispatch line moves to the left margin.
  Put(app.address.vatId, "");
  EXPECT_EQ(At(render(kJobInvoice), "Der Versand erfolgt durch: DHL").x, 150);
}

}  // namespace
}  // namespace printing
