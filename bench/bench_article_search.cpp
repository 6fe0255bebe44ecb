// The word search of "Artikel suchen" over a large catalogue, with and
// without "allen Felder", beside the plain way of reading one record per
// index entry that it replaces. Target: under one second for 100 000
// articles with all fields.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_directory.h"
#include "store/app_state.h"
#include "store/load_parameters.h"
#include "masterdata/article_search.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/index_entry.h"
#include "store/text_field.h"

namespace {

const char* const kWords[] = {"Schraube", "Mutter", "Scheibe", "Lack", "Farbe",  "rot",
                              "blau",     "grün",   "Dübel",   "Holz", "Stahl",  "verzinkt",
                              "Messing",  "Leim",   "Pinsel",  "Rolle", "weiss", "schwarz"};
const char* const kSuppliers[] = {"Würth", "Hornbach", "Bauhaus", "Obi", "Hagebau"};
const char* const kGroups[] = {"Befestigung", "Farben", "Holz", "Werkzeug", "Kleinteile"};

std::string Words(std::mt19937& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (!text.empty()) text += ' ';
    text += kWords[random() % std::size(kWords)];
    if (random() % 3 == 0) text += ' ' + std::to_string(random() % 100);
  }
  return text;
}

// Writes ARTIKEL.DAT in insertion order and ARTIKEL.IDX sorted by number, as
// years of typing in articles leave them: index order and file order differ.
struct Catalogue {
  explicit Catalogue(int count) {
    app.dataDirectory = dir.path;
    frame::LoadParameters(app);
    std::mt19937 random(42);
    std::vector<store::ArticleIndexEntry> entries(count);
    std::ofstream data(app.path(store::kArticleDataName), std::ios::binary | std::ios::trunc);
    for (int i = 0; i < count; ++i) {
      store::ArticleRecord a{};
      a.length = sizeof a;
      char number[22];
      std::snprintf(number, sizeof number, "%08u-%d", static_cast<unsigned>(random() % 100000000), i);
      store::SetText(a.number, number);
      store::SetText(a.designation, Words(random, 3));
      store::SetText(a.productGroup, kGroups[random() % std::size(kGroups)]);
      store::SetText(a.remark1, Words(random, 2));
      store::SetText(a.remark2, Words(random, 8) + "\r\n" + Words(random, 6));
      store::SetText(a.supplier, kSuppliers[random() % std::size(kSuppliers)]);
      a.price1 = static_cast<std::int32_t>(random() % 100000);
      a.flags = 8;
      data.write(reinterpret_cast<const char*>(&a), sizeof a);
      store::SetText(entries[i].key, number);
      entries[i].offset = static_cast<std::uint32_t>(i * sizeof a);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& x, const auto& y) {
      return store::CompareKeys(store::GetText(x.key), store::GetText(y.key)) < 0;
    });
    std::ofstream index(app.path(store::kArticleIndexName), std::ios::binary | std::ios::trunc);
    std::int32_t last = count - 1;
    index.write(reinterpret_cast<const char*>(&last), sizeof last);
    index.write(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof entries[0]);
  }
  BenchDirectory dir;
  frame::AppState app;
};

Catalogue& Shared() {
  static Catalogue catalogue(100000);
  return catalogue;
}

void BM_SearchAllFields(benchmark::State& state) {
  Catalogue& catalogue = Shared();
  std::size_t hits = 0;
  for (auto _ : state) {
    masterdata::ArticleSearchResult result = masterdata::SearchArticles(catalogue.app, "10 ROT", true);
    hits = result.hits.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["hits"] = static_cast<double>(hits);
}

void BM_SearchAllFieldsNoHit(benchmark::State& state) {
  Catalogue& catalogue = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(masterdata::SearchArticles(catalogue.app, "gibtsnicht", true));
}

void BM_SearchNumberOnly(benchmark::State& state) {
  Catalogue& catalogue = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(masterdata::SearchArticles(catalogue.app, "4711", false));
}

// For comparison: one seek and read per index entry, in index order.
void BM_OneReadPerRecord(benchmark::State& state) {
  Catalogue& catalogue = Shared();
  std::vector<store::ArticleIndexEntry> entries(100000);
  {
    std::ifstream index(catalogue.app.path(store::kArticleIndexName), std::ios::binary);
    index.seekg(4);
    index.read(reinterpret_cast<char*>(entries.data()), entries.size() * sizeof entries[0]);
  }
  const std::vector<std::string> words = masterdata::SearchWords("10 ROT");
  for (auto _ : state) {
    platform::File data = store::OpenData(catalogue.app, store::kArticleDataName,
                                          platform::Access::Read, platform::Share::DenyWrite);
    int hits = 0;
    store::ArticleRecord a{};
    for (const auto& entry : entries) {
      store::ReadFramedRecord(data, entry.offset, {reinterpret_cast<std::uint8_t*>(&a), sizeof a}, true);
      std::string all = store::UpperAscii(std::string(store::GetText(a.designation)) + '\0' +
                                          std::string(store::GetText(a.remark1)) + '\0' +
                                          std::string(store::GetText(a.remark2)));
      bool match = true;
      for (const std::string& word : words) match = match && all.find(word) != std::string::npos;
      hits += match;
    }
    benchmark::DoNotOptimize(hits);
  }
}

}  // namespace

BENCHMARK(BM_SearchAllFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAllFieldsNoHit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNumberOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneReadPerRecord)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
