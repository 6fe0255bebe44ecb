// How the article editor reads and shows numbers, and the automatic article
// number of a new article.
#include "masterdata/article_values.h"

#include <gtest/gtest.h>

#include <climits>

#include "store/article_file.h"
#include "store/records_test_support.h"
#include "support/case_table.h"

namespace masterdata {
namespace {

using testsupport::ExpectEach;
using Text = const char*;

TEST(ArticleValues, EveryPriceShownReadsBackAsItself) {
  using frame::FigureStyle;
  ExpectEach<std::int32_t, Text>([](std::int32_t c) { return PriceText(c); },
                                 {{1250, "12.50"}, {0, "0.00"}, {-150, "-1.50"}, {-1, "-0.01"}});
  ExpectEach<std::int32_t, Text>([](std::int32_t c) { return PriceText(c, FigureStyle::German); },
                                 {{1250, "12,50"}, {123456, "1.234,56"}, {-150, "-1,50"},
                                  {INT32_MIN, "-21.474.836,48"}});
  for (FigureStyle style : {FigureStyle::Point, FigureStyle::German}) {
    for (std::int32_t cents = -200000; cents <= 200000; cents += 7)
      ASSERT_EQ(ParsePrice(PriceText(cents, style)), cents) << PriceText(cents, style);
    // Up to the widest text the field takes ("-9999999.99" is eleven
    // characters, "-21.474.836,48" fourteen).
    for (std::int32_t cents : {INT32_MAX, 99999999, -999999999}) {
      EXPECT_EQ(ParsePrice(PriceText(cents, style)), cents) << PriceText(cents, style);
      EXPECT_LE(PriceText(cents, style).size(), static_cast<std::size_t>(PriceChars(style)));
    }
  }
  EXPECT_EQ(ParsePrice("-99.999.999.999"), INT32_MIN);  // clamped to the record
  EXPECT_EQ(ParsePrice("7 EUR"), std::nullopt);
}

TEST(ArticleValues, ThresholdsAreWholeNumbersAndStocksKeepThreeDecimals) {
  ExpectEach<Text, std::int32_t>(ParseQuantity, {{"12,5", 12}, {"12345", 1234}, {"viel", 0}});
  EXPECT_EQ(QuantityText(10) + " " + StockText(1.5) + " " + StockText(-2), "10 1.500 -2.000");
  // No thousands points: "1.234" would read back as one and a bit.
  EXPECT_EQ(StockText(1.5, frame::FigureStyle::German) + " " +
                StockText(1234.5, frame::FigureStyle::German),
            "1,5 1234,5");
  EXPECT_EQ(ParseStock(StockText(1234.5, frame::FigureStyle::German)), 1234.5);
  EXPECT_EQ(ParseStock("1.234,5"), 1234.5);
  EXPECT_EQ(ParseStock("x"), std::nullopt);

  store::ArticleRecord article{};
  for (int i = 0; i < 6; ++i) article.stock[i] = i + 0.5;
  EXPECT_DOUBLE_EQ(TotalStock(article), 18.0);
}

class ArticleNumberTest : public testsupport::StoreTest {
 protected:
  void Add(const std::string& number) {
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteArticle(app, testsupport::MakeArticle(number), position, true), 1);
  }
};

TEST_F(ArticleNumberTest, OneMoreThanTheLargestNumberAKeyReadsAs) {
  EXPECT_EQ(NextArticleNumber(app), "1");  // an empty catalogue
  Add("X9");
  Add("-5");
  EXPECT_EQ(NextArticleNumber(app), "1");  // letters first read 0; nothing counts down
  Add("100");
  Add("20A");
  EXPECT_EQ(NextArticleNumber(app), "101");
  Add(" 250 Stück");
  EXPECT_EQ(NextArticleNumber(app), "251");
}

TEST_F(ArticleNumberTest, NoNumberWhenNothingFitsAboveTheLargest) {
  Add("9223372036854775807");
  EXPECT_EQ(NextArticleNumber(app), "");
  Add("99999999999999999999");
  EXPECT_EQ(NextArticleNumber(app), "");
}

TEST_F(ArticleNumberTest, NewArticleIsTaxedAtRateTwoAndNumberedOnRequest) {
  Add("100");
  store::ArticleRecord plain = NewArticle(app);
  EXPECT_EQ(store::GetText(plain.number), "");
  EXPECT_EQ(+plain.flags, store::kArticleTaxRate2);
  EXPECT_EQ(+plain.price1, 0);
  app.parameters.autoArticleNumber = 1;
  EXPECT_EQ(store::GetText(NewArticle(app).number), "101");
}

}  // namespace
}  // namespace masterdata
