#include "reports/invoice_journal.h"

#include <algorithm>

#include "core/decimal.h"
#include "core/figures.h"
#include "orders/cash_discount.h"
#include "core/dates.h"
#include "orders/order_math.h"
#include "platform/cp1252.h"
#include "reports/list_page.h"
#include "reports/order_scan.h"
#include "reports/report_values.h"
#include "orders/issue_statement.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace reports {

namespace {

bool InRegister(const store::OrderLine& line) {
  return (line.flags & store::kLineNotInInvoiceRegister) == 0;
}

// The columns of the journal in its 3 mm font. Each amount column is 23 mm
// wide and holds "-9999999.99 EUR" in that font; the wider
// "-9.999.999,99 EUR" of the German style is set smaller (see AmountFont).
// The customer's number and name are cut where the next column starts.
constexpr int kNumberX = 100;
constexpr int kCustomerNumberX = 270;
constexpr int kNameX = 450;
constexpr int kDateX = 800;
constexpr int kTax1Right = 1230;
constexpr int kTax2Right = 1480;
constexpr int kGrossRight = 1740;
constexpr int kRightEdge = kListRightEdge;
// The amount columns are set in one size, the one the narrowest needs.
constexpr int kAmountWidth = kTax2Right - kTax1Right - kColumnGap;
static_assert(kTax1Right - kAmountWidth >= kDateX + 150 + kColumnGap, "after the widest date");

int JournalCurrency(const store::OrderHead& head) {
  return std::min<int>(head.currency, kJournalCurrencies - 1);
}

}  // namespace

JournalFigures InvoiceJournalFigures(const store::OrderHead& head,
                                     std::span<const store::OrderLine> lines,
                                     const store::ParameterRecord& parameters) {
  std::int64_t sums[3] = {0, 0, 0};
  for (const store::OrderLine& line : lines) {
    if (!InRegister(line) || (line.flags & store::kLineBackOrder) ||
        !orders::LineComputable(line))
      continue;
    switch (line.taxCode) {
      case store::kTaxCodeNone: sums[0] += orders::LineNet(line); break;
      case store::kTaxCodeRate1: sums[1] += orders::LineNet(line); break;
      case store::kTaxCodeRate2: sums[2] += orders::LineNet(line); break;
      default: break;
    }
  }
  const bool grossPrices = (head.flags & store::kOrderPricesIncludeTax) != 0;
  const int rates[2] = {orders::FirstTaxRate(parameters, head.currency),
                        orders::SecondTaxRate(parameters, head.currency)};
  std::int64_t tax[2];
  for (int c = 0; c < 2; ++c)
    tax[c] = grossPrices ? orders::ContainedTax(sums[c + 1], rates[c])
                         : orders::TaxedSum(sums[c + 1], rates[c]) - sums[c + 1];
  // Net and tax of each class; a cash discount taken is shared out over them.
  std::int64_t parts[5] = {sums[0], sums[1] - (grossPrices ? tax[0] : 0), tax[0],
                           sums[2] - (grossPrices ? tax[1] : 0), tax[1]};
  if (head.cashDiscountTaken) {
    const std::int64_t gross = parts[0] + parts[1] + parts[2] + parts[3] + parts[4];
    orders::ShareCashDiscount(parts, orders::CashDiscountAmount(gross, head.cashDiscount));
  }
  JournalFigures figures;
  figures.tax1 = parts[2];
  figures.tax2 = parts[4];
  figures.net = parts[0] + parts[1] + parts[3];
  figures.gross = figures.net + figures.tax1 + figures.tax2;
  return figures;
}

std::string JournalDate(const store::OrderHead& head) {
  const std::string_view invoiceDate = store::GetText(head.invoiceDate);
  return std::string(invoiceDate.empty() ? store::GetText(head.orderDate) : invoiceDate);
}

bool InJournal(const store::OrderHead& head, std::span<const store::OrderLine> lines,
               const std::string& from, const std::string& to) {
  return (head.flags & store::kOrderInvoicePrinted) &&
         !(head.flags & store::kOrderCollectivelyBilled) &&
         orders::DateInRange(from, JournalDate(head), to) &&
         std::any_of(lines.begin(), lines.end(), InRegister);
}

Journal CollectJournal(frame::AppState& app, const std::string& from, const std::string& to,
                       const std::function<void(const std::string&)>& reportDamaged) {
  Journal journal;
  const store::ParameterRecord& p = app.parameters;
  CustomerBook customers(app);
  // Every invoice is listed with what it stated when it was issued: the
  // rates it was issued with, whatever they are today.
  store::IssueBook book;
  store::ReadIssueBook(app, book);
  ScanResult scan = ScanOrders(app, true, reportDamaged, [&](const ScannedOrder& order) {
    if (!InJournal(order.head, order.lines, from, to)) return;
    JournalRow row;
    row.position = order.position;
    row.orderNumber = order.head.orderNumber;
    const store::AddressRecord& customer = customers.at(order.head.customerRef);
    row.customerNumber = Text(customer.customerNumber);
    row.customerName = CustomerName(customer);
    row.date = platform::Cp1252ToUtf8(JournalDate(order.head));
    row.currency = JournalCurrency(order.head);
    const store::IssueRecord* issued = book.find(order.head.orderNumber);
    const store::ParameterRecord stated = issued ? orders::StatedParameters(p, *issued) : p;
    if (issued) {
      row.date = platform::Cp1252ToUtf8(store::GetText(issued->invoiceDate));
      row.takenOver = (issued->flags & store::kIssueTakenOver) != 0;
    }
    row.rate1 = orders::FirstTaxRate(stated, order.head.currency);
    row.rate2 = orders::SecondTaxRate(stated, order.head.currency);
    row.figures = InvoiceJournalFigures(order.head, order.lines, stated);
    JournalFigures& sum = journal.totals[static_cast<std::size_t>(row.currency)].sum;
    sum.tax1 += row.figures.tax1;
    sum.tax2 += row.figures.tax2;
    sum.gross += row.figures.gross;
    sum.net += row.figures.net;
    journal.rows.push_back(std::move(row));
  });
  std::stable_sort(journal.rows.begin(), journal.rows.end(),
                   [](const JournalRow& a, const JournalRow& b) { return a.position < b.position; });
  for (int c = 0; c < kJournalCurrencies; ++c) {
    journal.totals[static_cast<std::size_t>(c)].rate1 = orders::FirstTaxRate(p, c);
    journal.totals[static_cast<std::size_t>(c)].rate2 = orders::SecondTaxRate(p, c);
  }
  journal.seen = std::move(scan.seen);
  journal.escaped = scan.escaped;
  return journal;
}

std::string JournalTitle(const std::string& from, const std::string& to, int page) {
  const std::string f = platform::Cp1252ToUtf8(from), t = platform::Cp1252ToUtf8(to);
  return from == to ? frame::Format("Liste aller Rechnungen vom %s, Seite: %-d", f.c_str(), page)
                    : frame::Format("Liste aller Rechnungen vom %s bis zum %s, Seite: %-d",
                                    f.c_str(), t.c_str(), page);
}

printing::RenderOutcome InvoiceJournalRenderer::render(printing::Canvas& canvas,
                                                       const printing::PageGeometry& geometry,
                                                       printing::RenderContext& context) {
  const std::string& from = context.session.inputs.reportFrom;
  const std::string& to = context.session.inputs.reportTo;
  const store::ParameterRecord& p = context.app.parameters;
  const Journal journal = CollectJournal(context.app, from, to, DamagedOrderReport(canvas, context));

  ListLayout layout;
  layout.bodyHeight = 30;
  ListPage page(canvas, geometry, context, layout,
                [&](int number) { return JournalTitle(from, to, number); },
                [](ListPage& page) {
                  page.rule(100, kRightEdge, 290);
                  page.rule(100, kRightEdge, 350);
                  page.head(kNumberX, 300, "Rechnungs#", kCustomerNumberX - kColumnGap);
                  page.left(kCustomerNumberX, 300, "Kunden#");
                  page.left(kNameX, 300, "Kunde");
                  page.left(kDateX, 300, "Datum");
                  page.right(kTax1Right, 300, "Steuer 1");
                  page.right(kTax2Right, 300, "Steuer 2");
                  page.right(kGrossRight, 300, "Brutto");
                  page.right(kRightEdge, 300, "Netto");
                });
  const frame::FigureStyle style = context.app.figures;
  auto amounts = [&](int y, const JournalFigures& figures, const std::string& currency) {
    page.amount(kTax1Right, y, Money(style, static_cast<double>(figures.tax1), currency),
                kTax1Right - kAmountWidth);
    page.amount(kTax2Right, y, Money(style, static_cast<double>(figures.tax2), currency),
                kTax2Right - kAmountWidth);
    page.amount(kGrossRight, y, Money(style, static_cast<double>(figures.gross), currency),
                kGrossRight - kAmountWidth);
    page.amount(kRightEdge, y, Money(style, static_cast<double>(figures.net), currency),
                kRightEdge - kAmountWidth);
  };
  bool takenOver = false;
  DrawInIndexOrder(page, journal.seen, journal.rows, [&](const JournalRow& row) {
    const std::string currency = CurrencyName(p, row.currency);
    const int y = page.y();
    page.left(kNumberX, y, frame::Format(row.takenOver ? "%-ld *" : "%-ld",
                                         static_cast<long>(row.orderNumber)));
    takenOver = takenOver || row.takenOver;
    page.number(kCustomerNumberX, y, row.customerNumber, kNameX - kColumnGap);
    page.fitLeft(kNameX, y, row.customerName, kDateX - kColumnGap);
    page.left(kDateX, y, row.date);
    amounts(y, row.figures, currency);
    page.next();
  });
  // The rule and every total row get their own page-break test: a full
  // page carries them over instead of printing below the sheet.
  bool ruled = false;
  for (int c = 0; c < kJournalCurrencies && !page.stopped(); ++c) {
    const JournalTotals& total = journal.totals[static_cast<std::size_t>(c)];
    if (!total.printed() || !page.beforeRecord()) continue;
    if (!ruled) {
      page.rule(100, kRightEdge, page.y());
      page.next(10);
      ruled = true;
    }
    const int y = page.y();
    const std::string currency = CurrencyName(p, c);
    page.right(kDateX + 160, y,
               "Steuersätze: " + frame::TaxRate(style, total.rate1 / 10.0) + " und " +
                   frame::TaxRate(style, total.rate2 / 10.0));
    amounts(y, total.sum, currency);
    page.next();
  }
  if (takenOver && !page.stopped() && page.beforeRecord()) {
    page.left(kNumberX, page.y(), "* von einer früheren Version übernommen: Beträge aus dem "
                                  "gespeicherten Betrag und den Steuersätzen der Übernahme");
    page.next();
  }
  return page.finish();
}

}  // namespace reports
