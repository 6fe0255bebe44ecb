// The values of our records in the forms the electronic invoice needs, and
// the settings file read back as it was written.
#include <gtest/gtest.h>

#include "store/einvoice_settings.h"
#include "store/field_rules.h"
#include "support/case_table.h"

namespace einvoice {
namespace {

TEST(FieldRules, IbanCheckDigitsTownSplitAndUnitCodes) {
  testsupport::ExpectEach<std::string, bool>([](const std::string& iban) { return IbanValid(iban); },
                                             {{"DE89 3704 0044 0532 0130 00", true},
                                              {"de89370400440532013000", true},
                                              {"DE88 3704 0044 0532 0130 00", false},
                                              {"GB82 WEST 1234 5698 7654 32", true},
                                              {"DE89 3704 0044 0532 0130 0", false},
                                              {"DE89-3704-0044-0532-0130-00", false},
                                              {"", false}});
  testsupport::ExpectEach<std::string, std::string>(
      [](const std::string& town) { const Town t = SplitTown(town); return t.postcode + "|" + t.city; },
      {{"34117 Kassel", "34117|Kassel"},
       {"D-34117  Kassel-Wilhelmshöhe", "34117|Kassel-Wilhelmshöhe"},
       {"Kassel", "|Kassel"},
       {"  1010 Wien ", "1010|Wien"}});
  testsupport::ExpectEach<std::string, std::string>([](const std::string& unit) { return UnitCode(unit); },
                                                    {{"Stk", "H87"}, {"St.", "H87"}, {"m", "MTR"}, {"KG", "KGM"},
                                                     {"l", "LTR"}, {"Std", "HUR"}, {"h", "HUR"}, {"m²", "MTK"},
                                                     {"pauschal", "LS"}, {"Karton", "C62"}, {"", "C62"}});
}

TEST(Settings, WhatIsWrittenReadsBackAndAnythingElseIsTheDefault) {
  Settings s;
  s.taxNumber = "12/345/67890", s.exemption = Exemption::Export, s.exemptionReason = "Ausfuhr\nnach CH";
  s.sellerCountry = "at", s.buyerCountry = "CH", s.buyerReference = BuyerReference::FixedText;
  s.buyerReferenceText = "Leitweg 04011000-12345-67", s.serviceDate = ServiceDate::OrderDate;
  s.folder = "/home/anna/E-Rechnungen", s.legalLines = false, s.currencyCodes = "SFR:CHF; Pfd:GBP";
  const Settings back = ParseSettings(SettingsText(s));
  EXPECT_EQ(back.currencyCodes, "SFR:CHF; Pfd:GBP");
  EXPECT_EQ(SettingsText(back), SettingsText(s));
  EXPECT_EQ(back.exemptionReason, "Ausfuhr nach CH");  // one line per key
  EXPECT_EQ(back.sellerCountry, "AT");
  const Settings fallback = ParseSettings("Befreiung=Unsinn\nLandKaeufer=Deutschland\nPflichtangaben\n");
  EXPECT_EQ(SettingsText(fallback), SettingsText(Settings{}));
}

// The code of a currency symbol: the settings' pair, else the symbol when it
// is a code in use, else a common symbol's; none for "DM" or "DEM".
TEST(Settings, CurrencyCodesAreIso4217CodesInUse) {
  Settings s;
  s.currencyCodes = "Pfd:GBP; Fr. : chf; DM:DEM";
  for (const auto& [symbol, code] : std::initializer_list<std::pair<const char*, const char*>>{
           {"EUR", "EUR"}, {"eur", "EUR"}, {"€", "EUR"}, {"SFR", "CHF"}, {"Pfd", "GBP"},
           {"Fr.", "CHF"}, {"DM", ""}, {"DEM", ""}, {"XYZ", ""}, {"", ""}})
    EXPECT_EQ(CurrencyCode(symbol, s), code) << symbol;
}

}  // namespace
}  // namespace einvoice
