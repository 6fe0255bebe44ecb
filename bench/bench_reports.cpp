// The lists over a large order file: 30 000 orders of 1 to 20 lines in one
// year, 300 customers and 800 articles. The invoice journal of the year,
// every page to PDF, and the article hit list over the same orders.
//
// BELVON_BENCH_KEEP=DIR only writes the data directory DIR (for looking at
// the lists with belvon-cli) and runs nothing.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_directory.h"
#include "store/app_state.h"
#include "store/first_start_defaults.h"
#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace {

constexpr int kOrders = 30000;
constexpr int kCustomers = 300;
constexpr int kArticles = 800;

template <typename T>
void Append(std::vector<char>& out, const T& value) {
  const char* bytes = reinterpret_cast<const char*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

// Customers and articles through the store; the orders are written as the
// store lays them out (numbers ascending, so the index needs no sorting).
void Fill(frame::AppState& app, int orders) {
  frame::LoadParameters(app);
  frame::FillFirstStartDefaults(app.parameters);
  store::SetText(app.parameters.companyName1, "Schreinerei Holzwurm GmbH");
  frame::SaveParameters(app);
  std::mt19937 random(42);
  std::vector<std::uint32_t> customers;
  for (int i = 0; i < kCustomers; ++i) {
    store::AddressRecord address{};
    address.length = sizeof address;
    address.kind = store::kAddressCustomer;
    store::SetText(address.customerNumber, std::to_string(10000 + i));
    store::SetText(address.name1, i % 3 ? "Firma" : "");
    store::SetText(address.name2, platform::Utf8ToCp1252("Kunde " + std::to_string(1000 + i) + " Müllerstraße"));
    std::int32_t position = -1;
    store::WriteAddress(app, address, position, true);
    customers.push_back(app.addresses.entry.offset);
  }
  for (int i = 0; i < kArticles; ++i) {
    store::ArticleRecord article{};
    article.length = sizeof article;
    store::SetText(article.number, "A-" + std::to_string(10000 + i));
    store::SetText(article.designation, "Artikel Nummer " + std::to_string(i));
    article.price1 = 100 + static_cast<std::int32_t>(random() % 50000);
    article.purchasePrice = article.price1 * 6 / 10;
    article.stock[0] = i % 17;
    article.minimumStock = 5;
    article.targetStock = 20;
    std::int32_t position = -1;
    store::WriteArticle(app, article, position, true);
  }
  std::vector<char> index, data;
  Append(index, static_cast<std::int16_t>(orders - 1));
  for (int n = 0; n < orders; ++n) {
    store::OrderHead head{};
    head.length = sizeof head;
    head.customerRef = static_cast<std::int32_t>(customers[random() % customers.size()]);
    head.orderNumber = 1 + n;
    const int day = 1 + n * 365 / orders;  // through the year 2026
    const int month = std::min(12, 1 + (day - 1) / 31 + 0), dayOfMonth = 1 + (day - 1) % 28;
    const std::string date = std::string(dayOfMonth < 10 ? "0" : "") + std::to_string(dayOfMonth) +
                             (month < 10 ? ".0" : ".") + std::to_string(month) + ".2026";
    store::SetText(head.orderDate, date);
    head.flags = store::kOrderDeliveryNotePrinted;
    if (random() % 10) {
      head.flags |= store::kOrderInvoicePrinted;
      store::SetText(head.invoiceDate, date);
    }
    if (random() % 5 == 0) head.flags |= store::kOrderPricesIncludeTax;
    head.cashDiscount = 20;
    head.cashDiscountTaken = random() % 4 == 0;
    head.stored = 1;
    const int lines = 1 + static_cast<int>(random() % 20);
    head.lineCount = static_cast<std::int16_t>(lines);
    const std::uint32_t offset = static_cast<std::uint32_t>(data.size());
    store::OrderIndexEntry entry{static_cast<std::uint32_t>(head.customerRef), head.orderNumber, offset};
    Append(index, entry);
    std::int64_t total = 0;
    std::vector<store::OrderLine> body(static_cast<std::size_t>(lines));
    for (store::OrderLine& line : body) {
      line = store::OrderLine{};
      line.length = sizeof line;
      line.quantity = 1 + static_cast<double>(random() % 12);
      const int article = static_cast<int>(random() % kArticles);
      store::SetText(line.articleNumber, "A-" + std::to_string(10000 + article));
      store::SetText(line.description1, "Artikel Nummer " + std::to_string(article));
      line.salePrice = 100 + static_cast<std::int32_t>(random() % 20000);
      line.costPrice = line.salePrice * 6 / 10;
      line.discount = random() % 3 == 0 ? 50 : 0;
      const int tax = static_cast<int>(random() % 10);
      line.taxCode = tax == 0 ? store::kTaxCodeNone : tax < 3 ? store::kTaxCodeRate1 : store::kTaxCodeRate2;
      line.articleRef = -1;
      line.orderNumber = head.orderNumber;
      total += static_cast<std::int64_t>(line.salePrice * line.quantity);
    }
    head.total = static_cast<std::int32_t>(total);
    Append(data, head);
    for (const store::OrderLine& line : body) Append(data, line);
  }
  QFile indexFile(QString::fromStdString(app.path("RECHNUNG.IDX")));
  QFile dataFile(QString::fromStdString(app.path("RECHNUNG.DAT")));
  if (!indexFile.open(QIODevice::WriteOnly) || !dataFile.open(QIODevice::WriteOnly)) std::abort();
  indexFile.write(index.data(), static_cast<qint64>(index.size()));
  dataFile.write(data.data(), static_cast<qint64>(data.size()));
}

struct Data {
  Data() : clock({2026, 12, 31, 10, 0, 0}) {
    app.dataDirectory = directory.path;
    app.clock = &clock;
    Fill(app, kOrders);
    frame::LoadParameters(app);
  }
  BenchDirectory directory;
  platform::FixedClock clock;
  frame::AppState app;
};

Data& Shared() {
  static Data data;
  return data;
}

void RenderToPdf(benchmark::State& state, int job) {
  Data& data = Shared();
  const std::string pdf = data.directory.path + "list.pdf";
  int pages = 0;
  for (auto _ : state) {
    printing::PdfFileDevice device(QString::fromStdString(pdf));
    printing::PrintSession session;
    session.job = job;
    session.inputs.reportFrom = "01.01.2026";
    session.inputs.reportTo = "31.12.2026";
    if (!printing::PrintOnDevice(data.app, device, session, {}, nullptr)) state.SkipWithError("print");
    pages = device.pages();
  }
  state.counters["pages"] = pages;
}

void BM_InvoiceJournalYearToPdf(benchmark::State& state) { RenderToPdf(state, 8); }
void BM_ArticleHitListToPdf(benchmark::State& state) { RenderToPdf(state, 6); }

BENCHMARK(BM_InvoiceJournalYearToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ArticleHitListToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  if (const char* keep = std::getenv("BELVON_BENCH_KEEP")) {
    platform::FixedClock clock({2026, 12, 31, 10, 0, 0});
    frame::AppState app;
    app.dataDirectory = std::string(keep) + "/";
    app.clock = &clock;
    std::filesystem::create_directories(keep);
    const char* count = std::getenv("BELVON_BENCH_ORDERS");
    Fill(app, count ? std::atoi(count) : kOrders);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
