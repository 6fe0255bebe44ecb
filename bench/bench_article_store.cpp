// Inserting and scanning articles through the record store, as the article
// dialogs and the Datanorm import do: every insert rewrites the index tail,
// every scan reads the whole index and the records it has to test.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench_directory.h"
#include "store/app_state.h"
#include "store/load_parameters.h"
#include "store/article_file.h"
#include "store/text_field.h"

namespace {

store::ArticleRecord Article(std::mt19937& random, int i) {
  store::ArticleRecord article{};
  char number[22];
  std::snprintf(number, sizeof number, "%08u-%d", static_cast<unsigned>(random() % 100000000), i);
  store::SetText(article.number, number);
  store::SetText(article.designation, "Schraube verzinkt " + std::to_string(i));
  store::SetText(article.supplier, "Würth");
  article.price1 = 100 + i % 1000;
  article.flags = 8;
  return article;
}

void Fill(frame::AppState& app, int count) {
  frame::LoadParameters(app);
  std::mt19937 random(42);
  for (int i = 0; i < count; ++i) {
    std::int32_t position = -1;
    store::WriteArticle(app, Article(random, i), position, true);
  }
}

void BM_InsertArticles(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    BenchDirectory dir;
    frame::AppState app;
    app.dataDirectory = dir.path;
    Fill(app, count);
    benchmark::DoNotOptimize(app.articles.lastIndex);
  }
  state.counters["articles/s"] =
      benchmark::Counter(static_cast<double>(count) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_ScanArticles(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  BenchDirectory dir;
  frame::AppState app;
  app.dataDirectory = dir.path;
  Fill(app, count);
  // A designation criterion that no article meets: the walk reads every record.
  store::ArticleRecord criteria{};
  store::SetText(criteria.designation, "GIBT ES NICHT");
  for (auto _ : state) {
    std::int32_t position = -1;
    benchmark::DoNotOptimize(store::ScanArticles(app, criteria, position, true));
  }
}

}  // namespace

BENCHMARK(BM_InsertArticles)->Arg(10000)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanArticles)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
