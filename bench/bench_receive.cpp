// Opening and showing a received e-invoice of 1 000 lines: the CII read into
// the business terms and its figures recomputed, then every page of its
// rendering laid out (the preview draws a page by laying out the ones before
// it). Both as one file kept in the inbox and opened from there (the
// checksum, the reading, the checks) and drawn; and drawn into the preview
// with Qt's fonts (a page of the screen's size), its first page (what
// opening shows) and its last (every page before it laid out). Target:
// under 0.5 s.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_directory.h"
#include "printing/recording_canvas.h"
#include "printing/ui/qt_canvas.h"
#include "receive/inbox.h"
#include "receive/incoming_file.h"
#include "receive/invoice_checks.h"
#include "receive/received_invoice_renderer.h"
#include "store/app_state.h"

namespace {

std::string Money(long cents) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%ld.%02ld", cents < 0 ? "-" : "", std::labs(cents) / 100,
                std::labs(cents) % 100);
  return text;
}

// A CII invoice of `count` lines at two rates whose figures add up.
std::string LargeInvoice(int count) {
  std::string lines;
  long net[2] = {0, 0};
  const int rates[2] = {19, 7};
  for (int i = 1; i <= count; ++i) {
    const int quantity = i % 7 + 1;
    const long price = 100 + 37L * i % 9000;
    const long amount = quantity * price;
    const int r = i % 3 == 0;
    net[r] += amount;
    lines +=
        "<ram:IncludedSupplyChainTradeLineItem><ram:AssociatedDocumentLineDocument><ram:LineID>" +
        std::to_string(i) +
        "</ram:LineID></"
        "ram:AssociatedDocumentLineDocument><ram:SpecifiedTradeProduct><ram:Name>Artikel " +
        std::to_string(i) +
        " Fichtenbrett gehobelt</ram:Name><ram:Description>Länge 2 m, Breite 20 cm, Stärke 18 mm, "
        "aus nachhaltiger Forstwirtschaft</ram:Description></ram:SpecifiedTradeProduct>"
        "<ram:SpecifiedLineTradeAgreement><ram:NetPriceProductTradePrice><ram:ChargeAmount>" +
        Money(price) +
        "</ram:ChargeAmount></ram:NetPriceProductTradePrice></ram:SpecifiedLineTradeAgreement>"
        "<ram:SpecifiedLineTradeDelivery><ram:BilledQuantity unitCode=\"C62\">" +
        std::to_string(quantity) +
        "</ram:BilledQuantity></ram:SpecifiedLineTradeDelivery><ram:SpecifiedLineTradeSettlement>"
        "<ram:ApplicableTradeTax><ram:TypeCode>VAT</ram:TypeCode><ram:CategoryCode>S</"
        "ram:CategoryCode>"
        "<ram:RateApplicablePercent>" +
        std::to_string(rates[r]) +
        "</ram:RateApplicablePercent></"
        "ram:ApplicableTradeTax><ram:SpecifiedTradeSettlementLineMonetarySummation>"
        "<ram:LineTotalAmount>" +
        Money(amount) +
        "</ram:LineTotalAmount></ram:SpecifiedTradeSettlementLineMonetarySummation>"
        "</ram:SpecifiedLineTradeSettlement></ram:IncludedSupplyChainTradeLineItem>";
  }
  std::string taxes;
  long taxSum = 0;
  for (int r = 0; r < 2; ++r) {
    const long tax = std::lround(net[r] * rates[r] / 100.0);
    taxSum += tax;
    taxes += "<ram:ApplicableTradeTax><ram:CalculatedAmount>" + Money(tax) +
             "</ram:CalculatedAmount><ram:TypeCode>VAT</ram:TypeCode><ram:BasisAmount>" +
             Money(net[r]) +
             "</ram:BasisAmount><ram:CategoryCode>S</ram:CategoryCode><ram:RateApplicablePercent>" +
             std::to_string(rates[r]) + "</ram:RateApplicablePercent></ram:ApplicableTradeTax>";
  }
  const long lineSum = net[0] + net[1], total = lineSum + taxSum;
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<rsm:CrossIndustryInvoice "
         "xmlns:rsm=\"urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100\" "
         "xmlns:ram=\"urn:un:unece:uncefact:data:standard:"
         "ReusableAggregateBusinessInformationEntity:100\" "
         "xmlns:udt=\"urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100\">"
         "<rsm:ExchangedDocumentContext><ram:GuidelineSpecifiedDocumentContextParameter><ram:ID>"
         "urn:cen.eu:en16931:2017</ram:ID></ram:GuidelineSpecifiedDocumentContextParameter></"
         "rsm:ExchangedDocumentContext>"
         "<rsm:ExchangedDocument><ram:ID>R-1000</ram:ID><ram:TypeCode>380</"
         "ram:TypeCode><ram:IssueDateTime>"
         "<udt:DateTimeString "
         "format=\"102\">20261201</udt:DateTimeString></ram:IssueDateTime></rsm:ExchangedDocument>"
         "<rsm:SupplyChainTradeTransaction>" +
         lines +
         "<ram:ApplicableHeaderTradeAgreement><ram:SellerTradeParty><ram:Name>Holzhandel Nord "
         "GmbH</ram:Name>"
         "<ram:PostalTradeAddress><ram:PostcodeCode>20095</ram:PostcodeCode><ram:LineOne>Am Kai "
         "1</ram:LineOne>"
         "<ram:CityName>Hamburg</ram:CityName><ram:CountryID>DE</ram:CountryID></"
         "ram:PostalTradeAddress>"
         "</ram:SellerTradeParty><ram:BuyerTradeParty><ram:Name>Tischlerei Beispiel</ram:Name>"
         "</ram:BuyerTradeParty></"
         "ram:ApplicableHeaderTradeAgreement><ram:ApplicableHeaderTradeDelivery/>"
         "<ram:ApplicableHeaderTradeSettlement><ram:InvoiceCurrencyCode>EUR</"
         "ram:InvoiceCurrencyCode>"
         "<ram:SpecifiedTradeSettlementPaymentMeans><ram:TypeCode>58</ram:TypeCode>"
         "<ram:PayeePartyCreditorFinancialAccount><ram:IBANID>DE02120300000000202051</ram:IBANID>"
         "</ram:PayeePartyCreditorFinancialAccount></ram:SpecifiedTradeSettlementPaymentMeans>" +
         taxes + "<ram:SpecifiedTradeSettlementHeaderMonetarySummation><ram:LineTotalAmount>" +
         Money(lineSum) + "</ram:LineTotalAmount><ram:TaxBasisTotalAmount>" + Money(lineSum) +
         "</ram:TaxBasisTotalAmount><ram:TaxTotalAmount currencyID=\"EUR\">" + Money(taxSum) +
         "</ram:TaxTotalAmount><ram:GrandTotalAmount>" + Money(total) +
         "</ram:GrandTotalAmount><ram:DuePayableAmount>" + Money(total) +
         "</ram:DuePayableAmount></ram:SpecifiedTradeSettlementHeaderMonetarySummation>"
         "</ram:ApplicableHeaderTradeSettlement></rsm:SupplyChainTradeTransaction></"
         "rsm:CrossIndustryInvoice>";
}

int DrawAllPages(frame::AppState& app, receive::ShownInvoice shown) {
  printing::PrintSession session;
  session.job = receive::kJobReceivedInvoice;
  session.view.targetPage = printing::kPrintAllPages;
  printing::RecordingCanvas canvas;
  printing::RenderContext context(app, session);
  receive::ReceivedInvoiceRenderer renderer(std::move(shown));
  return renderer.render(canvas, {2100, 2970, 4960, 7016}, context).lastPage;
}

void BM_OpenAndShow1000Lines(benchmark::State& state) {
  const std::string xml = LargeInvoice(1000);
  frame::AppState app;
  int pages = 0;
  for (auto _ : state) {
    receive::ShownInvoice shown;
    shown.opened = receive::ReadIncoming(xml, "R-1000.xml");
    if (!shown.opened.ok || !receive::CheckFigures(shown.opened.invoice).empty()) {
      state.SkipWithError("the invoice does not read without findings");
      return;
    }
    pages = DrawAllPages(app, std::move(shown));
  }
  state.counters["pages"] = pages;
  state.counters["kB"] = static_cast<double>(xml.size()) / 1024;
}
BENCHMARK(BM_OpenAndShow1000Lines)->Unit(benchmark::kMillisecond);

// From the inbox: the kept file read, checked against its checksum, read
// and checked, and drawn, as "Anzeigen" does.
void BM_OpenKeptAndShow1000Lines(benchmark::State& state) {
  BenchDirectory directory;
  frame::AppState app;
  app.dataDirectory = directory.path;
  const receive::AddOutcome kept =
      receive::AddBytesToInbox(app, LargeInvoice(1000), "R-1000.xml", {});
  if (kept.result != receive::AddResult::Kept) {
    state.SkipWithError(kept.message.c_str());
    return;
  }
  for (auto _ : state) {
    receive::ShownInvoice shown;
    std::string problem;
    if (!receive::ShowKept(app, kept.entry.id, shown, problem)) {
      state.SkipWithError(problem.c_str());
      return;
    }
    benchmark::DoNotOptimize(DrawAllPages(app, std::move(shown)));
  }
}
BENCHMARK(BM_OpenKeptAndShow1000Lines)->Unit(benchmark::kMillisecond);

// The preview at 3 pixels per millimetre: page `state.range(0)` (0: the last).
void BM_OpenAndPreview1000Lines(benchmark::State& state) {
  const std::string xml = LargeInvoice(1000);
  frame::AppState app;
  QImage page(630, 891, QImage::Format_RGB32);
  int lastPage = 0;
  for (auto _ : state) {
    receive::ShownInvoice shown;
    shown.opened = receive::ReadIncoming(xml, "R-1000.xml");
    printing::PrintSession session;
    session.job = receive::kJobReceivedInvoice;
    session.view.targetPage =
        state.range(0) ? static_cast<int>(state.range(0)) : printing::kPrintAllPages;
    printing::RenderContext context(app, session);
    QPainter painter(&page);
    printing::QtCanvas canvas(painter, true);
    receive::ReceivedInvoiceRenderer renderer(std::move(shown));
    lastPage = renderer.render(canvas, {2100, 2970, 630, 891}, context).lastPage;
  }
  state.counters["page"] = lastPage;
}
BENCHMARK(BM_OpenAndPreview1000Lines)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
