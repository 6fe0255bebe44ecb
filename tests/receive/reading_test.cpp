// Received e-invoices of other producers read into the business terms: the
// totals exactly as the file states them, no finding a valid file does not
// deserve, and the CII and UBL forms of one business case read alike.
#include <gtest/gtest.h>

#include <regex>

#include "receive/incoming_file.h"
#include "receive/invoice_checks.h"
#include "receive/receive_test_files.h"

namespace {

using receive::OpenedInvoice;
using receivetest::Fixture;

// The text of the first element with this local name, found by a pattern
// rather than by the reader under test.
std::string Stated(const std::string& xml, const std::string& local) {
  const std::regex element("<(?:[A-Za-z0-9_]+:)?" + local + "(?:\\s[^>]*)?>\\s*([^<]*?)\\s*<");
  std::smatch match;
  return std::regex_search(xml, match, element) ? match[1].str() : std::string("(fehlt)");
}

// The one finding the collection deserves: line 4 of the first partial
// invoice states 55,46 for 20 x 2,77.
const char* DeservedFinding(const std::string& path) {
  return path.find("EN16931_1_Teilrechnung") != std::string::npos ? "Position 4" : nullptr;
}

TEST(ReceivedInvoices, EveryFileReadsItsTotalsAsStatedAndNoFindingItDoesNotDeserve) {
  std::vector<std::string> files = receivetest::InvoiceFiles(BELVON_RECEIVE_DATA);
  const std::vector<std::string> corpus = receivetest::InvoiceFiles(BELVON_INCOMING_CORPUS);
  files.insert(files.end(), corpus.begin(), corpus.end());
  ASSERT_GE(files.size(), 30u);
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const OpenedInvoice opened = receive::ReadIncoming(receivetest::Read(path), path);
    ASSERT_TRUE(opened.ok) << opened.message;
    const bool ubl = opened.invoice.syntax == receive::Syntax::Ubl;
    EXPECT_EQ(opened.invoice.totals.total.text,
              Stated(opened.xml, ubl ? "TaxInclusiveAmount" : "GrandTotalAmount"));
    EXPECT_EQ(opened.invoice.totals.due.text,
              Stated(opened.xml, ubl ? "PayableAmount" : "DuePayableAmount"));
    EXPECT_EQ(opened.invoice.number.empty(), false);
    EXPECT_FALSE(opened.invoice.lines.empty());
    const std::vector<receive::Finding> findings = receive::CheckFigures(opened.invoice);
    if (const char* deserved = DeservedFinding(path)) {
      ASSERT_EQ(findings.size(), 1u);
      EXPECT_EQ(findings[0].term, deserved);
      EXPECT_NE(findings[0].text.find("55,46"), std::string::npos) << findings[0].text;
    } else {
      for (const receive::Finding& f : findings) ADD_FAILURE() << f.text;
    }
  }
}

// The same business case in both syntaxes: two readers, one set of terms.
TEST(ReceivedInvoices, TheCiiAndTheUblOfOneCaseReadAlike) {
  for (const char* name : {"01.01a", "01.03a", "01.07a", "01.09a", "01.13a", "01.18a", "01.20a"}) {
    SCOPED_TRACE(name);
    const std::string base = std::string("xrechnung-testsuite/") + name + "-INVOICE_";
    const OpenedInvoice cii = receive::ReadIncoming(Fixture(base + "uncefact.xml"), "cii");
    const OpenedInvoice ubl = receive::ReadIncoming(Fixture(base + "ubl.xml"), "ubl");
    ASSERT_TRUE(cii.ok && ubl.ok);
    const receive::ReceivedInvoice &a = cii.invoice, &b = ubl.invoice;
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.issueDate, b.issueDate);
    EXPECT_EQ(a.dueDate.empty() ? "" : a.dueDate, b.dueDate.empty() ? a.dueDate : b.dueDate);
    EXPECT_EQ(a.currency, b.currency);
    EXPECT_EQ(a.buyerReference, b.buyerReference);
    EXPECT_EQ(a.seller.name, b.seller.name);
    EXPECT_EQ(a.seller.vatId, b.seller.vatId);
    EXPECT_EQ(a.buyer.name, b.buyer.name);
    EXPECT_EQ(a.iban(), b.iban());
    EXPECT_EQ(a.lines.size(), b.lines.size());
    for (std::size_t i = 0; i < std::min(a.lines.size(), b.lines.size()); ++i) {
      EXPECT_EQ(a.lines[i].name, b.lines[i].name);
      EXPECT_DOUBLE_EQ(a.lines[i].netAmount.value, b.lines[i].netAmount.value);
      EXPECT_DOUBLE_EQ(a.lines[i].quantity.value, b.lines[i].quantity.value);
      EXPECT_EQ(a.lines[i].unit, b.lines[i].unit);
    }
    ASSERT_EQ(a.breakdown.size(), b.breakdown.size());
    for (std::size_t i = 0; i < a.breakdown.size(); ++i) {
      EXPECT_EQ(a.breakdown[i].category, b.breakdown[i].category);
      EXPECT_DOUBLE_EQ(a.breakdown[i].tax.value, b.breakdown[i].tax.value);
    }
    const receive::Totals &s = a.totals, &t = b.totals;
    for (auto member :
         {&receive::Totals::lineNet, &receive::Totals::taxBasis, &receive::Totals::tax,
          &receive::Totals::total, &receive::Totals::prepaid, &receive::Totals::due})
      EXPECT_DOUBLE_EQ((s.*member).value, (t.*member).value);
    EXPECT_EQ(a.attachments.size(), b.attachments.size());
  }
}

// What the files say, read by eye from them.
TEST(ReceivedInvoices, TheTermsAReaderNeedsAreThere) {
  const struct {
    const char* file;
    const char* number;
    const char* issueDate;
    const char* seller;
    const char* iban;
    const char* type;
    const char* total;
    const char* due;
    std::size_t lines;
    const char* container;
  } rows[] = {
      {"xrechnung-testsuite/01.01a-INVOICE_uncefact.xml", "123456XX", "04.04.2016", "[Seller name]",
       "DE79000000001234567890", "380", "336.9", "336.9", 2, ""},
      {"xrechnung-testsuite/01.03a-INVOICE_ubl.xml", "RR123456", "24.06.2016", "[Seller name]",
       "DE79000000001234567890", "380", "182.2", "182.2", 2, ""},
      {"corpus-fx/EN16931_Einfach.pdf", "471102", "05.03.2018", "Lieferant GmbH", "", "380",
       "529.87", "529.87", 2, "factur-x.xml"},
      {"corpus-fx/EN16931_Gutschrift.pdf", "471102", "05.03.2018", "Lieferant GmbH", "", "389",
       "529.87", "529.87", 2, "factur-x.xml"},
      {"corpus-fx/EN16931_Rechnungskorrektur.pdf", "RK21012345", "16.09.2018",
       "MUSTERLIEFERANT GMBH", "", "384", "-8.79", "-8.79", 2, "factur-x.xml"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const OpenedInvoice opened = receive::ReadIncoming(Fixture(row.file), row.file);
    ASSERT_TRUE(opened.ok) << opened.message;
    EXPECT_EQ(opened.invoice.number, row.number);
    EXPECT_EQ(opened.invoice.issueDate, row.issueDate);
    EXPECT_EQ(opened.invoice.seller.name, row.seller);
    EXPECT_EQ(opened.invoice.iban(), row.iban);
    EXPECT_EQ(opened.invoice.typeCode, row.type);
    EXPECT_EQ(opened.invoice.totals.total.text, row.total);
    EXPECT_EQ(opened.invoice.totals.due.text, row.due);
    EXPECT_EQ(opened.invoice.lines.size(), row.lines);
    EXPECT_EQ(opened.attachmentName, row.container);
    EXPECT_EQ(opened.container == receive::Container::Pdf, *row.container != '\0');
  }
}

}  // namespace
