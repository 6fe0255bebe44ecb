// The word search through the kept text finds exactly what the plain scan
// finds: random catalogues, random search texts, and a second copy of the
// program that edits, adds, renumbers and deletes articles, imports a
// Datanorm file and reorganises the article file between the searches.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "datanorm/datanorm_import.h"
#include "maintenance/master_rebuild.h"
#include "masterdata/article_search.h"
#include "store/article_text.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/records_test_support.h"

namespace masterdata {
namespace {

// Pieces of Windows-1252 text: case variants, umlauts (\xe4 ä, \xc4 Ä, \xf6 ö,
// \xd6 Ö, \xfc ü, \xdf ß), separators, pieces that make common words.
const char* const kPieces[] = {"Kabel", "kabel", "KABEL", "Rohr", "r\xf6hre", "R\xd6HRE", "Stra\xdf" "e",
                               "\xe4",  "\xc4",  "ab",    "AB",   "10",       "3x1,5",    "x",
                               "e",     "E",     "M\xfc" "ller", "Z",  "zz",   " ",        ","};

std::string RandomText(std::mt19937& random, std::size_t width) {
  const std::size_t length = random() % 4 == 0 ? width : random() % (width + 1);
  std::string text;
  while (text.size() < length) text += kPieces[random() % std::size(kPieces)];
  text.resize(length);
  return text;
}

// Flips the case of some letters a-z and A-Z.
std::string FlipSome(std::mt19937& random, std::string text) {
  for (char& c : text)
    if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128 && random() % 3 == 0)
      c = static_cast<char>(c ^ 0x20);
  return text;
}

store::ArticleRecord RandomArticle(std::mt19937& random, int serial) {
  const std::string tail = "/" + std::to_string(serial);
  store::ArticleRecord article = testsupport::MakeArticle(RandomText(random, 21 - tail.size()) + tail);
  store::SetText(article.designation, RandomText(random, 41));
  store::SetText(article.productGroup, RandomText(random, 21));
  store::SetText(article.remark1, random() % 3 ? store::GetText(article.designation) : RandomText(random, 41));
  store::SetText(article.remark2, RandomText(random, 255));
  store::SetText(article.supplier, RandomText(random, 11));
  return article;
}

// A search text: words taken from the pieces, cut, with their case flipped,
// sometimes none at all and sometimes longer than the 20 characters read.
std::string RandomSearch(std::mt19937& random) {
  switch (random() % 8) {
    case 0: return random() % 2 ? "" : " ,, ";
    case 1: return FlipSome(random, RandomText(random, 30));
    default: break;
  }
  std::string text;
  for (int words = 1 + static_cast<int>(random() % 3); words > 0; --words) {
    std::string word = kPieces[random() % std::size(kPieces)];
    word = word.substr(random() % word.size());
    if (random() % 2) word += kPieces[random() % std::size(kPieces)];
    text += FlipSome(random, word) + (random() % 2 ? " " : ",");
  }
  return text;
}

using Summary = std::tuple<bool, bool, bool, std::vector<std::tuple<std::int32_t, std::string, std::string>>>;
Summary Summarise(const ArticleSearchResult& result) {
  Summary summary{result.moreThanLimit, result.cancelled, result.unreadable, {}};
  for (const ArticleHit& hit : result.hits)
    std::get<3>(summary).emplace_back(hit.position, hit.number, hit.designation);
  return summary;
}

class KeptArticleTextTest : public testsupport::StoreTest {
 protected:
  // Writes the catalogue as years of typing leave it: the records in another
  // order than the index, some shortened by an older record length, and one
  // entry pointing behind the end of the file.
  void WriteCatalogue(std::mt19937& random, int count) {
    std::vector<store::ArticleRecord> articles;
    for (int i = 0; i < count; ++i) articles.push_back(RandomArticle(random, serial_++));
    std::vector<store::ArticleIndexEntry> entries;
    std::ofstream data(dir.file("ARTIKEL.DAT"), std::ios::binary | std::ios::trunc);
    for (std::size_t i = 0; i < articles.size(); ++i) {
      store::ArticleRecord& a = articles[i];
      if (random() % 10 == 0) a.length = static_cast<std::uint16_t>(100 + random() % 400);
      store::ArticleIndexEntry entry{};
      store::SetText(entry.key, store::GetText(a.number));
      entry.offset = static_cast<std::uint32_t>(i * sizeof a);
      entries.push_back(entry);
      data.write(reinterpret_cast<const char*>(&a), sizeof a);
    }
    entries.back().offset = static_cast<std::uint32_t>(articles.size() * sizeof(store::ArticleRecord) + 1);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& x, const auto& y) {
      return store::CompareKeys(store::GetText(x.key), store::GetText(y.key)) < 0;
    });
    std::ofstream index(dir.file("ARTIKEL.IDX"), std::ios::binary | std::ios::trunc);
    const std::int32_t last = count - 1;
    index.write(reinterpret_cast<const char*>(&last), sizeof last);
    index.write(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof entries[0]);
  }

  // One change by the other copy.
  void Change(std::mt19937& random, frame::AppState& other, int round) {
    std::int32_t position = -1;
    store::ArticleRecord article{};
    const std::int32_t count = other.articles.lastIndex + 1;
    auto pick = [&] { return static_cast<std::int32_t>(random() % static_cast<unsigned>(count)); };
    switch (round % 4 == 3 ? 4 : random() % 4) {
      case 0:  // new articles
        for (int n = 0; n < 3; ++n)
          EXPECT_EQ(store::WriteArticle(other, RandomArticle(random, serial_++), position, true), 1);
        break;
      case 1:  // texts changed in place: the index stays as it is
        for (int n = 0; n < 3; ++n) {
          position = pick();
          ASSERT_EQ(store::ReadArticle(other, article, position), 1);
          store::SetText(article.designation, RandomText(random, 41));
          store::SetText(article.remark2, RandomText(random, 255));
          EXPECT_EQ(store::WriteArticle(other, article, position, false), 1);
        }
        break;
      case 2:  // a new number: the record moves to the end of the file
        position = pick();
        if (store::ReadArticle(other, article, position) != 1) break;  // the entry behind the end
        store::SetText(article.number, RandomText(random, 12) + "/" + std::to_string(serial_++));
        EXPECT_EQ(store::WriteArticle(other, article, position, false), 1);
        break;
      case 3:  // deleted
        position = pick();
        EXPECT_EQ(store::DeleteArticle(other, position), 1);
        break;
      default:  // replaced whole: a Datanorm import, then a reorganisation
        ImportDatanorm(random, other);
        EXPECT_EQ(maintenance::RebuildMasterFile(other, maintenance::ArticleRebuild()), 1);
        break;
    }
  }

  void ImportDatanorm(std::mt19937& random, frame::AppState& other) {
    const std::string path = dir.file("katalog.001");
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fprintf(out, "V 070524%-40s%-40s%-35s04EUR\r\n", "Elektro Sued", "Katalog", "Tel");
    for (int n = 0; n < 20; ++n)
      std::fprintf(out, "A;N;DN%05d;00;%s;%s;1;1;St;%u;00;000;;\r\n", serial_++,
                   FlipSome(random, "Kabel Rohr e").c_str(), "Abzweigdose 10", 100u + n);
    std::fclose(out);
    datanorm::ImportOptions options;
    options.fileName = path;
    options.supplier = "Gro\xdf";
    datanorm::ImportHooks hooks;
    hooks.confirmFileInfo = [](const std::string&) { return true; };
    hooks.progress = [](int) { return false; };
    EXPECT_EQ(datanorm::ImportDatanorm(other, options, hooks).end, datanorm::ImportEnd::Done);
  }

  int serial_ = 0;
};

TEST_F(KeptArticleTextTest, FindsWhatThePlainScanFindsWhileAnotherCopyChangesTheFiles) {
  for (unsigned seed : {1u, 2u}) {
    std::mt19937 random(seed);
    WriteCatalogue(random, 700);
    frame::AppState other = OtherCopy(dir.path());
    store::ArticleText& kept = store::KeptArticleText(app);
    // Many small buckets and pages, both threads at every reading and
    // search; files count as settled soon after a change, so that the kept
    // text is used across several searches and must notice the next change.
    kept.tuning = {.bucketEntries = 7, .pageBytes = 0, .parallelFrom = 0, .parallelBuildFrom = 0,
                   .settleTime = std::chrono::milliseconds(20), .readBlock = 700};
    int read = 0, reused = 0;
    for (int round = 0; round < 16; ++round) {
      if (round > 0) Change(random, other, round);
      if (round % 2 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(30));
      for (int search = 0; search < 8; ++search) {
        const std::string text = RandomSearch(random);
        for (bool allFields : {true, false}) {
          ui.progressValues.clear();
          const Summary found = Summarise(SearchArticles(app, text, allFields));
          if (allFields && !SearchWords(text).empty()) ++(ui.progressValues.empty() ? reused : read);
          EXPECT_EQ(found, Summarise(SearchArticlesPlain(other, text, allFields)))
              << "seed " << seed << ", round " << round << ", \"" << text << "\", all fields " << allFields;
        }
      }
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(reused, 0);
    app.articleText.value.reset();
  }
}

}  // namespace
}  // namespace masterdata
