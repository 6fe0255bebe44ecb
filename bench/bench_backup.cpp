// Backups of a grown business: 100 000 articles (a wholesaler's catalogue
// imported by Datanorm) and 30 000 orders of three lines, with a folder of
// issued PDFs. Backing it up and restoring it (with the checks and the
// structure test) should each take under 5 s.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "backup/backup.h"
#include "bench_directory.h"
#include "core/user_interface.h"
#include "datanorm/datanorm_import.h"
#include "datanorm_catalogue.h"
#include "platform/clock.h"
#include "store/app_state.h"
#include "store/load_parameters.h"
#include "store/order_file.h"
#include "store/text_field.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kOrders = 30000;
constexpr int kLinesPerOrder = 3;

class Quiet : public frame::UserInterface {
 public:
  void message(const std::string&, frame::Icon) override {}
  bool question(const std::string&, frame::Icon, bool) override { return true; }
};

struct Business {
  Business() {
    app.dataDirectory = dir.path;
    app.ui = &ui;
    app.clock = &clock;
    frame::LoadParameters(app);
    const std::string catalogue = outside.path + "katalog.001";
    WriteCatalogue(catalogue, kArticles, "N");
    datanorm::ImportOptions options;
    options.fileName = catalogue;
    options.supplier = "Sonepar";
    options.bulk = true;
    if (datanorm::ImportDatanorm(app, options).articles != kArticles) std::abort();
    std::filesystem::remove(catalogue);
    for (int i = 0; i < kOrders; ++i) {
      store::OrderHead head{};
      head.customerRef = -1;
      store::SetText(head.orderDate, "03.12.2026");
      head.lineCount = kLinesPerOrder;
      for (int line = 1; line <= kLinesPerOrder; ++line) {
        store::OrderLine& slot = app.orderLines[line];
        slot = store::OrderLine{};
        slot.quantity = line;
        slot.salePrice = 100 * (i % 500) + line;
        slot.articleRef = -1;
        store::SetText(slot.description1, "Auftrag " + std::to_string(i));
      }
      std::int32_t position = -1;
      if (store::StoreOrder(app, head, position, store::StoreMode::NewNumber) != 1) std::abort();
    }
    std::filesystem::create_directories(dir.path + "ARCHIV");
    for (int i = 0; i < 200; ++i)
      std::ofstream(dir.path + "ARCHIV/" + std::to_string(126120000 + i) + ".pdf")
          << std::string(40000, static_cast<char>('%' + i % 50));
  }
  BenchDirectory dir, outside;
  Quiet ui;
  platform::FixedClock clock{{2026, 12, 3, 10, 0, 0}};
  frame::AppState app;
};

Business& Grown() {
  static Business business;
  return business;
}

void BM_Backup(benchmark::State& state) {
  Business& business = Grown();
  const std::string archive = business.outside.path + "sicherung.tar.gz";
  std::size_t files = 0;
  for (auto _ : state) {
    const backup::BackupOutcome outcome = backup::CreateBackup(business.app, archive);
    if (!outcome.written) state.SkipWithError(outcome.problem.c_str());
    files = outcome.files.size();
  }
  state.counters["files"] = static_cast<double>(files);
  state.counters["archive_MB"] = std::filesystem::file_size(archive) / 1048576.0;
}

void BM_Restore(benchmark::State& state) {
  Business& business = Grown();
  const std::string archive = business.outside.path + "sicherung.tar.gz";
  if (!backup::CreateBackup(business.app, archive).written) std::abort();
  const std::string target = business.outside.path + "zurueck";
  for (auto _ : state) {
    const backup::CheckOutcome outcome =
        backup::RestoreBackup(platform::SystemFileSystem(), archive, target);
    if (!outcome.ok()) state.SkipWithError(outcome.problem.c_str());
    state.PauseTiming();
    std::filesystem::remove_all(target);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
