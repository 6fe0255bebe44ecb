#include "reports/invoice_lists.h"

#include <algorithm>
#include <cmath>

#include "core/decimal.h"
#include "core/dates.h"
#include "orders/goods_receipt.h"
#include "reports/invoice_journal.h"
#include "reports/list_page.h"
#include "reports/order_scan.h"
#include "reports/report_values.h"
#include "store/order_kinds.h"

namespace reports {

namespace {

struct Row {
  std::int32_t position = 0;
  std::string number;
  std::string customer;
  std::string amount;
  std::vector<std::string> details;
};

void SortRows(std::vector<Row>& rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.position < b.position; });
}

std::string Today(const frame::AppState& app) { return orders::FormatDate(*app.clock); }

// Letter case does not count: ASCII and the letters of Windows-1252.
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

bool SameArticle(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Fold(static_cast<unsigned char>(x)) == Fold(static_cast<unsigned char>(y));
         });
}

}  // namespace

printing::RenderOutcome InvoiceStateListRenderer::render(printing::Canvas& canvas,
                                                         const printing::PageGeometry& geometry,
                                                         printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const bool open = job_ == kJobOpenInvoices;
  const int amountX = open ? 900 : 800;
  std::vector<Row> rows;
  MainCurrencySum outstanding;
  CustomerBook customers(app);
  ScanResult scan = ScanOrders(app, false, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    const std::int64_t due = std::int64_t{head.total} - head.paid;
    // A delivery note billed by a collective invoice is open there, and
    // invoiced.
    if ((head.flags & store::kOrderCollectivelyBilled) || orders::IsGoodsReceipt(head) ||
        (open ? !(due > 0 && (head.flags & store::kOrderInvoicePrinted))
              : (head.flags & (store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted)) !=
                    store::kOrderDeliveryNotePrinted))
      return;
    Row row;
    row.position = order.position;
    if (open) {
      const std::string date = orders::NormaliseDate(store::GetText(head.invoiceDate));
      row.number = frame::Format("%-ld - %s", static_cast<long>(head.orderNumber),
                                 platform::Cp1252ToUtf8(date).c_str());
      outstanding.add(static_cast<long double>(due), head.currency);
    } else {
      row.number = frame::Format("%-ld", static_cast<long>(head.orderNumber));
    }
    row.amount = Money(app.figures, static_cast<double>(due), CurrencyName(app.parameters, head.currency));
    row.customer = CustomerName(customers.at(head.customerRef));
    rows.push_back(std::move(row));
  });
  SortRows(rows);

  ListLayout layout;
  layout.pagesByTarget = !open;
  const std::string today = Today(app);
  ListPage page(
      canvas, geometry, context, layout,
      [&](int number) {
        return frame::Format(open ? "Liste aller offenen Rechnungen am %s      Seite: %-d"
                                  : "Liste aller ungedruckten Rechnungen am %s      Seite: %-d",
                             today.c_str(), number);
      },
      [&](ListPage& page) {
        page.rule(100, 1850, 290);
        page.rule(100, 1850, 350);
        page.left(100, 300, "Rechnungsnummer");
        page.right(amountX, 300, "Offener Betrag");
        page.left(amountX + 100, 300, "Kunde");
      });
  DrawInIndexOrder(page, scan.seen, rows, [&](const Row& row) {
    page.left(100, page.y(), row.number);
    page.right(amountX, page.y(), row.amount);
    page.fitLeft(amountX + 100, page.y(), row.customer, kListRightEdge);
    page.next();
  });
  if (open && !page.stopped()) {
    page.rule(600, 900, page.y());
    page.right(900, page.y() + 10,
               "Summe der Außenstände: " +
                   Money(app.figures, static_cast<double>(outstanding.cents(app.parameters)),
                         CurrencyName(app.parameters, 0)));
  }
  return page.finish();
}

printing::RenderOutcome BackOrderListRenderer::render(printing::Canvas& canvas,
                                                      const printing::PageGeometry& geometry,
                                                      printing::RenderContext& context) {
  frame::AppState& app = context.app;
  std::vector<Row> rows;
  CustomerBook customers(app);
  ScanResult scan = ScanOrders(app, true, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    if (!(order.head.flags & store::kOrderHasBackOrder)) return;
    Row row;
    row.position = order.position;
    row.number = frame::Format("%-ld", static_cast<long>(order.head.orderNumber));
    row.customer = CustomerName(customers.at(order.head.customerRef));
    for (const store::OrderLine& line : order.lines) {
      if (!(line.flags & store::kLineBackOrder)) continue;
      const double quantity = std::isfinite(line.quantity)
                                  ? std::clamp(std::trunc(line.quantity), -2147483648.0, 2147483647.0)
                                  : 0.0;
      row.details.push_back(frame::Format("%d x  %s, %s", static_cast<int>(quantity),
                                          Text(line.articleNumber).c_str(),
                                          Text(line.description1).c_str()));
    }
    rows.push_back(std::move(row));
  });
  SortRows(rows);

  ListLayout layout;
  layout.companyX = 150;
  layout.titleY = 300;
  layout.firstRow = 510;
  const std::string today = Today(app);
  ListPage page(
      canvas, geometry, context, layout,
      [&](int number) {
        return frame::Format("Liste Rechnungen mit Nachlieferungen am %s      Seite: %-d",
                             today.c_str(), number);
      },
      [](ListPage& page) {
        page.rule(100, 1850, 440);
        page.left(100, 450, "Auftragsnummer");
        page.left(500, 450, "Kunde/Artikel");
        page.rule(100, 1850, 500);
      });
  // An order's back-order lines may fill more than a page: each line gets
  // its own page-break test.
  DrawInIndexOrder(page, scan.seen, rows, [&](const Row& row) {
    page.left(100, page.y(), row.number);
    page.fitLeft(500, page.y(), row.customer, kListRightEdge);
    page.next();
    for (const std::string& detail : row.details) {
      if (!page.beforeRecord()) return;
      page.fitLeft(540, page.y(), detail, kListRightEdge);
      page.next();
    }
  });
  return page.finish();
}

printing::RenderOutcome ArticleTurnoverRenderer::render(printing::Canvas& canvas,
                                                        const printing::PageGeometry& geometry,
                                                        printing::RenderContext& context) {
  frame::AppState& app = context.app;
  const store::ParameterRecord& p = app.parameters;
  const std::string& from = context.session.inputs.reportFrom;
  const std::string& to = context.session.inputs.reportTo;
  const std::string article(store::GetText(app.article.number));
  std::vector<Row> rows;
  MainCurrencySum total;
  CustomerBook customers(app);
  ScanResult scan = ScanOrders(app, true, DamagedOrderReport(canvas, context), [&](const ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    // A collective invoice repeats the lines of its delivery notes.
    if ((head.flags & store::kOrderCollectiveInvoice) ||
        !orders::DateInRange(from, store::GetText(head.orderDate), to))
      return;
    double cost = 0, sale = 0;
    bool matched = false;
    for (const store::OrderLine& line : order.lines) {
      if (!SameArticle(store::GetText(line.articleNumber), article)) continue;
      matched = true;
      cost += static_cast<double>(line.costPrice) * line.quantity;
      if (line.taxCode == store::kTaxCodeNone || line.taxCode == store::kTaxCodeRate1 ||
          line.taxCode == store::kTaxCodeRate2)
        sale += ((1000.0 - line.discount) * line.salePrice * line.quantity + 5) / 1000;
    }
    if (!matched) return;
    const double difference = std::trunc(sale - cost);
    std::int64_t profit = std::isfinite(difference)
                              ? static_cast<std::int64_t>(std::clamp(difference, -2147483648.0, 2147483647.0))
                              : 0;
    if (head.cashDiscountTaken) profit = ((1000 - head.cashDiscount) * profit + 5) / 1000;
    total.add(static_cast<long double>(profit), head.currency);
    const store::AddressRecord& customer = customers.at(head.customerRef);
    Row row;
    row.position = order.position;
    row.number = frame::Format("%-ld", static_cast<long>(head.orderNumber));
    row.details = {Text(customer.customerNumber), CustomerName(customer), Text(head.orderDate)};
    row.amount = Money(app.figures, static_cast<double>(profit), CurrencyName(p, head.currency));
    rows.push_back(std::move(row));
  });
  SortRows(rows);

  ListLayout layout;
  layout.firstRow = 430;
  const std::string main = CurrencyName(p, 0);
  ListPage page(
      canvas, geometry, context, layout,
      [&](int number) { return JournalTitle(from, to, number); },
      [&](ListPage& page) {
        page.canvas().selectFont(HeadingFont());
        page.left(100, 220, frame::Format("mit Artikel %s:", platform::Cp1252ToUtf8(article).c_str()));
        page.canvas().selectFont(BodyFont());
        page.rule(100, 1900, 360);
        page.rule(100, 1900, 420);
        page.left(100, 370, "Rechnungs#");
        page.left(380, 370, "Kunden#");
        page.left(600, 370, "Kunde");
        page.left(1300, 370, "Datum");
        page.right(1900, 370, "Ertrag " + main);
      });
  DrawInIndexOrder(page, scan.seen, rows, [&](const Row& row) {
    page.left(100, page.y(), row.number);
    page.number(380, page.y(), row.details[0], 600 - kColumnGap);
    page.fitLeft(600, page.y(), row.details[1], 1280);
    page.left(1300, page.y(), row.details[2]);
    page.right(1900, page.y(), row.amount);
    page.next();
  });
  // The total names itself: it may stand alone at the top of a page.
  if (!page.stopped()) {
    page.rule(100, 1900, page.y());
    page.left(100, page.y() + 10, "Summe Ertrag");
    page.right(1900, page.y() + 10, Money(app.figures, static_cast<double>(total.cents(p)), main));
  }
  return page.finish();
}

}  // namespace reports
