// The DATEV export of a year of 30 000 issued invoices of 1 to 6 lines at
// both rates and without tax, 300 customers with their own debtor
// accounts, the payments along: the batch collected from the records of
// issue and written whole.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_directory.h"
#include "datev/datev_export.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "platform/clock.h"
#include "store/address_file.h"
#include "store/app_state.h"
#include "store/first_start_defaults.h"
#include "store/load_parameters.h"
#include "store/order_record.h"
#include "store/parameter_file.h"
#include "store/text_field.h"

namespace {

constexpr int kInvoices = 30000;
constexpr int kCustomers = 300;

template <typename T>
void Put(std::ofstream& out, const T& value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string Day(int n) {
  const int month = 1 + n * 12 / kInvoices, day = 1 + n % 28;
  return (day < 10 ? "0" : "") + std::to_string(day) + (month < 10 ? ".0" : ".") +
         std::to_string(month) + ".2026";
}

// The orders are written as the store lays them out, numbers ascending;
// the records of issue are then made as for a directory of an older version.
void Fill(frame::AppState& app) {
  frame::LoadParameters(app);
  frame::FillFirstStartDefaults(app.parameters);
  frame::SaveParameters(app);
  std::mt19937 random(7);
  std::vector<std::int32_t> customers;
  for (int i = 0; i < kCustomers; ++i) {
    store::AddressRecord address{};
    address.length = sizeof address;
    address.kind = store::kAddressCustomer;
    store::SetText(address.customerNumber, std::to_string(100 + i));
    store::SetText(address.name2, "M\xFCller & S\xF6hne " + std::to_string(i));
    std::int32_t position = -1;
    store::WriteAddress(app, address, position, true);
    customers.push_back(static_cast<std::int32_t>(app.addresses.entry.offset));
  }
  std::ofstream index(app.path("RECHNUNG.IDX"), std::ios::binary);
  std::ofstream data(app.path("RECHNUNG.DAT"), std::ios::binary);
  Put(index, static_cast<std::int16_t>(kInvoices - 1));
  std::uint32_t offset = 0;
  for (int n = 0; n < kInvoices; ++n) {
    store::OrderHead head{};
    head.length = sizeof head;
    head.customerRef = customers[random() % customers.size()];
    head.orderNumber = 1 + n;
    const std::string date = Day(n);
    store::SetText(head.orderDate, date);
    store::SetText(head.invoiceDate, date);
    head.flags = store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted;
    head.stored = 1;
    head.lineCount = static_cast<std::int16_t>(1 + random() % 6);
    std::vector<store::OrderLine> lines(static_cast<std::size_t>(head.lineCount));
    for (store::OrderLine& line : lines) {
      line = store::OrderLine{};
      line.length = sizeof line;
      line.quantity = 1 + static_cast<double>(random() % 5);
      line.salePrice = 100 + static_cast<std::int32_t>(random() % 20000);
      constexpr std::int16_t kCodes[] = {store::kTaxCodeNone, store::kTaxCodeRate1, store::kTaxCodeRate2};
      line.taxCode = kCodes[random() % 3];
      line.articleRef = -1;
      line.orderNumber = head.orderNumber;
    }
    // The total the order stores, as the order pane computes it.
    std::copy(lines.begin(), lines.end(), app.orderLines.begin() + 1);
    orders::RefreshOrderTotal(head, app.orderLines, app.parameters);
    if (n % 2) {
      head.paid = 100;
      store::SetText(head.paymentDate, date);
    }
    Put(index, store::OrderIndexEntry{static_cast<std::uint32_t>(head.customerRef), head.orderNumber, offset});
    Put(data, head);
    for (const store::OrderLine& line : lines) Put(data, line);
    offset += static_cast<std::uint32_t>(sizeof head + lines.size() * sizeof(store::OrderLine));
  }
}

struct Data {
  Data() : clock({2027, 1, 15, 10, 0, 0}) {
    app.dataDirectory = directory.path;
    app.clock = &clock;
    Fill(app);
    frame::LoadParameters(app);
    if (!orders::CompleteIssueBook(app)) std::abort();
  }
  BenchDirectory directory;
  platform::FixedClock clock;
  frame::AppState app;
};

void BM_DatevBatchOfAYear(benchmark::State& state) {
  static Data data;
  datev::Settings settings;
  settings.advisor = 29098;
  settings.client = 55003;
  datev::ExportRequest request{"01.01.2026", "31.12.2026", data.directory.path + "stapel.csv",
                               data.directory.path + "debitoren.csv", true};
  std::size_t rows = 0;
  for (auto _ : state) {
    const datev::ExportOutcome outcome = datev::RunExport(data.app, settings, request);
    if (!outcome.written) state.SkipWithError(outcome.problem.c_str());
    rows = outcome.rows;
  }
  state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

BENCHMARK(BM_DatevBatchOfAYear)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
