// Every number field reads its text with ReadNumber / ReadScaled; this table
// is the rule for all of them.
#include "frame/decimal.h"

#include <gtest/gtest.h>

#include <optional>

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
