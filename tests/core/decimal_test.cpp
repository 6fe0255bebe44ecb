// Every number field reads its text with ReadNumber / ReadScaled (one table
// for all of them); what the settings fields make of a number; the font slot.
#include "core/decimal.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "printing/font_description.h"
#include "core/settings_rules.h"
#include "support/case_table.h"

namespace {

struct Case {
  const char* text;
  std::optional<double> number;
  std::optional<std::int64_t> cents;
};

TEST(TypedNumbers, GermanInputAndRefusals) {
  const Case cases[] = {
      {"12,50", 12.5, 1250},
      {"1.234,56", 1234.56, 123456},
      {"1.234.567", 1234567, 123456700},
      {"1.234.567,891", 1234567.891, 123456789},
      {"2.5", 2.5, 250},  // the one point of a text without a comma
      {",5", 0.5, 50},
      {"7,", 7, 700},
      {"  -10 ", -10, -1000},
      {"-2,505", -2.505, -251},  // half a cent away from zero, as for "2,505"
      {"2,505", 2.505, 251},
      {"2,5049", 2.5049, 250},
      {"", 0, 0},
      {"zwölf,50", std::nullopt, std::nullopt},
      {"1,2,3", std::nullopt, std::nullopt},
      {"12.34,5", std::nullopt, std::nullopt},
      {"1.234.5", std::nullopt, std::nullopt},
      {"1e5", std::nullopt, std::nullopt},
      {"--5", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"12abc", std::nullopt, std::nullopt},
      {"- 5", std::nullopt, std::nullopt},
      {"99999999999999999999", 1e20, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::optional<double> number = frame::ReadNumber(c.text);
    ASSERT_EQ(number.has_value(), c.number.has_value());
    if (number) {
      EXPECT_DOUBLE_EQ(*number, *c.number);
    }
    EXPECT_EQ(frame::ReadScaled(c.text, 2), c.cents);
  }
}

TEST(TypedNumbers, RecordUnitsClampToTheirFields) {
  EXPECT_EQ(frame::ReadCents("-10"), -1000);
  EXPECT_EQ(frame::ReadCents("99.999.999.999"), INT32_MAX);
  EXPECT_EQ(frame::ReadTenths("-3,05"), -31);
  EXPECT_EQ(frame::ReadTenths("9.999.999"), INT16_MAX);
  EXPECT_EQ(frame::ReadTenths("x"), std::nullopt);
  EXPECT_EQ(frame::Format("%s", std::string(300, 'x').c_str()).size(), 300u);
}

}  // namespace

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
  // The German style, read back the same.
  const FigureStyle german = FigureStyle::German;
  EXPECT_EQ(CashDiscountText(25, german) + " " + TaxRateText(190, german) + " " +
                ExchangeRateText(1.95583f, german) + " " + CashDiscountText(12345, german),
            "2,5 19,0 1,95583 1.234,5");
  for (int tenths : {0, 1, 9, 23, 99, 100, 999, 12345})
    EXPECT_EQ(ParseCashDiscount(CashDiscountText(static_cast<std::int16_t>(tenths), german)), tenths);
  EXPECT_EQ(ParseTaxRate(TaxRateText(1000, german)), 1000);
  EXPECT_FLOAT_EQ(*ParseExchangeRate(ExchangeRateText(1.95583f, german)), 1.95583f);
}

TEST(SettingsRules, WholeNumbersClampAndIgnoreTrailingText) {
  ExpectEach<Text, std::int16_t>(
      [](Text t) { return ClampedWhole(t, -100, 100); },
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
