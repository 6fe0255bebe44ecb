// Order proposals, article lists and address lists on the recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "report_book.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/service_article.h"

namespace {

using reporttest::ReportBook;
using reporttest::Row;

struct Article {
  const char* number;
  double stock[2];
  double minimum, target;
  std::int32_t price;
  std::uint8_t currency;
  bool service = false;
};

void Put(ReportBook& book, const Article& a) {
  store::ArticleRecord record{};
  record.length = sizeof record;
  store::SetText(record.number, a.number);
  record.stock[0] = a.stock[0];
  record.stock[5] = a.stock[1];
  record.minimumStock = a.minimum;
  record.targetStock = a.target;
  record.price1 = record.purchasePrice = a.price;
  record.currency = a.currency;
  store::MarkServiceArticle(record, a.service);
  std::int32_t position = -1;
  store::WriteArticle(book.app, record, position, true);
}

TEST(ArticleLists, ProposalsAndValues) {
  ReportBook book;
  Put(book, {"A-1", {2, 0}, 5, 20, 150, 0});
  Put(book, {"A-2", {3, 2}, 5, 20, 150, 0});    // exactly the minimum
  Put(book, {"A-3", {-9, 0}, -5, 20, 150, 0});  // negative minimum
  Put(book, {"A-4", {2.5, 0.4}, 0, 0, 1000, 0});
  Put(book, {"A-5", {1, 0}, 0, 0, 1956, 1});
  const auto proposals = book.render(13);
  EXPECT_EQ(Row(proposals, 300), (std::vector<std::string>{"A-1", "", "", "2.000", "18.000", "1.50 EUR"}));
  EXPECT_TRUE(Row(proposals, 340).empty());

  const auto sale = book.render(15);
  EXPECT_EQ(Row(sale, 430), (std::vector<std::string>{"A-4", "", "", "2.900", "10.00 EUR", "20.00 EUR"}));
  EXPECT_EQ(Row(sale, 470)[4], "10.00 EUR") << "19.56 DM in the main currency";
  // 3.00 + 7.50 - 13.50 + 20.00 + 10.00: every article of the (empty) selection.
  EXPECT_EQ(Row(sale, 520), (std::vector<std::string>{"Gesamtsumme", "27.00 EUR"}));
  EXPECT_NE(book.render(17).findText("EK-Summe"), nullptr);
}

// A service below its minimum (hours booked by an older version) is never
// proposed for ordering; goods beside it are.
TEST(ArticleLists, ServicesAreNeverProposed) {
  ReportBook book;
  Put(book, {"FAHRT", {-3, 0}, 0, 0, 3500, 0, true});
  Put(book, {"LACK", {1, 0}, 2, 5, 1200, 0});
  Put(book, {"STUNDE", {-36.5, 0}, 0, 10, 4800, 0, true});
  const auto proposals = book.render(13);
  EXPECT_EQ(Row(proposals, 300)[0], "LACK");
  EXPECT_TRUE(Row(proposals, 340).empty());
}

// Words no list may show: a value that is not a number printed as one.
bool ShowsNoNumber(const printing::RecordingCanvas& canvas) {
  for (const auto* op : canvas.texts()) {
    std::istringstream words(op->text);
    for (std::string word; words >> word;)
      if (word == "nan" || word == "-nan" || word == "inf" || word == "-inf") return true;
  }
  return false;
}

// Quantities no field can mean are reported as damaged, never printed or
// added up; a value the total cannot hold is told and left out of it.
TEST(ArticleLists, DamagedQuantitiesAreReportedNeverPrintedOrSummed) {
  ReportBook book;
  Put(book, {"A-1", {2, 0}, 0, 0, 150, 0});
  Put(book, {"A-2", {1e300, 0}, 0, 0, 150, 0});
  Put(book, {"A-3", {0, -1e300}, 0, 0, 150, 0});
  Put(book, {"A-4", {std::nan(""), 0}, 5, 0, 150, 0});
  Put(book, {"A-5", {1, 0}, 0, -HUGE_VAL, 150, 0});
  Put(book, {"A-6", {9e13, 0}, 0, 0, 2000000000, 0});  // sound, but beyond any total
  for (int job : {13, 15, 17}) {
    SCOPED_TRACE(job);
    book.warnings.clear();
    const auto canvas = book.render(job);
    EXPECT_FALSE(ShowsNoNumber(canvas));
    for (const char* number : {"A-2", "A-3", "A-4", "A-5"}) {
      EXPECT_EQ(canvas.findText(number), nullptr) << number;
      EXPECT_NE(std::find(book.warnings.begin(), book.warnings.end(),
                          "Artikel " + std::string(number) +
                              ": ein gespeicherter Bestand ist beschädigt. Der Artikel wird "
                              "nicht gedruckt."),
                book.warnings.end())
          << number;
    }
    if (job == 13) continue;
    const auto* total = canvas.findText("Gesamtsumme");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(Row(canvas, total->y), (std::vector<std::string>{"Gesamtsumme", "3.00 EUR"}))
        << "A-1 alone";
  }
  // Order lines: a list over them leaves out an order with such a quantity.
  const std::int32_t meier = book.customer("Meier");
  book.put(meier, {}, {{2, 1000, store::kTaxCodeRate2, "A-1"}});
  const std::int32_t damaged = book.put(meier, {}, {{std::nan(""), 1000, store::kTaxCodeRate2, "A-1"}});
  book.warnings.clear();
  const auto hits = book.render(6);
  EXPECT_FALSE(ShowsNoNumber(hits));
  EXPECT_EQ(Row(hits, 360), (std::vector<std::string>{"A-1", "", "20.00 EUR", "2.000"}));
  EXPECT_EQ(book.warnings, std::vector<std::string>{
                               "Auftrag " + std::to_string(damaged) +
                               ", Position 1: die gespeicherte Menge ist beschädigt. Der Auftrag "
                               "wird nicht mitgezählt."});
}

TEST(AddressLists, NamesSalutationsAndPostcodeOrder) {
  ReportBook book;
  struct Address {
    const char* name1;
    const char* name2;
    const char* name3;
    const char* town;
    std::uint8_t salutation;
  };
  for (const Address& a : {Address{"", "Beta", "GmbH", "1067 Dresden", store::kSalutationCompany},
                           Address{"Anna", "Alpha", "", "01067 Dresden", 3},
                           Address{"Hans", "Gamma", "", "34117 Kassel", store::kSalutationMr}}) {
    store::AddressRecord record{};
    record.length = sizeof record;
    store::SetText(record.name1, a.name1);
    store::SetText(record.name2, a.name2);
    store::SetText(record.name3, a.name3);
    store::SetText(record.town, a.town);
    record.salutation = a.salutation;
    std::int32_t position = -1;
    store::WriteAddress(book.app, record, position, true);
  }
  const auto byName = book.render(14);
  EXPECT_EQ(Row(byName, 340), (std::vector<std::string>{"", "", "Anna Alpha ", "", ""}));
  EXPECT_EQ(Row(byName, 420), (std::vector<std::string>{"", "Firma", "Beta GmbH", "", ""}));
  EXPECT_EQ(Row(byName, 540), (std::vector<std::string>{"", "34117 Kassel"}));

  const auto byPostcode = book.render(18);
  EXPECT_EQ(Row(byPostcode, 450)[1], "Anna Alpha ");
  EXPECT_EQ(Row(byPostcode, 490)[1], " Beta GmbH");
  EXPECT_EQ(Row(byPostcode, 530)[0], "Herrn");
}

}  // namespace
