// A sound invoice changed in one figure: the check names the business term
// of every figure that no longer adds up, and only those. The UBL credit
// note with negative lines is made from the test suite's invoice.
#include <gtest/gtest.h>

#include <set>

#include "receive/incoming_file.h"
#include "receive/invoice_checks.h"
#include "receive/receive_test_files.h"

namespace {

using receivetest::Fixture;
using receivetest::Replaced;
using receivetest::ReplacedAll;

std::set<std::string> TermsOf(const std::string& xml) {
  const receive::OpenedInvoice opened = receive::ReadIncoming(xml, "variante.xml");
  EXPECT_TRUE(opened.ok) << opened.message;
  std::set<std::string> terms;
  for (const receive::Finding& f : receive::CheckFigures(opened.invoice)) {
    terms.insert(f.term);
    EXPECT_FALSE(f.text.empty());
  }
  return terms;
}

// The UBL invoice as a credit note: root, namespace, type code and lines.
std::string AsCreditNote(std::string ubl) {
  ubl = ReplacedAll(ubl, "<ubl:Invoice ", "<ubl:CreditNote ");
  ubl = ReplacedAll(ubl, "</ubl:Invoice>", "</ubl:CreditNote>");
  ubl = ReplacedAll(ubl, "urn:oasis:names:specification:ubl:schema:xsd:Invoice-2",
                    "urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2");
  ubl = ReplacedAll(ubl, "cbc:InvoiceTypeCode>380<", "cbc:CreditNoteTypeCode>381<");
  ubl = ReplacedAll(ubl, "</cbc:InvoiceTypeCode>", "</cbc:CreditNoteTypeCode>");
  ubl = ReplacedAll(ubl, "cac:InvoiceLine>", "cac:CreditNoteLine>");
  return ReplacedAll(ubl, "cbc:InvoicedQuantity", "cbc:CreditedQuantity");
}

TEST(InvoiceChecks, EachFigureThatDoesNotAddUpIsNamedByItsTerm) {
  const std::string cii = Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  const std::string ubl = Fixture("xrechnung-testsuite/01.01a-INVOICE_ubl.xml");
  ASSERT_FALSE(cii.empty());
  ASSERT_FALSE(ubl.empty());
  const std::string creditNote = AsCreditNote(ubl);
  // Every amount of the credit note negated: lines, breakdown and totals.
  std::string negative = creditNote;
  for (const char* amount : {">288.79<", ">26.07<", ">314.86<", ">22.04<", ">336.9<"})
    negative = ReplacedAll(negative, amount, std::string(">-") + (amount + 1));
  const struct {
    const char* name;
    std::string xml;
    std::set<std::string> terms;
  } rows[] = {
      {"unverändert", cii, {}},
      {"UBL unverändert", ubl, {}},
      {"Gutschrift", creditNote, {}},
      {"Gesamtbetrag falsch",
       ReplacedAll(cii, "<ram:GrandTotalAmount>336.9<", "<ram:GrandTotalAmount>346.9<"),
       {"BT-112", "BT-115"}},
      {"fälliger Betrag falsch",
       Replaced(cii, "<ram:DuePayableAmount>336.9<", "<ram:DuePayableAmount>300<"),
       {"BT-115"}},
      {"Vorauszahlung bedacht",
       Replaced(Replaced(cii, "<ram:DuePayableAmount>336.9<", "<ram:DuePayableAmount>236.9<"),
                "<ram:GrandTotalAmount>336.9</ram:GrandTotalAmount>",
                "<ram:GrandTotalAmount>336.9</ram:GrandTotalAmount><ram:TotalPrepaidAmount>100.00</"
                "ram:TotalPrepaidAmount>"),
       {}},
      {"Positionsbetrag falsch",
       Replaced(cii, "<ram:LineTotalAmount>26.07<", "<ram:LineTotalAmount>26.70<"),
       {"Position Porto + Versandkosten", "BT-106", "BT-116"}},
      {"Steuer je Satz falsch",
       Replaced(cii, "<ram:CalculatedAmount>22.04<", "<ram:CalculatedAmount>22.40<"),
       {"BT-117", "BT-110"}},
      {"Steuersatz der Position ohne Aufschlüsselung",
       Replaced(cii, "<ram:RateApplicablePercent>7</ram:RateApplicablePercent>",
                "<ram:RateApplicablePercent>19</ram:RateApplicablePercent>"),
       {"BT-116", "BG-23"}},
      {"Summe netto falsch",
       Replaced(cii, "<ram:TaxBasisTotalAmount>314.86<", "<ram:TaxBasisTotalAmount>314.68<"),
       {"BT-109", "BT-112"}},
      {"UBL Gesamtbetrag falsch",
       ReplacedAll(ubl, ">336.9</cbc:TaxInclusiveAmount>", ">339.6</cbc:TaxInclusiveAmount>"),
       {"BT-112", "BT-115"}},
      {"Gutschrift mit negativen Positionen", negative, {"BT-3"}},
      {"Gutschrift nur die Positionen negativ",
       ReplacedAll(ReplacedAll(creditNote, ">288.79</cbc:LineExtensionAmount>",
                               ">-288.79</cbc:LineExtensionAmount>"),
                   ">26.07</cbc:LineExtensionAmount>", ">-26.07</cbc:LineExtensionAmount>"),
       {"Position Zeitschrift [...]", "Position Porto + Versandkosten", "BT-106", "BT-116"}},
      {"Rechnungsnummer fehlt", Replaced(cii, "<ram:ID>123456XX</ram:ID>", ""), {"BT-1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_FALSE(row.xml.empty()) << "the variant could not be made";
    EXPECT_EQ(TermsOf(row.xml), row.terms);
  }
}

}  // namespace
