// The order file at 20 000 orders: storing new orders (each insert reads the
// whole index), finding one by number near the end (a linear walk) and
// reading orders with their lines.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "store/app_state.h"
#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "platform/clock.h"
#include "store/order_file.h"
#include "store/text_field.h"

namespace {

constexpr int kOrders = 20000;
constexpr int kLinesPerOrder = 3;

// A data directory of its own, with "+1" numbering from 1 so that order i
// (from 0) gets number i + 1.
class OrderDirectory {
 public:
  OrderDirectory() {
    char name[] = "/tmp/belvon-bench-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    path_ = std::string(name) + "/";
    app.dataDirectory = path_;
    app.clock = &clock_;
    frame::LoadParameters(app);
    app.parameters.plusOneNumbering = 1;
    app.nextOrderNumber = 1;
    frame::SaveParameters(app);
  }
  ~OrderDirectory() { std::filesystem::remove_all(path_); }
  OrderDirectory(const OrderDirectory&) = delete;
  OrderDirectory& operator=(const OrderDirectory&) = delete;

  bool StoreNew(int i) {
    store::OrderHead head{};
    head.customerRef = (i % 50) * 1192;
    store::SetText(head.orderDate, "03.12.2026");
    head.lineCount = kLinesPerOrder;
    for (int line = 1; line <= kLinesPerOrder; ++line) {
      store::OrderLine& slot = app.orderLines[line];
      slot = store::OrderLine{};
      slot.quantity = line;
      slot.salePrice = 100 * i + line;
      slot.articleRef = -1;
      store::SetText(slot.description1, "Auftrag " + std::to_string(i));
    }
    std::int32_t position = -1;
    return store::StoreOrder(app, head, position, store::StoreMode::NewNumber) == 1;
  }

  void Fill() {
    for (int i = 0; i < kOrders; ++i)
      if (!StoreNew(i)) std::abort();
  }

  frame::AppState app;

 private:
  std::string path_;
  platform::FixedClock clock_{{2026, 12, 3, 10, 0, 0}};
};

OrderDirectory& Filled() {
  static OrderDirectory directory;
  static const bool filled = (directory.Fill(), true);
  (void)filled;
  return directory;
}

void BM_StoreOrders(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto directory = std::make_unique<OrderDirectory>();
    state.ResumeTiming();
    directory->Fill();
    state.PauseTiming();
    directory.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kOrders);
}
BENCHMARK(BM_StoreOrders)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FindOrderByNumber(benchmark::State& state) {
  OrderDirectory& directory = Filled();
  store::OrderHead criteria{};
  criteria.orderNumber = kOrders - 10;  // at position kOrders - 11
  for (auto _ : state) {
    std::int32_t position = -1;
    if (store::FindOrder(directory.app, criteria, position, true) != 1 || position != kOrders - 11)
      state.SkipWithError("order not found");
    benchmark::DoNotOptimize(position);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindOrderByNumber)->Unit(benchmark::kMicrosecond);

void BM_ReadOrder(benchmark::State& state) {
  OrderDirectory& directory = Filled();
  store::OrderHead head{};
  std::int32_t position = 0;
  for (auto _ : state) {
    if (store::ReadOrder(directory.app, head, position) != 1 || head.lineCount != kLinesPerOrder)
      state.SkipWithError("order not read");
    position = (position + 7919) % kOrders;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadOrder)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
