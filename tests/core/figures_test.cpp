// The one function every figure goes through: the German style writes the
// same digits as the point style, grouped and with a decimal comma, and what
// a field shows reads back as the same number.
#include "core/figures.h"

#include <gtest/gtest.h>

#include <string>

#include "core/decimal.h"
#include "store/figure_style_file.h"

namespace {

using frame::FigureStyle;

struct AmountCase {
  double value;
  int decimals;
  const char* point;
  const char* german;
};

TEST(Figures, Amounts) {
  const AmountCase cases[] = {
      {0, 2, "0.00", "0,00"},
      {-0.0, 2, "-0.00", "0,00"},
      {-0.004, 2, "-0.00", "0,00"},  // rounds to zero: no sign
      {0.5, 2, "0.50", "0,50"},
      {999.99, 2, "999.99", "999,99"},
      {999.995, 2, "1000.00", "1.000,00"},  // rounding carries into a new group
      {1234.56, 2, "1234.56", "1.234,56"},
      {-1234.56, 2, "-1234.56", "-1.234,56"},  // a credit note
      {-120, 2, "-120.00", "-120,00"},
      {100000, 2, "100000.00", "100.000,00"},
      {9999999.99, 2, "9999999.99", "9.999.999,99"},
      {-9999999.99, 2, "-9999999.99", "-9.999.999,99"},
      {1234567890.12, 2, "1234567890.12", "1.234.567.890,12"},
      {1234.5, 0, "1234", "1.234"},  // prices without decimals
      {1.23456, 5, "1.23456", "1,23456"},
  };
  for (const AmountCase& c : cases) {
    SCOPED_TRACE(c.point);
    EXPECT_EQ(frame::Amount(FigureStyle::Point, c.value, c.decimals), c.point);
    EXPECT_EQ(frame::Amount(FigureStyle::German, c.value, c.decimals), c.german);
    // The German text reads back as the value the point text names (fields
    // always show decimals; "1.234" alone is read as one and a bit).
    if (c.decimals == 0) continue;
    const auto back = frame::ReadNumber(frame::Amount(FigureStyle::German, c.value, c.decimals));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, *frame::ReadNumber(c.point) + 0.0);
  }
  EXPECT_EQ(frame::Money(FigureStyle::German, -9999999.99, "EUR"), "-9.999.999,99 EUR");
  EXPECT_EQ(frame::Money(FigureStyle::Point, 1234.5, "€"), "1234.50 €");
}

struct QuantityCase {
  double value;
  int pointDecimals;
  const char* point;
  const char* german;
};

TEST(Figures, QuantitiesPercentagesAndRates) {
  const QuantityCase quantities[] = {
      {3.5, 3, "3.500", "3,5"},      {12, 3, "12.000", "12"},
      {0.125, 3, "0.125", "0,125"},  {1234, 3, "1234.000", "1234"},  // no grouping
      {2.0004, 3, "2.000", "2"},     {-1.25, 3, "-1.250", "-1,25"},
      {0, 3, "0.000", "0"},          {7.5, 0, "8", "7,5"},
      {0.1, 1, "0.1", "0,1"},
  };
  for (const QuantityCase& c : quantities) {
    SCOPED_TRACE(c.point);
    EXPECT_EQ(frame::Quantity(FigureStyle::Point, c.value, c.pointDecimals), c.point);
    EXPECT_EQ(frame::Quantity(FigureStyle::German, c.value, c.pointDecimals), c.german);
    EXPECT_NEAR(*frame::ReadNumber(frame::Quantity(FigureStyle::German, c.value)), c.value, 0.0005);
  }
  EXPECT_EQ(frame::Percent(FigureStyle::Point, 19), "19.0%");
  EXPECT_EQ(frame::Percent(FigureStyle::Point, 2.5, true), "2.5 %");
  EXPECT_EQ(frame::Percent(FigureStyle::German, 19), "19 %");
  EXPECT_EQ(frame::Percent(FigureStyle::German, 2.5), "2,5 %");
  EXPECT_EQ(frame::Percent(FigureStyle::German, 0), "0 %");
  EXPECT_EQ(frame::TaxRate(FigureStyle::Point, 7), "7.0%");
  EXPECT_EQ(frame::TaxRate(FigureStyle::German, 7), "7,0 %");
  EXPECT_EQ(frame::TaxRate(FigureStyle::German, 19), "19,0 %");
}

TEST(Figures, SettingsFileNamesTheStyle) {
  EXPECT_EQ(store::ParseFigureStyle(""), FigureStyle::Point);  // directories from before
  EXPECT_EQ(store::ParseFigureStyle("[Format]\r\nZahlen=deutsch\r\n"), FigureStyle::German);
  EXPECT_EQ(store::ParseFigureStyle("[Format]\nZahlen=punkt\n"), FigureStyle::Point);
  EXPECT_EQ(store::ParseFigureStyle("Zahlen=irgendwas\n"), FigureStyle::Point);
  for (FigureStyle style : {FigureStyle::Point, FigureStyle::German})
    EXPECT_EQ(store::ParseFigureStyle(store::FigureStyleText(style)), style);
}

}  // namespace
