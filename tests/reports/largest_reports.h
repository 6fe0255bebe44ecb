// The lists and statistics at the largest values their fields hold:
// 42-character names, 9-digit customer numbers, amounts up to 9 999 999.99
// in four currencies, pages full of rows.
#ifndef BELVON_TESTS_REPORTS_LARGEST_REPORTS_H
#define BELVON_TESTS_REPORTS_LARGEST_REPORTS_H

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/decimal.h"
#include "platform/cp1252.h"
#include "reports/report_book.h"
#include "store/address_file.h"
#include "support/layout_check.h"

namespace reporttest {

// The page the PDF and PNG files give a layout, and about what an office
// printer prints of A4: the sheet less 5 mm on every side. A text inside it
// stands at least 5 mm inside the sheet.
constexpr int kSheetWidth = 2000, kSheetHeight = 2870;
// The largest total an invoice of 19 % may carry: 8 403 361.34 net.
constexpr std::int32_t kLargestNet = 840336134;
// An article number of 21 characters, as wide as capitals make it (UTF-8).
constexpr const char* kArticle = "ÜBERLÄNGE-ÄÖÜ-1234567";
// A dunning title of 79 characters, as many as the field holds.
constexpr const char* kLongestDunningTitle =
    "Letzte Mahnung vor Übergabe an das Inkassobüro Südbayern, Abteilung Forderungen";
// Telephone and fax numbers of 21 characters.
constexpr const char* kFax = "+49 (0)7654 987654321";
constexpr const char* kPhone = "+49 (0)7654 123456789";

// Sixty invoices in four currencies, a credit note, a hundred and one
// back-order lines, every name at its longest: the data the layout checks of
// the lists print.
class LargestReports {
 public:
  LargestReports() {
    store::ParameterRecord& p = book.app.parameters;
    store::SetText(p.currencySymbol4, "USD");
    p.exchangeRates[3] = 1.1f;
    store::SetText(p.companyName1, platform::Utf8ToCp1252("Elektro-Installationen Müllermeister GmbH"));
    store::SetText(p.street, platform::Utf8ToCp1252("Hauptstraße 123"));
    store::SetText(p.town, platform::Utf8ToCp1252("12345 Müllheim-Oberweiler"));
    p.printFooter = 1;
    store::ArticleRecord article{};
    article.length = sizeof article;
    store::SetText(article.number, article_);
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
               {L{.quantity = 1, .price = kLargestNet - c, .article = article_.c_str()}});
    }
    // A credit note of the same size.
    book.put(customer(60), Head{.date = "15.12.2026"},
             {L{.quantity = -1, .price = kLargestNet, .article = article_.c_str()}});
    // An order of a hundred and one back-order lines.
    std::vector<L> lines(101, L{.quantity = 999, .price = 99999999, .article = article_.c_str(),
                                .flags = store::kLineBackOrder});
    book.put(customer(99), Head{.flags = store::kOrderHasBackOrder | store::kOrderDeliveryNotePrinted},
             lines);
  }

  // Every invoice due at the first level, with a fee, the longest title
  // and a text longer than a letter holds.
  void prepareDunning() {
    store::ParameterRecord& p = book.app.parameters;
    p.dunningPeriods[0] = 10;
    p.dunningPeriods[1] = 9000;
    p.dunningPeriods[2] = 9999;
    p.dunningFees[0] = 32000;
    store::SetText(p.dunningTitle1, platform::Utf8ToCp1252(kLongestDunningTitle));
    const std::string text = book.dir.file("mahnung1.txt");
    std::ofstream out(text);
    for (int i = 0; i < 40; ++i) out << "Bitte überweisen Sie den offenen Betrag.\r\n";
    store::SetText(p.dunningText1, text);
  }

  // A letter of fifty lines.
  static std::string LongLetter() {
    std::string letter;
    for (int i = 0; i < 50; ++i) letter += "Eine Zeile des Briefes.\r\n";
    return letter;
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
    store::SetText(a.fax, kFax);
    store::SetText(a.phone, kPhone);
    std::int32_t position = -1;
    store::WriteAddress(book.app, a, position, true);
    store::ReadAddress(book.app, book.app.address, position);
    return static_cast<std::int32_t>(book.app.addresses.entry.offset);
  }

  // `measure` as the canvas measures text: its fixed metrics when empty.
  printing::RecordingCanvas render(int job, printing::JobInputs inputs = {},
                                   printing::RecordingCanvas::Measure measure = {}) {
    printing::RecordingCanvas canvas(false);
    canvas.measureWith(std::move(measure));
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

  void expectTidy(int job, const printing::JobInputs& inputs = {}, int width = kSheetWidth,
                  printing::RecordingCanvas::Measure measure = {}) {
    SCOPED_TRACE("job " + std::to_string(job));
    const std::vector<std::string> faults =
        testsupport::LayoutFaults(render(job, inputs, std::move(measure)), width, kSheetHeight);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first: " << faults.front();
  }

  const std::string article_ = platform::Utf8ToCp1252(kArticle);
  ReportBook book;
};

}  // namespace reporttest

#endif  // BELVON_TESTS_REPORTS_LARGEST_REPORTS_H
