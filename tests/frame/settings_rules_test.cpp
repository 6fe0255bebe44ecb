// The conversions between the settings dialogs' fields and the parameter
// values, and the font slot format.
#include "frame/settings_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "frame/font_description.h"
#include "support/case_table.h"

namespace frame {
namespace {

using testsupport::ExpectEach;
using Text = const char*;

// The typed forms follow frame::ReadNumber (its own table); here what each
// field makes of a number, and that what a field shows reads back.
TEST(SettingsRules, RatesRoundClampAndReadBackWhatTheyShow) {
  EXPECT_EQ(ParseCashDiscount("2,25"), 23);  // nearest tenth
  EXPECT_EQ(ParseCashDiscount("zwei"), std::nullopt);
  EXPECT_EQ(CashDiscountText(25), "2.5");
  for (int tenths : {0, 1, 9, 23, 99, 100, 999})
    EXPECT_EQ(ParseCashDiscount(CashDiscountText(static_cast<std::int16_t>(tenths))), tenths);
  EXPECT_EQ(ParseTaxRate("7,5"), 75);
  EXPECT_EQ(ParseTaxRate("150"), 1000);
  EXPECT_EQ(ParseTaxRate("-5"), 0);
  EXPECT_EQ(ParseTaxRate("x"), std::nullopt);
  EXPECT_EQ(TaxRateText(75), "7.5");
  EXPECT_EQ(ParseTaxRate(TaxRateText(1000)), 1000);
  EXPECT_FLOAT_EQ(*ParseExchangeRate("1,95583"), 1.95583f);
  EXPECT_FLOAT_EQ(*ParseExchangeRate("0,95"), 0.95f);
  EXPECT_FLOAT_EQ(*ParseExchangeRate("0"), 0.001f);
  EXPECT_FLOAT_EQ(*ParseExchangeRate("250"), 100.0f);
  EXPECT_EQ(ParseExchangeRate("kurs"), std::nullopt);
  EXPECT_EQ(ExchangeRateText(0.0f), "0.00100");
  EXPECT_FLOAT_EQ(*ParseExchangeRate(ExchangeRateText(1.95583f)), 1.95583f);
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
