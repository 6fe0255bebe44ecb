// The order arithmetic: the last cent of a total depends on where it rounds.
#include "orders/order_math.h"

#include <gtest/gtest.h>

#include <vector>

#include "orders/dates.h"
#include "store/parameter_record.h"
#include "support/case_table.h"

namespace {

using store::OrderHead;
using store::OrderLine;

store::ParameterRecord Rates(std::int16_t first, std::int16_t second) {
  store::ParameterRecord p{};
  for (int c = 0; c < 3; ++c) {
    store::SetTaxRate(p, c, 2, first);
    store::SetTaxRate(p, c, 3, second);
  }
  p.exchangeRates[0] = 1.0f;
  return p;
}

OrderLine Line(double quantity, std::int32_t price, std::int16_t discount, std::int16_t taxCode,
               std::uint16_t flags = 0) {
  OrderLine line{};
  line.quantity = quantity;
  line.salePrice = price;
  line.discount = discount;
  line.taxCode = taxCode;
  line.flags = flags;
  return line;
}

std::int32_t Total(OrderHead& head, std::vector<OrderLine> lines,
                   const store::ParameterRecord& p) {
  lines.insert(lines.begin(), OrderLine{});  // slot 0, the edited line
  head.lineCount = static_cast<std::int16_t>(lines.size() - 1);
  return orders::ComputeOrderTotal(head, lines, p);
}

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  testsupport::ExpectEach<double, long long>(
      orders::RoundHalfAway, {{0.5, 1}, {-0.5, -1}, {2.5, 3}, {-2.5, -3}, {0.49, 0}, {-0.49, 0}});
}

TEST(ComputeOrderTotal, DiscountAndTaxRoundSeparately) {
  const auto p = Rates(70, 190);
  OrderHead head{};
  OrderLine line = Line(3, 199, 100, store::kTaxCodeRate1);
  EXPECT_EQ(orders::LineNet(line), 537);  // 597 - RoundHalfAway(59.7)
  EXPECT_EQ(Total(head, {line}, p), 575);  // RoundHalfAway(574.59)
  head.flags = store::kOrderPricesIncludeTax;
  EXPECT_EQ(Total(head, {line}, p), 537);
}

TEST(ComputeOrderTotal, BackOrdersUnknownTaxCodesAndCredits) {
  const auto p = Rates(70, 190);
  OrderHead head{};
  EXPECT_EQ(Total(head, {Line(0.5, 1, 0, store::kTaxCodeNone)}, p), 1);
  EXPECT_EQ(Total(head, {Line(-0.5, 1, 0, store::kTaxCodeNone)}, p), -1);
  head = OrderHead{};
  EXPECT_EQ(Total(head, {Line(2, 1000, 0, store::kTaxCodeRate2, store::kLineBackOrder)}, p), 0);
  EXPECT_TRUE(head.flags & store::kOrderHasBackOrder);
  head = OrderHead{};
  EXPECT_EQ(Total(head, {Line(2, 1000, 0, 0)}, p), 0);
  EXPECT_EQ(Total(head, {Line(-2, 1000, 0, store::kTaxCodeRate2)}, p), -2380);
  EXPECT_EQ(Total(head, {}, p), 0);
}

TEST(ComputeOrderTotal, FourthCurrencyUsesTheMainCurrencysRates) {
  auto p = Rates(70, 190);
  store::SetTaxRate(p, 0, 3, 160);
  OrderHead head{};
  head.currency = 3;
  EXPECT_EQ(Total(head, {Line(1, 10000, 0, store::kTaxCodeRate2)}, p), 11600);
}

TEST(PriceForQuantity, HighestTierWhoseThresholdIsReached) {
  store::ArticleRecord a{};
  a.price1 = 100;
  a.quantityPrice2 = 10;
  a.price2 = 90;
  a.quantityPrice3 = 50;
  a.price3 = 80;
  a.quantityPrice4 = 0;
  a.price4 = 1;
  testsupport::ExpectEach<double, std::int32_t>(
      [&a](double quantity) { return orders::PriceForQuantity(a, quantity); },
      {{50, 80}, {49.9, 90}, {9.999, 100}});
}

TEST(ConvertPrice, AddsHalfAndTruncatesAndSkipsMissingRates) {
  store::ParameterRecord p{};
  p.exchangeRates[0] = 1.0f;
  p.exchangeRates[1] = 1.95583f;
  EXPECT_EQ(orders::ConvertPriceOnTakeOver(1000, 0, 1, p), 1956);
  EXPECT_EQ(orders::ConvertPrice(1956, 1, 0, p), 1000);
  EXPECT_EQ(orders::ConvertPrice(-1000, 0, 1, p), -1955);  // truncation, not RoundHalfAway
  EXPECT_EQ(orders::ConvertPrice(1000, 0, 2, p), 1000);    // currency 3 has no rate
}

TEST(Dates, NormaliseAndCount) {
  testsupport::ExpectEach<std::string, std::string>(
      orders::NormaliseDate,
      {{"1.2.5", "01.02.2005"}, {"1.2.99", "01.02.1999"}, {"1.0.2020", ""}, {"1.2", ""}});
  EXPECT_EQ(orders::DayNumber("01.12.1999"), 10926);
  EXPECT_EQ(orders::DayNumber("01.01.1970"), 0);
  EXPECT_EQ(orders::AddDaysToDate(20, 3, 2026, 14), "03.04.2026");  // across summer time
  EXPECT_EQ(orders::AddDaysToDate(15, 12, 26, 30), "14.01.2027");
  EXPECT_EQ(orders::AddDaysToDate(28, 2, 2024, 1), "29.02.2024");
  EXPECT_EQ(orders::MonthNumber("15.12.2026"), 11 + 12 * 126);
  EXPECT_TRUE(orders::DateInRange("01.01.2026", "31.12.2026", "31.12.2026"));
  EXPECT_FALSE(orders::DateInRange("01.01.2026", "01.01.2027", "31.12.2026"));
}

}  // namespace
