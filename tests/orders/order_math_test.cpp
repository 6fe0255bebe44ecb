// The order arithmetic: the last cent of a total depends on where it rounds.
#include "orders/order_math.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/dates.h"
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

// An amount is its exact decimal value rounded half away from zero: checked
// against integer arithmetic on the typed digits (quantities of three
// decimals, whole-cent prices, discounts in tenths, the fourth currency's
// rate of five decimals), over many random lines.
TEST(LineNet, ExactHalfCentsRoundAwayFromZero) {
  const auto p = Rates(70, 190);
  OrderHead head{};
  EXPECT_EQ(Total(head, {Line(1.009, 500, 0, store::kTaxCodeRate2)}, p), 601);  // 5.05 + 0.96
  struct Case {
    double quantity;
    std::int32_t price;
    std::int16_t discount;
    std::int32_t net;
  };
  for (const Case& c : {Case{1.009, 500, 0, 505}, Case{0.285, 100, 0, 29}, Case{2.01, 50, 0, 101},
                        Case{-2.01, 50, 0, -101}, Case{1, 105, 50, 105 - 5},  // 5.25 off
                        Case{1, 110, 50, 110 - 6}})                           // 5.5 off
    EXPECT_EQ(orders::LineNet(Line(c.quantity, c.price, c.discount, 15)), c.net) << c.quantity << " x " << c.price;

  // Whole multiples of 1/q: n / d rounded half away from zero.
  const auto rounded = [](long long n, long long d) {
    const long long q = n / d, r = n % d;
    return 2 * (r < 0 ? -r : r) >= d ? q + (n < 0 ? -1 : 1) : q;
  };
  std::mt19937 random(20261207);
  std::uniform_int_distribution<long long> thousandths(-200000, 200000), cents(-500000, 500000);
  std::uniform_int_distribution<int> tenths(0, 1000);
  const float rate = 1.95583f;
  int halves = 0;
  for (int i = 0; i < 200000; ++i) {
    const long long q = thousandths(random), price = cents(random);
    const int discount = tenths(random);
    const OrderLine line = Line(static_cast<double>(q) / 1000, static_cast<std::int32_t>(price),
                                static_cast<std::int16_t>(discount), store::kTaxCodeRate2);
    if (!orders::LineComputable(line)) continue;
    halves += (price * q) % 1000 != 0 && (2 * price * q) % 1000 == 0;
    const long long gross = rounded(price * q, 1000);
    const long long off = rounded(price * q * discount, 1000 * 1000);
    ASSERT_EQ(orders::LineNet(line), gross - off) << q << " x " << price << " - " << discount;
    const orders::LineParts fourth = orders::ConvertedLineParts(line, rate);
    ASSERT_EQ(fourth.gross, rounded(price * q * 195583, 1000LL * 100000)) << q << " x " << price;
    const long long sum = gross - off;
    const int r = tenths(random);
    ASSERT_EQ(orders::TaxedSum(sum, r), rounded(sum * (1000 + r), 1000)) << sum << " at " << r;
    ASSERT_EQ(orders::NetOfGross(sum, r), rounded(sum * 1000, 1000 + r)) << sum << " at " << r;
  }
  EXPECT_GT(halves, 1000);  // the cases that matter did come up
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

// The terms under an invoice: the payment line, and a cash discount spelled
// out as the day to pay by and the amount left to transfer, from what is
// still open; nothing offered twice, nothing on a credit note.
TEST(PaymentTermsLines, CashDiscountStatesTheDayAndTheAmount) {
  struct Case {
    const char* name;
    std::int32_t total, paid;
    std::int16_t period, discount, discountDays;
    bool taken;
    frame::FigureStyle style;
    std::vector<std::string> lines;
  };
  using frame::FigureStyle;
  const Case cases[] = {
      {"no discount", 175846, 0, 14, 0, 0, false, FigureStyle::German,
       {"Zahlung: innerhalb 14 Tagen bis zum 21.12.2026."}},
      {"two percent, German", 175846, 0, 30, 20, 7, false, FigureStyle::German,
       {"Zahlung: innerhalb 30 Tagen bis zum 06.01.2027.",
        "Bei Zahlung bis 14.12.2026 abzüglich 2,0 % Skonto: 1.723,29 EUR"}},
      {"point style, over the month", 10000, 0, 0, 25, 30, false, FigureStyle::Point,
       {"Zahlung: Sofort ohne Abzug", "Bei Zahlung bis 06.01.2027 abzüglich 2.5 % Skonto: 97.50 EUR"}},
      {"half a cent rounds the discount up", 1025, 0, 10, 20, 7, false, FigureStyle::German,
       {"Zahlung: innerhalb 10 Tagen bis zum 17.12.2026.",
        "Bei Zahlung bis 14.12.2026 abzüglich 2,0 % Skonto: 10,04 EUR"}},
      {"partly paid", 10000, 4000, 14, 20, 7, false, FigureStyle::German,
       {"Zahlung: innerhalb 14 Tagen bis zum 21.12.2026.",
        "Bei Zahlung bis 14.12.2026 abzüglich 2,0 % Skonto: 58,00 EUR"}},
      {"discount granted before", 10000, 4000, 14, 20, 7, true, FigureStyle::German,
       {"Zahlung: innerhalb 14 Tagen bis zum 21.12.2026."}},
      {"paid", 10000, 10000, 14, 20, 7, false, FigureStyle::German, {"Betrag dankend erhalten."}},
      {"credit note", -10000, 0, 14, 20, 7, false, FigureStyle::German, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store::OrderHead head{};
    head.total = c.total;
    head.paid = c.paid;
    head.paymentPeriod = c.period;
    head.cashDiscount = c.discount;
    head.cashDiscountPeriod = c.discountDays;
    head.cashDiscountTaken = c.taken;
    EXPECT_EQ(orders::PaymentTermsLines(head, "07.12.2026", "EUR", c.style), c.lines);
  }
}
