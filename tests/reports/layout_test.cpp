// Every list, statistic and letter with the largest values its fields hold:
// 42-character names, 9-digit customer numbers, amounts up to 9 999 999.99
// in four currencies, pages full of rows. Nothing may be printed over
// another text or off the sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "core/decimal.h"
#include "core/figures.h"
#include "platform/cp1252.h"
#include "reports/report_book.h"
#include "store/address_file.h"
#include "support/layout_check.h"

namespace reporttest {
namespace {

constexpr int kSheetWidth = 2100, kSheetHeight = 2970;
// The largest total an invoice of 19 % may carry: 8 403 361.34 net.
constexpr std::int32_t kLargestNet = 840336134;
constexpr const char* kArticle = "ELT-KAB-2000-WEISS-90X";

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store::ParameterRecord& p = book.app.parameters;
    store::SetText(p.currencySymbol4, "USD");
    p.exchangeRates[3] = 1.1f;
    store::SetText(p.companyName1, platform::Utf8ToCp1252("Elektro-Installationen Müllermeister GmbH"));
    store::SetText(p.street, platform::Utf8ToCp1252("Hauptstraße 123"));
    store::SetText(p.town, platform::Utf8ToCp1252("12345 Müllheim-Oberweiler"));
    p.printFooter = 1;
    store::ArticleRecord article{};
    article.length = sizeof article;
    store::SetText(article.number, kArticle);
    store::SetText(article.designation, platform::Utf8ToCp1252("Kabelkanal-Verbindungsstück Winkel weiß 90°"));
    store::SetText(article.supplier, "GROSSHANDEL");
    // Stock worth seven digits in either list, and a proposal to order.
    article.price1 = 99999999;
    article.purchasePrice = 99999999;
    article.stock[0] = 9;
    article.minimumStock = 20;
    article.targetStock = 99999;
    std::int32_t position = -1;
    store::WriteArticle(book.app, article, position, true);
    book.app.article = article;
    // Sixty invoices, two years back from December 2026, in four currencies.
    for (int c = 0; c < 60; ++c) {
      const std::int32_t ref = customer(c);
      const std::string date = frame::Format("15.%02d.%d", 12 - c % 12, 2026 - c / 12 % 2);
      book.put(ref, Head{.date = date.c_str(), .currency = static_cast<std::uint8_t>(c % 4), .paid = 100},
               {L{.quantity = 1, .price = kLargestNet - c, .article = kArticle}});
    }
    // A credit note of the same size.
    book.put(customer(60), Head{.date = "15.12.2026"},
             {L{.quantity = -1, .price = kLargestNet, .article = kArticle}});
    // An order of a hundred and one back-order lines.
    std::vector<L> lines(101, L{.quantity = 999, .price = 99999999, .article = kArticle,
                                .flags = store::kLineBackOrder});
    book.put(customer(99), Head{.flags = store::kOrderHasBackOrder | store::kOrderDeliveryNotePrinted},
             lines);
  }

  // A customer with every field at its longest.
  std::int32_t customer(int n) {
    store::AddressRecord a{};
    a.length = sizeof a;
    a.kind = store::kAddressCustomer;
    a.salutation = store::kSalutationCompany;
    store::SetText(a.customerNumber, std::to_string(900000000 + n));
    store::SetText(a.name1, "Wolfgang-Amadeus-Mozart-Elektroinstallatio");
    store::SetText(a.name2, platform::Utf8ToCp1252("Schwarzwaldmühlen-Betriebsgesellschaft " + std::to_string(100 + n)));
    store::SetText(a.name3, platform::Utf8ToCp1252("Abteilung Einkauf und Rechnungsprüfung Nord"));
    store::SetText(a.street, platform::Utf8ToCp1252("Bürgermeister-Müller-Weg 1234 Hinterhaus C"));
    store::SetText(a.town, platform::Utf8ToCp1252("D-79999 Schwarzwaldmühlen-Oberweilerbachta"));
    std::int32_t position = -1;
    store::WriteAddress(book.app, a, position, true);
    store::ReadAddress(book.app, book.app.address, position);
    return static_cast<std::int32_t>(book.app.addresses.entry.offset);
  }

  printing::RecordingCanvas render(int job, printing::JobInputs inputs = {}) {
    printing::RecordingCanvas canvas(false);
    printing::PrintSession session;
    session.job = job;
    if (inputs.reportFrom.empty()) inputs.reportFrom = "01.01.2026";
    if (inputs.reportTo.empty()) inputs.reportTo = "31.12.2026";
    if (inputs.printDate.empty()) inputs.printDate = "31.12.2026";
    session.inputs = inputs;
    session.view.targetPage = printing::kPrintAllPages;
    printing::RenderContext context(book.app, session);
    context.warningSink = [this](const std::string& text) { book.warnings.push_back(text); };
    book.outcome = printing::MakeRenderer(job)->render(canvas, {kSheetWidth, kSheetHeight, kSheetWidth, kSheetHeight}, context);
    return canvas;
  }

  void expectTidy(int job, const printing::JobInputs& inputs = {}, int width = kSheetWidth) {
    SCOPED_TRACE("job " + std::to_string(job));
    const std::vector<std::string> faults =
        testsupport::LayoutFaults(render(job, inputs), width, kSheetHeight);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first: " << faults.front();
  }

  ReportBook book;
};

TEST_F(LayoutTest, ListsAndStatisticsKeepEveryTextInItsPlace) {
  // Open and unprinted invoices, hit lists, journal, order proposals,
  // address lists, article lists with stock values, article turnover.
  for (const frame::FigureStyle style : {frame::FigureStyle::Point, frame::FigureStyle::German}) {
    SCOPED_TRACE(style == frame::FigureStyle::Point ? "point" : "German");
    book.app.figures = style;
    book.app.articleCriteria = {};
    for (int job : {5, 6, 7, 8, 9, 13, 14, 15, 17, 18, 22}) expectTidy(job);
    // The turnover graph over two years, filtered by an article selection.
    // Every month names its turnover and profit, if need be in thousands.
    store::SetText(book.app.articleCriteria.number, "ELT");
    expectTidy(12, {.reportFrom = "01.01.2025", .reportTo = "31.12.2026"});
    int values = 0;
    const printing::RecordingCanvas graph =
        render(12, {.reportFrom = "01.01.2025", .reportTo = "31.12.2026"});
    for (const auto* op : graph.texts())
      values += op->align == printing::TextAlign::Centre && op->y < 1800;
    EXPECT_EQ(values, 2 * 24);
  }
}

// The journal in German figures shows the figures of the point style in the
// same places: each amount reads back as the same number.
TEST_F(LayoutTest, TheGermanJournalShowsThePointFigures) {
  const printing::RecordingCanvas point = render(8);
  book.app.figures = frame::FigureStyle::German;
  const printing::RecordingCanvas german = render(8);
  const auto p = point.texts(), g = german.texts();
  ASSERT_EQ(p.size(), g.size());
  auto split = [](const std::string& text) {
    const std::size_t blank = text.rfind(' ');
    return std::pair{frame::ReadNumber(text.substr(0, blank)), text.substr(blank + 1)};
  };
  int amounts = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    SCOPED_TRACE(p[i]->text + " / " + g[i]->text);
    EXPECT_EQ(p[i]->x, g[i]->x);
    EXPECT_EQ(p[i]->y, g[i]->y);
    if (p[i]->text == g[i]->text) continue;
    if (p[i]->text.starts_with("Steuersätze")) {
      EXPECT_EQ(g[i]->text, "Steuersätze: 7,0 % und 19,0 %");
      continue;
    }
    ++amounts;
    const auto [pointValue, pointCurrency] = split(p[i]->text);
    const auto [germanValue, germanCurrency] = split(g[i]->text);
    ASSERT_TRUE(pointValue && germanValue);
    EXPECT_EQ(*germanValue, *pointValue);
    EXPECT_EQ(germanCurrency, pointCurrency);
  }
  EXPECT_EQ(amounts, 4 * 37 + 4 * 4);  // the rows of 2026 and the total rows
  EXPECT_NE(german.findText("-9.999.999,99 EUR"), nullptr);
}

TEST_F(LayoutTest, EveryBackOrderLinePrintsOnItsOwnRow) {
  const printing::RecordingCanvas canvas = render(19);
  EXPECT_TRUE(testsupport::LayoutFaults(canvas, kSheetWidth, kSheetHeight).empty());
  int lines = 0;
  for (const auto* op : canvas.texts()) lines += op->text.rfind("999 x  ", 0) == 0;
  EXPECT_EQ(lines, 101);
}

TEST_F(LayoutTest, TheTurnoverGraphNamesTheArticleSelectionItIsFilteredBy) {
  store::SetText(book.app.articleCriteria.number, "BUCH");
  const printing::RecordingCanvas canvas =
      render(12, {.reportFrom = "01.01.2026", .reportTo = "31.12.2026"});
  EXPECT_NE(canvas.findText("Nur Artikel der Auswahl: Artikelnummer \"BUCH\""), nullptr);
  // Without a selection nothing is said.
  book.app.articleCriteria = {};
  const printing::RecordingCanvas all = render(12, {.reportFrom = "01.01.2026", .reportTo = "31.12.2026"});
  for (const auto* op : all.texts()) EXPECT_EQ(op->text.find("Auswahl"), std::string::npos);
}

TEST_F(LayoutTest, LettersKeepTheAmountDueAboveTheFooter) {
  store::ParameterRecord& p = book.app.parameters;
  p.dunningPeriods[0] = 10;
  p.dunningPeriods[1] = 9000;
  p.dunningPeriods[2] = 9999;
  p.dunningFees[0] = 32000;
  store::SetText(p.dunningTitle1, "Zahlungserinnerung zu unserer Rechnung");
  const std::string text = book.dir.file("mahnung1.txt");
  std::ofstream(text) << [] {
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "Bitte überweisen Sie den offenen Betrag.\r\n";
    return lines;
  }();
  store::SetText(p.dunningText1, text);
  expectTidy(16);
  EXPECT_NE(std::find_if(book.warnings.begin(), book.warnings.end(),
                         [](const std::string& w) { return w.find("Mahntext der Stufe 1") != w.npos; }),
            book.warnings.end());
  // Every letter names its invoice and the amount due.
  int amounts = 0;
  const printing::RecordingCanvas letters = render(16, {.dunningReprint = true});
  for (const auto* op : letters.texts()) amounts += op->text.rfind("sich auf ", 0) == 0;
  EXPECT_EQ(amounts, 60);

  std::string letter;
  for (int i = 0; i < 50; ++i) letter += "Eine Zeile des Briefes.\r\n";
  expectTidy(10, {.letterText = letter});
}

TEST_F(LayoutTest, EnvelopesAndLabelsCutLinesAtTheWindow) {
  expectTidy(21, {}, 1600);
  expectTidy(24, {}, 1600);
}

}  // namespace
}  // namespace reporttest
