// A statement of 10 000 transactions matched against 30 000 orders (the
// matching of one bank import; it should take well under a second), and
// the reading of such a statement as CAMT.053.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "bank/matching.h"
#include "bank/statement_file.h"
#include "store/issue_record.h"
#include "store/text_field.h"

namespace {

constexpr int kOrders = 30000, kTransactions = 10000;

bank::Ledger Orders() {
  std::mt19937 random(47);
  bank::Ledger ledger;
  for (int i = 0; i < kOrders; ++i) {
    const std::int32_t number = 125010001 + (i / 9000) * 10000 * 100 + (i % 9000);
    if (i % 10 == 9) {  // every tenth a quotation, never issued
      ledger.unissued.insert(number);
      continue;
    }
    bank::OpenItem item;
    item.head.orderNumber = number;
    item.head.total = std::uniform_int_distribution<int>(100, 500000)(random);
    if (i % 50 == 0) item.head.total = -item.head.total;
    item.head.paid = i % 3 == 0 ? item.head.total : 0;
    item.head.cashDiscount = i % 4 == 0 ? 20 : 0;
    item.head.cashDiscountPeriod = 14;
    store::SetText(item.head.orderDate, "01.12.2026");
    item.kind = item.head.total < 0 ? store::kIssuedCreditNote : store::kIssuedInvoice;
    item.currency = "EUR";
    item.customer = "Kunde " + std::to_string(i % 4000) + " GmbH";
    ledger.items.push_back(item);
  }
  return ledger;
}

std::vector<bank::Transaction> Transactions(const bank::Ledger& ledger) {
  std::mt19937 random(1);
  std::vector<bank::Transaction> out;
  for (int i = 0; i < kTransactions; ++i) {
    const bank::OpenItem& item =
        ledger.items[std::uniform_int_distribution<std::size_t>(0, ledger.items.size() - 1)(random)];
    bank::Transaction t;
    t.bookingDate = "05.12.2026";
    t.currency = "EUR";
    t.cents = bank::OpenAmount(item.head);
    if (t.cents == 0) t.cents = 1234;
    t.name = item.customer;
    switch (i % 3) {
      case 0: t.text = "Rechnung " + std::to_string(item.head.orderNumber); break;
      case 1: t.text = "Zahlung Kundennummer 4711"; break;
      default: t.name = "Unbekannt " + std::to_string(i); t.text = "Miete Dezember"; break;
    }
    out.push_back(t);
  }
  return out;
}

void BM_MatchStatement(benchmark::State& state) {
  const bank::Ledger ledger = Orders();
  const std::vector<bank::Transaction> transactions = Transactions(ledger);
  for (auto _ : state) {
    bank::Matcher matcher(ledger);
    int booked = 0;
    for (const bank::Transaction& t : transactions)
      booked += matcher.match(t).action == bank::Action::Booked;
    benchmark::DoNotOptimize(booked);
  }
  state.SetItemsProcessed(state.iterations() * kTransactions);
}
BENCHMARK(BM_MatchStatement)->Unit(benchmark::kMillisecond);

void BM_ReadCamt(benchmark::State& state) {
  std::string x =
      "<?xml version=\"1.0\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\">"
      "<BkToCstmrStmt><Stmt><Acct><Id><IBAN>DE44500105175407324931</IBAN></Id></Acct>";
  for (int i = 0; i < kTransactions; ++i)
    x += "<Ntry><Amt Ccy=\"EUR\">" + std::to_string(100 + i) +
         ".50</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts><BookgDt><Dt>2026-12-05</Dt></BookgDt>"
         "<ValDt><Dt>2026-12-05</Dt></ValDt><AcctSvcrRef>R" + std::to_string(i) +
         "</AcctSvcrRef><NtryDtls><TxDtls><Refs><EndToEndId>NOTPROVIDED</EndToEndId></Refs>"
         "<RltdPties><Dbtr><Nm>Kunde " + std::to_string(i) +
         "</Nm></Dbtr></RltdPties><RmtInf><Ustrd>Rechnung 12612" + std::to_string(10000 + i) +
         "</Ustrd></RmtInf></TxDtls></NtryDtls></Ntry>";
  x += "</Stmt></BkToCstmrStmt></Document>";
  for (auto _ : state) {
    bank::Statement statement;
    std::string error;
    benchmark::DoNotOptimize(bank::ReadStatement(x, statement, error));
  }
  state.SetItemsProcessed(state.iterations() * kTransactions);
}
BENCHMARK(BM_ReadCamt)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
