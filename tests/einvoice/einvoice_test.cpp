// Electronic invoices of many kinds of orders: each one passes the official
// rules (EN 16931 and XRechnung, checked by the kit in third_party), and its
// totals, tax bases and tax amounts are the ones the printed invoice states.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <regex>

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_file.h"
#include "einvoice/einvoice_cases.h"
#include "store/einvoice_settings.h"
#include "store/leitweg_ids.h"
#include "einvoice/invoice_model.h"
#include "orders/order_math.h"
#include "platform/cp1252.h"
#include "platform/utf8.h"
#include "orders/order_document_renderer.h"
#include "printing/job_table.h"
#include "printing/recording_canvas.h"
#include "store/order_kinds.h"
#include "store/text_field.h"
#include "support/run_command.h"
#include "support/test_app.h"

namespace {

using einvoicetest::Case;
using einvoicetest::Cases;
using einvoicetest::Prepare;

// "12.34 EUR" as cents.
std::int64_t Cents(const std::string& text) { return std::llround(std::stod(text) * 100); }

// The totals block of the printed invoice: each label with the amount and
// the tax base on its line.
std::map<std::string, std::pair<std::int64_t, std::int64_t>> PrintedTotals(frame::AppState& app) {
  const int job = app.order.flags & store::kOrderCollectiveInvoice ? printing::kJobCollectiveInvoice
                                                                   : printing::kJobInvoice;
  printing::PrintSession session{job, false, printing::PreviewView{printing::kPrintAllPages}, {"06.12.2026", ""}};
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  printing::MakeRenderer(printing::kJobInvoice)->render(canvas, {2100, 2970, 4960, 7016}, context);
  std::map<std::string, std::pair<std::int64_t, std::int64_t>> totals;
  for (const auto* label : canvas.texts()) {
    static const std::regex kLabel("Netto-Summe|Brutto-Summe|.*UmSt|Rechnungsbetrag|Gutschrift");
    if (label->x != 1650 || !std::regex_match(label->text, kLabel)) continue;
    for (const auto* other : canvas.texts()) {
      if (other->y != label->y) continue;
      if (other->x == 1900) totals[label->text].first = Cents(other->text);
      if (other->text.rfind("Bemessungsgrundlage ", 0) == 0)
        totals[label->text].second = Cents(other->text.substr(20));
    }
  }
  return totals;
}

std::int64_t XmlCents(const pugi::xml_node& node, const std::string& path) {
  return std::llround(node.select_node(path.c_str()).node().text().as_double() * 100);
}

// Bytes of another code page in ERECHNUNG.INI are refused when it is read,
// with the key named, and the writer emits only what XML 1.0 allows in
// UTF-8 whatever it is handed.
TEST(EInvoice, NoBytesThatAreNotUtf8ReachTheXml) {
  testsupport::TestApp t;
  Prepare(t.app, Cases().front(), 1261200001);
  std::ofstream(t.app.dataDirectory + einvoice::kSettingsFileName, std::ios::binary)
      << "[E-Rechnung]\nSteuernummer=12/345\xB7" "67890\nKaeuferreferenzText=Gr\xFC\xDF" "e\nLandKaeufer=AT\n";
  std::string problem;
  const einvoice::Settings read = einvoice::LoadSettings(t.app.dataDirectory, &problem);
  EXPECT_EQ(std::tuple(read.taxNumber, read.buyerReferenceText, read.buyerCountry), std::tuple("", "", "AT"));
  EXPECT_NE(problem.find("\"Steuernummer\""), std::string::npos) << problem;
  EXPECT_NE(problem.find("\"KaeuferreferenzText\""), std::string::npos) << problem;
  const einvoice::Document refused = einvoice::MakeDocument(t.app);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.message, problem);

  einvoice::Invoice invoice;
  invoice.seller.name = "M\xFCller\x01 & S\xC3\xB6hne\x1F";
  invoice.buyer.name = "Gr\xC3\xBC\xC3\x9F\xC0\xAF\xED\xA0\x80";  // overlong, surrogate
  invoice.currency = "EU\x02R";
  const std::string xml = einvoice::CiiXml(invoice);
  EXPECT_TRUE(platform::IsUtf8(xml));
  EXPECT_EQ(xml.find_first_of(std::string("\x01\x02\x1F")), std::string::npos);
  EXPECT_NE(xml.find(">M\xEF\xBF\xBDller &amp; S\xC3\xB6hne<"), std::string::npos) << xml;
  pugi::xml_document parsed;
  EXPECT_TRUE(parsed.load_string(xml.c_str()));
}

// A customer's own Leitweg-ID is the buyer reference of his XRechnung,
// whatever the settings name; a customer without one takes the setting.
TEST(EInvoice, ACustomersLeitwegIdIsHisBuyerReference) {
  testsupport::TestApp t;
  Prepare(t.app, Cases().front(), 1261200001);
  store::SetText(t.app.address.customerNumber, "4711");
  ASSERT_TRUE(store::StoreLeitwegId(t.app, "", "4712", "991-33333-44"));
  einvoice::Settings settings;
  settings.buyerReference = einvoice::BuyerReference::FixedText;
  settings.buyerReferenceText = "04011000-1234512345-06";
  for (const auto& [id, expected] : {std::pair{"", "04011000-1234512345-06"},
                                     std::pair{"991-12345-67", "991-12345-67"}}) {
    ASSERT_TRUE(store::StoreLeitwegId(t.app, "4711", "4711", id));
    const einvoice::Outcome outcome = einvoice::BuildInvoice(t.app, t.app.parameters, settings);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(outcome.invoice.buyerReference, expected);
  }
}

// What the rules would reject is never written: an invoice without a line
// it bills, an invoice date that is no day, a due date after the year 9999.
// Each is refused with its reason; a due date on the last day passes.
TEST(EInvoice, AnInvoiceTheRulesRejectIsRefusedWithItsReason) {
  testsupport::TestApp t;
  const std::string noLine = "hat keine Position, die berechnet wird";
  const struct {
    const char* name;
    std::vector<einvoicetest::Line> lines;
    const char* invoiceDate;
    std::string refusal;  // empty: written
  } cases[] = {
      {"no lines", {}, "06.12.2026", noLine},
      {"back-orders only", {{1, 1000, store::kTaxCodeRate2, 0, "Stk", "Brett", store::kLineBackOrder}},
       "06.12.2026", noLine},
      {"no tax class", {{1, 1000, 3}}, "06.12.2026", noLine},
      {"due in the year 10000", {{1, 1000}}, "31.12.9999",
       "das Fälligkeitsdatum 14.01.10000 liegt außerhalb der Jahre 1900 bis 9999"},
      {"no such day", {{1, 1000}}, "29.02.2023", "das Rechnungsdatum \"29.02.2023\""},
      {"due on the last day", {{1, 1000}}, "17.12.9999", ""},
  };
  einvoice::Settings settings;
  settings.buyerReference = einvoice::BuyerReference::OrderNumber;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(t.app, {c.name, c.lines}, 1261200002);
    store::SetText(t.app.order.invoiceDate, c.invoiceDate);
    const einvoice::Outcome outcome = einvoice::BuildInvoice(t.app, t.app.parameters, settings);
    EXPECT_EQ(outcome.ok, c.refusal.empty()) << outcome.message;
    if (!c.refusal.empty())
      EXPECT_NE(outcome.message.find(c.refusal), std::string::npos) << outcome.message;
    else
      EXPECT_EQ(outcome.invoice.dueDate, "99991231");
  }
}

TEST(EInvoice, EveryKindOfInvoiceStatesThePrintedFiguresAndPassesTheOfficialRules) {
  testsupport::TestApp t;
  std::string files;
  int number = 1261200001;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Prepare(t.app, c, number++);
    const einvoice::Document document = einvoice::MakeDocument(t.app);
    ASSERT_TRUE(document.ok) << document.message;
    const std::string path = t.dir.file(std::string(c.name) + ".xml");
    ASSERT_TRUE(einvoice::WriteDocument(*t.app.fileSystem, path, document.xml));
    files += " '" + path + "'";

    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(document.xml.c_str()));
    const pugi::xml_node root = xml.document_element();
    const int sign = t.app.order.total < 0 ? -1 : 1;
    EXPECT_EQ(root.select_node("//ram:TypeCode[1]").node().text().as_string(), std::string(sign < 0 ? "381" : "380"));
    EXPECT_EQ(root.select_node("//ram:InvoiceCurrencyCode").node().text().as_string(), std::string(c.currency));
    auto printed = PrintedTotals(t.app);
    const auto& finalLine = printed[sign < 0 ? "Gutschrift" : "Rechnungsbetrag"];
    auto total = [&](const char* name) {
      return XmlCents(root, std::string("//ram:SpecifiedTradeSettlementHeaderMonetarySummation/ram:") + name);
    };
    EXPECT_EQ(total("GrandTotalAmount"), sign * finalLine.first);
    std::int64_t printedTax = 0;
    for (const auto& [label, figures] : printed) {
      if (label.find("UmSt") == std::string::npos) continue;
      printedTax += figures.first;
      // The tax group of this rate: the same tax and the same base.
      const std::size_t digits = label.find_first_of("0123456789");
      const std::string rate = label.substr(digits, label.find('%') - digits);
      const std::string group = "//ram:ApplicableHeaderTradeSettlement/ram:ApplicableTradeTax[ram:RateApplicablePercent='" + rate + "']/";
      SCOPED_TRACE(label);
      EXPECT_EQ(XmlCents(root, group + "ram:CalculatedAmount"), sign * figures.first);
      EXPECT_EQ(XmlCents(root, group + "ram:BasisAmount"), sign * figures.second);
    }
    EXPECT_EQ(total("TaxTotalAmount"), sign * printedTax);
    const bool gross = printed.count("Brutto-Summe") != 0;
    const std::int64_t net = gross ? printed["Brutto-Summe"].first - printedTax : printed["Netto-Summe"].first;
    EXPECT_EQ(total("TaxBasisTotalAmount"), sign * net);
    EXPECT_EQ(total("DuePayableAmount"), sign * (finalLine.first - t.app.order.paid));
    if (c.paidPart == 1.0) { EXPECT_FALSE(root.select_node("//ram:SpecifiedTradePaymentTerms")); }
  }

  // One run of the kit for all of them: any error or fatal finding fails.
  std::string report;
  const int status = testsupport::RunCommand(std::string(BELVON_CII_KIT) + " -q" + files, &report);
  if (status == 4) GTEST_SKIP() << "Java, Saxon-HE oder xmllint fehlen (make deps)";
  EXPECT_EQ(status, 0) << report;
}

}  // namespace
