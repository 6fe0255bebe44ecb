// The conversions between the settings dialogs' fields and the parameter
// values, number reading, and the font slot format.
#include "frame/settings_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "frame/decimal.h"
#include "frame/font_description.h"
#include "support/case_table.h"

namespace frame {
namespace {

using testsupport::ExpectEach;
using Text = const char*;

// Four characters count, rounded to the nearest tenth; what is shown reads
// back as itself.
TEST(SettingsRules, CashDiscountRoundsToTenthsAndShowsOneDecimal) {
  ExpectEach<Text, std::int16_t>(ParseCashDiscount, {{"2,3", 23}, {"2.3", 23}, {"2,34", 23},
                                                     {"2,25", 23}, {"3", 30}, {"abc", 0}, {"", 0}});
  ExpectEach<std::int16_t, Text>(CashDiscountText, {{23, "2.3"}, {25, "2.5"}, {0, "0.0"}});
  for (int tenths : {0, 1, 9, 23, 99, 100, 999})
    EXPECT_EQ(ParseCashDiscount(CashDiscountText(static_cast<std::int16_t>(tenths))), tenths);
}

TEST(SettingsRules, TaxRateClampsToThousandTenths) {
  ExpectEach<Text, std::int16_t>(ParseTaxRate, {{"16", 160}, {"7,5", 75}, {"19.9", 199},
                                                {"150", 1000}, {"-5", 0}, {"x", 0},
                                                {"16,05", 160}});  // "16,0" is all that is read
  ExpectEach<std::int16_t, Text>(TaxRateText, {{160, "16.0"}, {75, "7.5"}, {1000, "100.0"}});
}

// Seven characters, a point only, held between 0.001 and 100.
TEST(SettingsRules, ExchangeRateReadsPointOnlyAndClamps) {
  ExpectEach<Text, float>(ParseExchangeRate, {{"1,95583", 1.0f}, {"1.95583", 1.95583f},
                                              {"0", 0.001f}, {"-3", 0.001f}, {"kurs", 0.001f},
                                              {"250", 100.0f}, {"0.123456789", 0.12345f}});
  ExpectEach<float, Text>(ExchangeRateText, {{1.95583f, "1.95583"}, {0.0f, "0.00100"},
                                             {-2.0f, "0.00100"}, {100.0f, "100.00000"}});
}

TEST(SettingsRules, WholeNumbersClampAndIgnoreTrailingText) {
  ExpectEach<Text, std::int16_t>([](Text t) { return ClampedWhole(t, -100, 100); },
                                 {{"-150", -100}, {"150", 100}, {"-42", -42}, {"12mm", 12}, {"mm", 0}});
  EXPECT_EQ(ClampedWhole("99999999999999999999", 0, 2000), 2000);
  EXPECT_EQ(ParseOrderNumber("1190800015"), 119080001u);  // nine characters
  EXPECT_EQ(ParseOrderNumber("4711"), 4711u);
  EXPECT_EQ(ParsePeriod("14"), 14);
  EXPECT_EQ(ParsePeriod("123456"), 1234);
}

TEST(Decimal, ReadsCommaOrPointAndTurnsGarbageIntoZero) {
  // The second point ends the number; only the first 20 characters have
  // their commas turned into points.
  ExpectEach<std::string, double>(ParseDecimal, {{"1.123,00", 1.123}, {"1,5", 1.5},
                                                 {"  -2,25 EUR", -2.25}, {"+3", 3.0}, {",5", 0.5},
                                                 {"12abc", 12.0}, {std::string(20, ' ') + "1,5", 1.0}});
  for (const char* garbage : {"", "abc", "-", "+", ".", "EUR 5", "--5", "+-5", "inf", "nan"})
    EXPECT_DOUBLE_EQ(ParseDecimal(garbage), 0.0) << garbage;
  EXPECT_DOUBLE_EQ(ParsePointDecimal("1,5"), 1.0);
  EXPECT_EQ(ParseWhole(" 17 Tage"), 17);
  EXPECT_EQ(ParseWhole("Tage"), 0);
  EXPECT_EQ(Format("%-.2f %s", 9.5, "EUR"), "9.50 EUR");
  EXPECT_EQ(Format("%s", std::string(300, 'x').c_str()).size(), 300u);
}

TEST(FontDescription, RoundTripsAndFitsItsSlot) {
  FontDescription font{"Liberation Sans", 14, 700, true};
  EXPECT_EQ(EncodeFont(font), "Liberation Sans,14,700,1");
  auto back = DecodeFont(EncodeFont(font));
  ASSERT_TRUE(back);
  EXPECT_EQ(EncodeFont(*back), EncodeFont(font));

  // A long family name is shortened, the numbers stay whole; commas in the
  // family would break the format and are dropped.
  FontDescription longName{std::string(80, 'F') + ",x", 12, 400, false};
  std::string encoded = EncodeFont(longName);
  EXPECT_EQ(encoded.size(), 59u);
  EXPECT_EQ(encoded.substr(encoded.size() - 9), ",12,400,0");
  auto shortened = DecodeFont(encoded);
  ASSERT_TRUE(shortened);
  EXPECT_EQ(shortened->family, std::string(50, 'F'));
  EXPECT_EQ(shortened->points, 12);
  EXPECT_EQ(EncodeFont({"A,B", 10, 400, false}), "AB,10,400,0");

  for (const char* damaged : {"", "Arial", "Arial,12", "Arial,12,400", ",12,400,0", "Arial,x,400,0",
                              "Arial,0,400,0", "Arial,12,400,0 "})
    EXPECT_FALSE(DecodeFont(damaged)) << damaged;
  EXPECT_EQ(DecodeFont("Arial,12,2000,0")->weight, 900);
}

}  // namespace
}  // namespace frame
