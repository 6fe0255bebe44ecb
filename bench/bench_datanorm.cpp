// The Datanorm import of a wholesaler's catalogue, the way the users meet it:
// 100 000 and 500 000 articles (A and B records, code page 850 umlauts,
// realistic field lengths, numbers in random order) into an empty article
// file, the same catalogue again as changes ("A;A"), the bulk run against
// the single operations of the record store, the export, and the article
// search over what was imported. Targets: 100 000 under 2 s, the changes
// under 3 s, 500 000 under 10 s with a peak resident memory under 200 MB,
// the export under 2 s, the search under 0.1 s.
//
// Run the 500 000 alone for a clean memory figure:
//   bench_datanorm --benchmark_filter=Import500k
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench_directory.h"
#include "datanorm_catalogue.h"
#include "datanorm/datanorm_export.h"
#include "datanorm/datanorm_import.h"
#include "store/app_state.h"
#include "store/load_parameters.h"
#include "core/user_interface.h"
#include "masterdata/article_search.h"

namespace {

// The progress box as the core sees it: every update counted, no Esc.
class Quiet : public frame::UserInterface {
 public:
  void message(const std::string&, frame::Icon) override {}
  bool question(const std::string&, frame::Icon, bool) override { return true; }
  bool progress(int) override {
    ++updates;
    return false;
  }
  long updates = 0;
};

struct Run {
  Run() {
    app.dataDirectory = dir.path;
    app.ui = &ui;
    frame::LoadParameters(app);
  }
  datanorm::ImportResult import(const std::string& file, bool bulk = true) {
    datanorm::ImportOptions options;
    options.fileName = file;
    options.supplier = "Sonepar";
    options.bulk = bulk;
    return datanorm::ImportDatanorm(app, options);
  }
  BenchDirectory dir;
  Quiet ui;
  frame::AppState app;
};

struct Catalogue {
  Catalogue(int count, const char* code) {
    path = dir.path + "katalog.001";
    WriteCatalogue(path, count, code);
  }
  BenchDirectory dir;
  std::string path;
};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void Import(benchmark::State& state, int count) {
  Catalogue catalogue(count, "N");
  long articles = 0, updates = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      Run run;
      state.ResumeTiming();
      articles = run.import(catalogue.path).articles;
      updates = run.ui.updates;
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.counters["articles"] = static_cast<double>(articles);
  state.counters["progress_updates"] = static_cast<double>(updates);
  state.counters["peak_rss_MB"] = PeakMegabytes();
}

void BM_Import500k(benchmark::State& state) { Import(state, 500000); }
void BM_Import100k(benchmark::State& state) { Import(state, 100000); }

void BM_ReimportAsChanges100k(benchmark::State& state) {
  Catalogue fresh(100000, "N"), changes(100000, "A");
  for (auto _ : state) {
    state.PauseTiming();
    {
      Run run;
      run.import(fresh.path);
      state.ResumeTiming();
      benchmark::DoNotOptimize(run.import(changes.path));
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
}

// Both ways in one run; the ratio is the figure.
void BM_BulkAgainstSingleOperations5000(benchmark::State& state) {
  Catalogue catalogue(5000, "N");
  double bulk = 0, single = 0;
  for (auto _ : state) {
    for (bool useBulk : {true, false}) {
      Run run;
      const auto start = std::chrono::steady_clock::now();
      run.import(catalogue.path, useBulk);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      (useBulk ? bulk : single) += seconds;
    }
  }
  state.counters["bulk_ms"] = 1000 * bulk / state.iterations();
  state.counters["single_ms"] = 1000 * single / state.iterations();
  state.counters["single_per_bulk"] = single / bulk;
}

struct Imported {
  Imported() : catalogue(100000, "N") { run.import(catalogue.path); }
  Catalogue catalogue;
  Run run;
};

Imported& Shared() {
  static Imported imported;
  return imported;
}

void BM_Export100k(benchmark::State& state) {
  Imported& imported = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        datanorm::ExportDatanorm(imported.run.app, imported.run.dir.path + "datanorm.001"));
}

void BM_SearchAfterImport100k(benchmark::State& state) {
  Imported& imported = Shared();
  std::size_t hits = 0;
  for (auto _ : state) {
    masterdata::ArticleSearchResult result = masterdata::SearchArticles(imported.run.app, "kabel 3x1,5", true);
    hits = result.hits.size();
  }
  state.counters["hits"] = static_cast<double>(hits);
}

}  // namespace

BENCHMARK(BM_Import500k)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import100k)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReimportAsChanges100k)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkAgainstSingleOperations5000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export100k)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAfterImport100k)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
