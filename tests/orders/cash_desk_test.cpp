// Finding orders by number or name, and cash sales from typed lines to the
// order file: what is stored, what is printed, what booking does to stock.
#include <gtest/gtest.h>

#include <tuple>

#include "core/decimal.h"
#include "store/parameter_file.h"
#include "orders/booking.h"
#include "orders/cash_customer.h"
#include "orders/cash_sale.h"
#include "orders/goods_receipt.h"
#include "orders/order_search.h"
#include "support/order_book.h"

namespace orders {
namespace {

class CashDesk : public ::testing::Test, public testsupport::OrderBook {
 protected:
  CashDesk() {
    store::SetText(app.parameters.currencySymbol1, "EUR");
    for (int c = 0; c < 3; ++c) store::SetTaxRate(app.parameters, c, 3, 190);
    frame::SaveParameters(app, frame::OrderCounter::FromMemory);
  }
  // An order stored under the number given.
  void numbered(std::int32_t customerRef, std::int32_t number) {
    store::OrderHead head{};
    head.customerRef = customerRef;
    head.orderNumber = number;
    head.total = 1250;
    store::SetText(head.orderDate, "01.12.2026");
    std::int32_t position = -1;
    ASSERT_EQ(store::StoreOrder(app, head, position, store::StoreMode::SameNumber), 1);
  }
  void type(const char* number, double quantity, std::int32_t price) {
    store::OrderLine& line = sale.editedLine();
    store::SetText(line.articleNumber, number);
    line.quantity = quantity;
    line.salePrice = price;
  }
  CashSale sale{app};
};

TEST(OrderNumberSearch, ShortNumbersFindTheirTrailingDigitsLongerOnesTheWholeNumber) {
  const struct { std::int32_t order; long typed; bool found; } cases[] = {{126120057, 57, true},        {126121057, 57, true},  {57, 57, true},
               {126120157, 57, false},       {126120999, 999, true}, {126120999, 99, false},
               {126120057, 126120057, true}, {126120057, 20057, false}, {1057, 1057, true},
               {11057, 1057, false},         {126120057, 0, false},  {126120057, -57, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.order << " for " << c.typed);
    EXPECT_EQ(OrderNumberMatches(c.order, c.typed), c.found);
  }
}

TEST_F(CashDesk, SearchByNumberOrByAnyCaseOfTheName) {
  const std::int32_t meier = customer("Meier"), schulz = customer("Schulzmeier"),
                     bauer = customer("Bauer");
  numbered(meier, 126120057);
  numbered(schulz, 126121057);
  numbered(bauer, 126120157);
  numbered(meier, 126120058);
  const OrderSearchResult byNumber = SearchOrders(app, 57, "");
  ASSERT_EQ(byNumber.hits.size(), 2u);
  EXPECT_EQ(byNumber.hits[0].text, "126120057, 01.12.2026, 12.50 EUR");
  EXPECT_EQ(byNumber.hits[1].text, "126121057, 01.12.2026, 12.50 EUR");
  app.figures = frame::FigureStyle::German;
  EXPECT_EQ(SearchOrders(app, 57, "").hits[0].text, "126120057, 01.12.2026, 12,50 EUR");
  app.figures = frame::FigureStyle::Point;
  // The name wins over a number typed beside it.
  EXPECT_EQ(OrderSearchSummary(SearchOrders(app, 157, "mEiEr")), "3 Aufträge gefunden");
  for (auto [number, name] : {std::pair{0L, ""}, {999L, ""}, {0L, "Krause"}})
    EXPECT_TRUE(SearchOrders(app, number, name).hits.empty()) << number << name;
  numbered(customer("\x8A" "imek"), 126120059);  // Š found by š
  EXPECT_EQ(SearchOrders(app, 0, "\x9A" "IMEK").hits.size(), 1u);
}

TEST_F(CashDesk, OnlyTheNumberSearchStopsAtFiveHundred) {
  const std::int32_t meier = customer("Meier");
  for (int k = 1; k <= 501; ++k) numbered(meier, k * 1000 + 57);
  const OrderSearchResult byNumber = SearchOrders(app, 57, "");
  EXPECT_EQ(byNumber.hits.size(), 500u);
  EXPECT_EQ(OrderSearchSummary(byNumber), "ACHTUNG! Mehr als 500 Aufträge vorhanden");
  EXPECT_EQ(SearchOrders(app, 0, "eie").hits.size(), 501u);
}

// An unknown number asks; Yes creates the article, No adds the line all the
// same, referring to no article (booking then moves no stock for it).
TEST_F(CashDesk, AnUnknownArticleIsCreatedOnRequestAndAddedEitherWay) {
  const std::int32_t known = article("100", 10);
  for (bool create : {false, true}) {
    SCOPED_TRACE(create);
    sale.startNew();
    ui.shown.clear();
    ui.answer({create});
    type("NEU-1", 2, 450);
    store::SetText(sale.editedLine().description1, "Tasse");
    ASSERT_TRUE(sale.add());
    type("100", 1, 999);
    ASSERT_TRUE(sale.add());
    EXPECT_EQ(ui.questions(), std::vector<std::string>{"Artikel neu anlegen ?"});
    EXPECT_EQ(+app.orderLines[2].articleRef, known);
    EXPECT_EQ(+app.articles.lastIndex, create ? 1 : 0);
    store::ArticleRecord created{};
    const bool read = store::ReadArticle(app, created, 1);  // "100" sorts first
    EXPECT_EQ(+app.orderLines[1].articleRef, read ? static_cast<std::int32_t>(app.articles.entry.offset) : -1);
    EXPECT_EQ(store::GetText(created.designation), create ? "Tasse" : "");
  }
}

TEST_F(CashDesk, AGoodsReceiptOfFiveIsStoredNegativeForTheSecondAddressAndRaisesTheStock) {
  customer("Barverkauf");
  const std::int32_t supplier = customer("Lieferant");
  const std::int32_t coffee = article("100", 10);
  type("100", 5, 200);
  sale.add();
  ui.answer({true});
  ASSERT_EQ(sale.bookGoodsReceipt(), SaleEnd::Booked);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Wirklich Warenzugang buchen ?"});
  std::vector<store::OrderLine> lines;
  const store::OrderHead head = stored(app.order.orderNumber, &lines);
  EXPECT_EQ(std::tuple(+head.customerRef, +lines[1].quantity, +head.total, +head.paid),
            std::tuple(supplier, -5.0, -1190, -1190));
  // No sale: never an invoice (so in no journal, open items or dunning run),
  // and booking moves the stock but no turnover.
  EXPECT_FALSE(head.flags & store::kOrderInvoicePrinted);
  EXPECT_TRUE(IsGoodsReceipt(head));
  BookDeliveredOrders(app);
  EXPECT_EQ(stock(coffee), 15);
  EXPECT_EQ(+address(supplier).turnover, 0);
}

// "&Buchen ohne Rechnung" books onto the cash customer, not onto whoever
// comes first; while none is chosen the booking asks once and remembers it.
// The choice names each address by its full name and town; one without a
// name line 2, which the choice could not be kept by, is not offered.
TEST_F(CashDesk, CashSalesGoToTheChosenCashCustomer) {
  customer("Autohaus AG");  // first in the index, a business customer
  customer("", "Peter M\xFCller");
  const std::int32_t counter = customer("Barverkauf", "Laden");
  store::SetText(app.address.town, "12345 Neustadt");
  std::int32_t position = app.addresses.position;
  ASSERT_EQ(store::WriteAddress(app, app.address, position, false), 1);
  article("100", 10);
  std::vector<std::vector<CashCustomerCandidate>> offered;
  std::string pick;
  auto choose = [&](const std::vector<CashCustomerCandidate>& names) {
    offered.push_back(names);
    return pick;
  };
  type("100", 1, 500);
  sale.add();
  EXPECT_EQ(sale.bookWithoutInvoice(choose), SaleEnd::Kept);  // cancelled
  EXPECT_EQ(ui.texts().back(), "Für den Verkauf ohne Rechnung ist kein Barkunde gewählt.\n"
                               "Bitte eine Adresse als Barkunden wählen !");
  pick = "Barverkauf";
  for (int sale_ = 0; sale_ < 2; ++sale_) {
    ui.answer({true});
    ASSERT_EQ(sale.bookWithoutInvoice(choose), SaleEnd::Booked);
    EXPECT_EQ(+stored(app.order.orderNumber).customerRef, counter);
    sale.startNew();
    type("100", 1, 500);
    sale.add();
  }
  EXPECT_EQ(offered, (std::vector<std::vector<CashCustomerCandidate>>(
                         2, {{"Autohaus AG", "Autohaus AG"},
                             {"Barverkauf", "Laden Barverkauf, 12345 Neustadt"}})));
  EXPECT_EQ(LoadCashCustomer(app), "Barverkauf");
}

// With the gross-price setting the typed prices include the tax: the total
// shown while typing is the one booked.
TEST_F(CashDesk, BookingWithoutInvoiceKeepsTheRunningTotalAndPaysIt) {
  const std::int32_t counter = customer("Barverkauf");
  customer("Lieferant");
  SaveCashCustomer(app, "Barverkauf");
  article("100", 10);
  for (bool gross : {false, true}) {
    SCOPED_TRACE(gross);
    app.parameters.grossPrices = gross;
    frame::SaveParameters(app, frame::OrderCounter::FromMemory);
    sale.startNew();
    type("100", 1, 11900);
    sale.add();
    ui.answer({true});
    const std::string shown = sale.editor().totalText();
    EXPECT_EQ(shown, gross ? "119.00" : "141.61");
    ASSERT_EQ(sale.bookWithoutInvoice(), SaleEnd::Booked);
    const store::OrderHead head = stored(app.order.orderNumber);
    EXPECT_EQ(frame::Format("%.2f", head.total / 100.0), shown);
    EXPECT_EQ(std::tuple(+head.customerRef, +head.paid, +head.flags),
              std::tuple(counter, +head.total, gross ? 6 | 128 : 6));
  }
}

TEST_F(CashDesk, BookingWithADocumentPrintsTheCopiesChosen) {
  customer("Barverkauf");
  const std::int32_t meier = customer("Meier");
  using Jobs = std::vector<std::pair<int, bool>>;
  // A printer dialog cancelled leaves a delivered order, no invoice.
  const struct { DocumentKind kind; int copies; bool paid, out; Jobs jobs; int flags; } cases[] = {
      {DocumentKind::Invoice, 1, true, true, {{3, true}}, 6},
      {DocumentKind::Invoice, 3, false, true, {{3, false}, {3, false}, {3, true}}, 6},
      {DocumentKind::DeliveryNote, 1, false, true, {{2, true}}, 2},
      {DocumentKind::Invoice, 1, true, false, {{3, true}}, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.copies);
    sale.startNew();
    type("100", 2, 500);
    ui.answer({false, true});
    sale.add();
    Jobs jobs;
    ASSERT_EQ(sale.bookWithDocument([&c] { return SaleDocument{true, c.kind, c.copies, c.paid}; },
                                    [&jobs, &c](int job, bool notify, const printing::JobInputs&,
                                                const std::function<void()>& printed) {
                                      jobs.emplace_back(job, notify);
                                      if (c.out) printed();
                                    }),
              SaleEnd::Printed);
    EXPECT_EQ(jobs, c.jobs);
    const store::OrderHead head = stored(app.order.orderNumber);
    EXPECT_EQ(std::tuple(+head.customerRef, +head.flags, +head.paid),
              std::tuple(meier, c.flags, c.paid ? +head.total : 0));
    EXPECT_EQ(store::GetText(head.invoiceDate).empty(), !(c.out && c.flags == 6));
  }
}

// Nothing to book is refused with the button's text; a No, or leaving the
// document dialog without a document, keeps the sale as it is.
TEST_F(CashDesk, RefusedOrDeclinedBookingsKeepTheSale) {
  customer("Barverkauf");
  customer("Lieferant");
  SaveCashCustomer(app, "Barverkauf");
  auto withDocument = [this](bool chosen) {
    return sale.bookWithDocument([chosen] { return SaleDocument{chosen}; }, {});
  };
  auto keptByAll = [&] {
    return sale.bookWithoutInvoice() == SaleEnd::Kept && sale.bookGoodsReceipt() == SaleEnd::Kept &&
           withDocument(true) == SaleEnd::Kept;
  };
  EXPECT_TRUE(keptByAll());
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                            "Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!",
                            "Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!",
                            "Drucken lohnt nicht.\nEs sind keine Artikel eingetragen!"}));
  type("100", 1, 100);
  ui.answer({false, false, false, false, true});
  sale.add();
  EXPECT_TRUE(keptByAll());
  EXPECT_EQ(withDocument(false), SaleEnd::Kept);
  EXPECT_EQ(sale.lineCount(), 1);
  EXPECT_EQ(+app.orders.lastIndex, -1);

  // Without a currency and any tax rate no document with prices: refused
  // before the sale is stored, so no number is drawn.
  app.parameters = store::ParameterRecord{};
  const auto next = app.nextOrderNumber;
  ui.answer({true});
  EXPECT_EQ(withDocument(true), SaleEnd::Kept);
  EXPECT_EQ(app.nextOrderNumber, next);
  EXPECT_EQ(+app.orders.lastIndex, -1);
  EXPECT_NE(ui.texts().back().find("Währungen, UmSt..."), std::string::npos);
}

}  // namespace
}  // namespace orders
