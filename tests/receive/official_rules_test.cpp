// The official rules on a received CII: the kit's fatal findings become
// ours, its warnings do not, and a kit that cannot run says so instead of
// passing the file.
#include "receive/official_rules.h"

#include <gtest/gtest.h>

#include "receive/receive_test_files.h"

namespace {

TEST(OfficialRules, OnlyTheFatalFindingsOfTheFileAreTaken) {
  const std::string output =
      "/tmp/x.xml: BR-CO-15 [fatal] [BR-CO-15]-Invoice total amount with VAT (BT-112) = ... (at "
      "/CrossIndustryInvoice)\n"
      "/tmp/x.xml: BR-DE-19 [warning] IBAN falsch (at /CrossIndustryInvoice/a)\n"
      "/tmp/other.xml: BR-DE-15 [fatal] Käuferreferenz fehlt (at /x)\n"
      "/tmp/x.xml: XML [fatal] not well-formed\n"
      "OK /tmp/y.xml\n";
  const std::vector<receive::Finding> findings = receive::ParseKitOutput(output, "/tmp/x.xml");
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].term, "BR-CO-15");
  EXPECT_EQ(findings[0].text,
            "Amtliche Prüfregel BR-CO-15 verletzt: [BR-CO-15]-Invoice total amount with VAT "
            "(BT-112) = ...");
  EXPECT_EQ(findings[1].term, "XML");
}

TEST(OfficialRules, AKitThatCannotRunSaysSo) {
  const std::string cii = receivetest::Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  for (const std::string& script : {std::string(), std::string("/nicht/da/validate-cii")}) {
    const std::vector<receive::Finding> findings = receive::RunOfficialRules(script, cii, true);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].term, "Prüfregeln");
    EXPECT_NE(findings[0].text.find("nur die Beträge"), std::string::npos) << findings[0].text;
  }
}

// With Java installed: a sound XRechnung passes, one with a wrong total
// does not; a ZUGFeRD invoice of profile EN 16931 owes no Leitweg-ID.
TEST(OfficialRules, TheKitFindsWhatIsWrongAndOnlyThat) {
  const std::string cii = receivetest::Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  const std::vector<receive::Finding> sound = receive::RunOfficialRules(BELVON_CII_KIT, cii, true);
  if (sound.size() == 1 && sound[0].term == "Prüfregeln") GTEST_SKIP() << sound[0].text;
  for (const receive::Finding& f : sound) ADD_FAILURE() << f.text;
  const std::string wrong = receivetest::ReplacedAll(cii, ">336.9</ram:GrandTotalAmount>",
                                                     ">346.9</ram:GrandTotalAmount>");
  bool totalNamed = false;
  for (const receive::Finding& f : receive::RunOfficialRules(BELVON_CII_KIT, wrong, true))
    totalNamed = totalNamed || f.term == "BR-CO-15";
  EXPECT_TRUE(totalNamed);
  const std::string noReference =
      receivetest::Replaced(cii, "<ram:BuyerReference>04011000-12345-03</ram:BuyerReference>", "");
  ASSERT_FALSE(noReference.empty());
  for (const receive::Finding& f : receive::RunOfficialRules(BELVON_CII_KIT, noReference, false))
    ADD_FAILURE() << f.text;
  EXPECT_FALSE(receive::RunOfficialRules(BELVON_CII_KIT, noReference, true).empty());
}

}  // namespace
