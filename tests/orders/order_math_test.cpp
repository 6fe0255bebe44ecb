// The order arithmetic: the last cent of a total depends on where it rounds.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "orders/dates.h"
#include "orders/order_math.h"
#include "store/parameter_record.h"

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
  EXPECT_EQ(orders::RoundHalfAway(0.5), 1);
  EXPECT_EQ(orders::RoundHalfAway(-0.5), -1);
  EXPECT_EQ(orders::RoundHalfAway(2.5), 3);
  EXPECT_EQ(orders::RoundHalfAway(-2.5), -3);
  EXPECT_EQ(orders::RoundHalfAway(0.49), 0);
  EXPECT_EQ(orders::RoundHalfAway(-0.49), 0);
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

// An independent re-computation from the rules, for random orders.
TEST(ComputeOrderTotal, AgreesWithTheRulesForRandomOrders) {
  std::mt19937 random(7);
  const auto p = Rates(70, 190);
  const std::int16_t codes[] = {1, 7, 15, 0, 3};
  for (int round = 0; round < 2000; ++round) {
    std::vector<OrderLine> lines;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      double quantity = static_cast<int>(random() % 20001 - 5000) / 1000.0;
      auto price = static_cast<std::int32_t>(random() % 200001) - 50000;
      auto discount = static_cast<std::int16_t>(random() % 1001);
      std::uint16_t flags = random() % 7 == 0 ? store::kLineBackOrder : 0;
      lines.push_back(Line(quantity, price, discount, codes[random() % 5], flags));
    }
    OrderHead head{};
    const bool gross = random() % 2;
    if (gross) head.flags = store::kOrderPricesIncludeTax;
    // The rules, written out again.
    auto round_away = [](double x) -> long long {
      return x >= 0.5 ? static_cast<long long>(x + 0.5)
                      : x <= -0.5 ? static_cast<long long>(x - 0.5) : 0;
    };
    long long sums[3] = {0, 0, 0};
    bool backOrder = false;
    for (const OrderLine& l : lines) {
      if (l.flags & store::kLineBackOrder) {
        backOrder = true;
        continue;
      }
      double g = l.salePrice * l.quantity;
      long long net = round_away(g) - round_away(g * l.discount / 1000);
      if (l.taxCode == 1) sums[0] += net;
      if (l.taxCode == 7) sums[1] += net;
      if (l.taxCode == 15) sums[2] += net;
    }
    long long expected = gross ? sums[0] + sums[1] + sums[2]
                               : sums[0] + round_away(107.0 * sums[1] / 100) +
                                     round_away(119.0 * sums[2] / 100);
    ASSERT_EQ(Total(head, lines, p), expected) << "round " << round;
    ASSERT_EQ(static_cast<bool>(head.flags & store::kOrderHasBackOrder), backOrder);
  }
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
  EXPECT_EQ(orders::PriceForQuantity(a, 50), 80);
  EXPECT_EQ(orders::PriceForQuantity(a, 49.9), 90);
  EXPECT_EQ(orders::PriceForQuantity(a, 9.999), 100);
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
  EXPECT_EQ(orders::NormaliseDate("1.2.5"), "01.02.2005");
  EXPECT_EQ(orders::NormaliseDate("1.2.99"), "01.02.1999");
  EXPECT_EQ(orders::NormaliseDate("1.0.2020"), "");
  EXPECT_EQ(orders::NormaliseDate("1.2"), "");
  EXPECT_EQ(orders::DayNumber("01.12.1999"), 10926);
  EXPECT_EQ(orders::DayNumber("01.01.1970"), 0);
  EXPECT_EQ(orders::AddDaysToDate(20, 3, 2026, 14), "03.04.2026");  // across summer time
  EXPECT_EQ(orders::AddDaysToDate(15, 12, 26, 30), "14.01.2027");
  EXPECT_EQ(orders::AddDaysToDate(28, 2, 2024, 1), "29.02.2024");
  EXPECT_EQ(orders::MonthNumber("15.12.2026"), 11 + 12 * 126);
  EXPECT_TRUE(orders::DateInRange("01.01.2026", "31.12.2026", "31.12.2026"));
  EXPECT_FALSE(orders::DateInRange("01.01.2026", "01.01.2027", "31.12.2026"));
}

TEST(PaymentTerms, DueDateAndCashDiscount) {
  OrderHead head{};
  head.total = 1000;
  head.paymentPeriod = 14;
  head.cashDiscount = 20;
  head.cashDiscountPeriod = 8;
  EXPECT_EQ(orders::PaymentTermsLines(head, "01.12.2026"),
            (std::vector<std::string>{
                "Zahlung: innerhalb 14 Tagen bis zum 15.12.2026.",
                "Bei Zahlung innerhalb der nächsten 8 Tage erhalten Sie 2.0% Skonto."}));
  head.paymentPeriod = 0;
  head.total = -5;
  EXPECT_EQ(orders::PaymentTermsLines(head, "01.12.2026").size(), 1u);
  head.total = 5;
  EXPECT_EQ(orders::PaymentTermsLines(head, "01.12.2026")[0], "Zahlung: Sofort ohne Abzug");
}

}  // namespace
