// The conversions between the settings dialogs' fields and the parameter
// values, number reading, and the font slot format.
#include "frame/settings_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "frame/decimal.h"
#include "frame/font_description.h"

namespace frame {
namespace {

TEST(SettingsRules, CashDiscountRoundsToTenthsAndShowsOneDecimal) {
  EXPECT_EQ(ParseCashDiscount("2,3"), 23);
  EXPECT_EQ(ParseCashDiscount("2.3"), 23);
  EXPECT_EQ(ParseCashDiscount("2,34"), 23);  // only four characters count
  EXPECT_EQ(ParseCashDiscount("2,25"), 23);  // nearest tenth
  EXPECT_EQ(ParseCashDiscount("3"), 30);
  EXPECT_EQ(ParseCashDiscount("abc"), 0);
  EXPECT_EQ(ParseCashDiscount(""), 0);
  EXPECT_EQ(CashDiscountText(23), "2.3");
  EXPECT_EQ(CashDiscountText(25), "2.5");
  EXPECT_EQ(CashDiscountText(0), "0.0");
  for (int tenths : {0, 1, 9, 23, 99, 100, 999})
    EXPECT_EQ(ParseCashDiscount(CashDiscountText(static_cast<std::int16_t>(tenths))), tenths);
}

TEST(SettingsRules, TaxRateClampsToThousandTenths) {
  EXPECT_EQ(ParseTaxRate("16"), 160);
  EXPECT_EQ(ParseTaxRate("7,5"), 75);
  EXPECT_EQ(ParseTaxRate("19.9"), 199);
  EXPECT_EQ(ParseTaxRate("150"), 1000);
  EXPECT_EQ(ParseTaxRate("-5"), 0);
  EXPECT_EQ(ParseTaxRate("x"), 0);
  EXPECT_EQ(ParseTaxRate("16,05"), 160);  // "16,0" is all that is read
  EXPECT_EQ(TaxRateText(160), "16.0");
  EXPECT_EQ(TaxRateText(75), "7.5");
  EXPECT_EQ(TaxRateText(1000), "100.0");
}

TEST(SettingsRules, ExchangeRateReadsPointOnlyAndClamps) {
  EXPECT_FLOAT_EQ(ParseExchangeRate("1,95583"), 1.0f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("1.95583"), 1.95583f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("0"), 0.001f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("-3"), 0.001f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("kurs"), 0.001f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("250"), 100.0f);
  EXPECT_FLOAT_EQ(ParseExchangeRate("0.123456789"), 0.12345f);  // seven characters
  EXPECT_EQ(ExchangeRateText(1.95583f), "1.95583");
  EXPECT_EQ(ExchangeRateText(0.0f), "0.00100");
  EXPECT_EQ(ExchangeRateText(-2.0f), "0.00100");
  EXPECT_EQ(ExchangeRateText(100.0f), "100.00000");
}

TEST(SettingsRules, WholeNumbersClampAndIgnoreTrailingText) {
  EXPECT_EQ(ClampedWhole("-150", -100, 100), -100);
  EXPECT_EQ(ClampedWhole("150", -100, 100), 100);
  EXPECT_EQ(ClampedWhole("-42", -100, 100), -42);
  EXPECT_EQ(ClampedWhole("12mm", 0, 200), 12);
  EXPECT_EQ(ClampedWhole("mm", 0, 200), 0);
  EXPECT_EQ(ClampedWhole("99999999999999999999", 0, 2000), 2000);
  EXPECT_EQ(ParseOrderNumber("1190800015"), 119080001u);  // nine characters
  EXPECT_EQ(ParseOrderNumber("4711"), 4711u);
  EXPECT_EQ(ParsePeriod("14"), 14);
  EXPECT_EQ(ParsePeriod("123456"), 1234);
}

TEST(Decimal, ReadsCommaOrPointAndTurnsGarbageIntoZero) {
  EXPECT_DOUBLE_EQ(ParseDecimal("1.123,00"), 1.123);  // the second point ends it
  EXPECT_DOUBLE_EQ(ParseDecimal("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(ParseDecimal("  -2,25 EUR"), -2.25);
  EXPECT_DOUBLE_EQ(ParseDecimal("+3"), 3.0);
  EXPECT_DOUBLE_EQ(ParseDecimal(",5"), 0.5);
  EXPECT_DOUBLE_EQ(ParseDecimal("12abc"), 12.0);
  for (const char* garbage : {"", "abc", "-", "+", ".", "EUR 5", "--5", "+-5", "inf", "nan"})
    EXPECT_DOUBLE_EQ(ParseDecimal(garbage), 0.0) << garbage;
  // Only the first 20 characters have their commas turned into points.
  EXPECT_DOUBLE_EQ(ParseDecimal(std::string(20, ' ') + "1,5"), 1.0);
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
  EXPECT_EQ(back->family, font.family);
  EXPECT_EQ(back->points, 14);
  EXPECT_EQ(back->weight, 700);
  EXPECT_TRUE(back->italic);

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
