// The order editor without a screen: what saving, printing and deleting ask
// and refuse, where lines go, the line limit and a whole round of an order.
#include "orders/order_editor.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/decimal.h"
#include "store/parameter_file.h"
#include "store/records_test_support.h"
#include "support/failing_file_system.h"

namespace {

using testsupport::FileSize;
using testsupport::ReadAt;
using testsupport::ReadBytes;

constexpr std::int64_t kHead = store::kOrderHeadSize;
constexpr std::int64_t kLine = store::kOrderLineSize;
constexpr const char* kNotSavedForPrint =
    "Dieser Auftrag wurde noch nicht gespeichert.\nBitte vor dem Drucken erst speichern !";

class OrderEditorTest : public testsupport::StoreTest {
 protected:
  OrderEditorTest() : editor(app) {
    testsupport::SetEuroAndDm(app.parameters);
    EXPECT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  }

  // A new customer, made current; returns its record offset.
  std::int32_t AddCustomer(const std::string& name2) {
    store::AddressRecord address = testsupport::MakeAddress(name2);
    address.paymentPeriod = 14;
    address.cashDiscount = 20;
    address.cashDiscountPeriod = 7;
    std::int32_t position = -1;
    EXPECT_EQ(store::WriteAddress(app, address, position, true), 1);
    return SelectCustomer(name2);
  }
  // Makes the customer current as the address pane does; returns its
  // record offset (the customer reference of its orders).
  std::int32_t SelectCustomer(const std::string& name2) {
    for (std::int32_t p = 0; p <= app.addresses.lastIndex; ++p) {
      store::AddressRecord address{};
      if (store::ReadAddress(app, address, p) && store::GetText(address.name2) == name2) {
        app.address = address;
        app.addresses.position = p;
        return static_cast<std::int32_t>(app.addresses.entry.offset);
      }
    }
    ADD_FAILURE() << "no customer " << name2;
    return -1;
  }

  void AddArticle(const std::string& number, std::int32_t price, std::int32_t cost,
                  std::uint8_t currency, std::uint8_t taxFlag) {
    store::ArticleRecord article = testsupport::MakeArticle(number, "Artikel " + number);
    store::SetText(article.unit, "Stk");
    article.price1 = price;
    article.purchasePrice = cost;
    article.currency = currency;
    article.flags = taxFlag;
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteArticle(app, article, position, true), 1);
  }
  // "Übernahme" of the article and "Anfügen".
  void Append(const std::string& number, double quantity = 1, std::int16_t discount = -1) {
    SelectArticle(number);
    editor.takeOverArticle();
    editor.editedLine().quantity = quantity;
    if (discount >= 0) editor.editedLine().discount = discount;
    ASSERT_TRUE(editor.appendLine());
  }
  // A typed line without article.
  void Type(const std::string& number, std::int16_t taxCode = store::kTaxCodeRate2) {
    store::OrderLine& line = editor.editedLine();
    line = store::OrderLine{};
    line.quantity = 1;
    store::SetText(line.articleNumber, number);
    store::SetText(line.description1, "Text " + number);
    line.salePrice = 100;
    line.articleRef = -1;
    line.taxCode = taxCode;
  }

  std::vector<std::string> Numbers() const {
    std::vector<std::string> numbers;
    for (int i = 1; i <= app.order.lineCount; ++i)
      numbers.emplace_back(store::GetText(app.orderLines[i].articleNumber));
    return numbers;
  }
  std::uint32_t Counter() const {
    return ReadAt<std::uint32_t>(ReadBytes(dir.file("BELVON.PAR")), 0);
  }
  std::vector<store::DiscountEntry> Discounts() const {
    return testsupport::IndexEntries<store::DiscountEntry>(dir.file("RABATT.DAT"), 0, true);
  }
  std::vector<store::OrderIndexEntry> OrderIndex() const {
    return testsupport::IndexEntries<store::OrderIndexEntry>(dir.file("RECHNUNG.IDX"), 2);
  }
  // A new order of the selected customer with lines typed in, saved.
  std::int32_t SaveTypedOrder(std::vector<std::string> numbers) {
    editor.newOrder();
    for (const auto& n : numbers) {
      Type(n);
      editor.appendLine();
    }
    ui.answer({true});
    editor.save();
    EXPECT_EQ(+app.order.stored, 1);
    return app.order.orderNumber;
  }

  orders::OrderEditor editor;
};

// Every refusal of saving, printing and appending: the user is told, no
// number is drawn and nothing reaches the order file.
TEST_F(OrderEditorTest, RefusalsStoreNothing) {
  AddCustomer("Meier");
  const std::uint32_t counter = Counter();
  auto newWithLine = [this] { editor.newOrder(), Type("A"), editor.appendLine(); };
  auto typedDate = [this, newWithLine](const char* text) {
    return [this, newWithLine, text] {
      newWithLine();
      EXPECT_FALSE(editor.setOrderDate(text));
      EXPECT_EQ(store::GetText(app.order.orderDate), "03.12.2026");  // the last valid one
    };
  };
  std::function<void()> save = [this] { editor.save(); };
  std::function<void()> print = [this] {
    EXPECT_FALSE(editor.print([] { ADD_FAILURE() << "printed"; }));
  };
  const std::string badPrice = frame::NotANumberMessage("Einzel-VK");
  struct Case {
    const char* name;
    std::function<void()> arrange, act;
    std::vector<std::string> texts;
    int field;
  };
  std::vector<Case> cases = {
      {"no lines", [this] { editor.newOrder(); }, save,
       {"Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!"}, 0},
      {"no order begun with Neu", [&] { editor.customerChanged(), Type("T1"), editor.appendLine(); },
       save, {"Erst neuen Auftrag anlegen !"}, 0},
      {"save declined before printing", [&] { newWithLine(); ui.answer({false}); }, print,
       {"Auftrag speichern ?", kNotSavedForPrint}, 0},
      {"price that is no number", [&] { editor.newOrder(), editor.markField(2053, false, badPrice); },
       [this] { EXPECT_FALSE(editor.appendLine()); }, {badPrice}, 2053},
      {"a total beyond the record",
       [&] {
         newWithLine(), Type("B"), editor.appendLine();
         for (int i : {1, 2}) {
           app.orderLines[i].salePrice = 1'500'000'000;  // 15 000 000.00
           app.orderLines[i].quantity = 1;
           app.orderLines[i].taxCode = store::kTaxCodeNone;
         }
       },
       save,
       {"Ab Position 2 liegt die Summe des Auftrags außerhalb des Rechenbereichs (höchstens "
        "21474836.47).\nBitte den Auftrag auf mehrere Rechnungen aufteilen."},
       0},
      {"deleting a never saved order", [this] { editor.newOrder(); }, [this] { editor.deleteOrder(); },
       {"Dieser Auftrag ist noch nicht gespeichert.\nLöschen ist nicht möglich."}, 0},
  };
  // Dates the order reader would refuse: cleared, short, a three-digit day,
  // no such day.
  for (const char* date : {"", "1.2", "100.2.2026", "30.02.2026"})
    cases.push_back({date, typedDate(date), *date == '1' ? print : save,
                     {orders::kInvalidOrderDate}, orders::kOrderDateField});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    ui.shown.clear();
    c.act();
    EXPECT_EQ(ui.texts(), c.texts);
    EXPECT_EQ(ui.shown.back().icon, frame::Icon::Stop);
    EXPECT_EQ(editor.refusedField(), c.field);
    EXPECT_EQ(Counter(), counter);
    EXPECT_EQ(app.orders.lastIndex, -1);
    EXPECT_EQ(FileSize(dir.file("RECHNUNG.DAT")), 0);
    editor.clearFieldMarks();
  }

  // A date typed short is taken in full.
  EXPECT_TRUE(editor.setOrderDate("5.1.27"));
  EXPECT_EQ(store::GetText(app.order.orderDate), "05.01.2027");
}

TEST_F(OrderEditorTest, InsertGoesBeforeTheSelectionOrToTheEnd) {
  AddCustomer("Meier");
  editor.newOrder();
  for (const char* number : {"A", "B"}) Type(number, 0), editor.appendLine();
  // Lines without tax class count at 19 %.
  const struct {
    int selected;
    const char* number;
    std::vector<std::string> after;
  } cases[] = {{-1, "C", {"A", "B", "C"}},
               {1, "X", {"A", "X", "B", "C"}},
               {0, "Y", {"Y", "A", "X", "B", "C"}},
               {0, "", {"Y", "A", "X", "B", "C"}}};
  for (const auto& c : cases) {
    editor.select(c.selected);
    Type(c.number, 0);
    EXPECT_EQ(editor.insertLine(), *c.number != 0) << c.number;  // no article number: not inserted
    EXPECT_EQ(Numbers(), c.after);
  }
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(+app.orderLines[i].taxCode, store::kTaxCodeRate2) << i;
  EXPECT_EQ(+app.order.total, 595);
  EXPECT_EQ(editor.totalText(), "5.95");
}

TEST_F(OrderEditorTest, The370thLineIsRefused) {
  AddCustomer("Meier");
  editor.newOrder();
  for (int i = 1; i <= 369; ++i) {
    Type("L" + std::to_string(i));
    ASSERT_TRUE(editor.appendLine()) << i;
  }
  const std::int32_t total = app.order.total;
  ui.shown.clear();
  Type("L370");
  EXPECT_FALSE(editor.appendLine());
  editor.select(0);
  EXPECT_FALSE(editor.insertLine());
  EXPECT_EQ(+app.order.lineCount, 369);
  EXPECT_EQ(+app.order.total, total);
  EXPECT_EQ(store::GetText(editor.editedLine().articleNumber), "L370");  // kept for the user
  EXPECT_EQ(store::GetText(app.orderLines[369].articleNumber), "L369");
  ASSERT_EQ(ui.shown.size(), 2u);
  // The full order can still be saved whole, once the line waiting for it
  // is given up; appending it is refused again and saves nothing.
  ui.answer({true});
  editor.save();
  EXPECT_EQ(FileSize(dir.file("RECHNUNG.DAT")), 0);
  ui.answer({false, true});
  editor.save();
  EXPECT_EQ(ui.questions().front(), "Die Position „L370“ ist noch nicht angefügt.\n"
                                    "Vor dem Speichern anfügen?");
  EXPECT_EQ(FileSize(dir.file("RECHNUNG.DAT")), kHead + 369 * kLine);
}

TEST_F(OrderEditorTest, TakingALineBackForEditingFollowsTheBookedFlag) {
  AddCustomer("Meier");
  AddArticle("100", 1000, 500, 0, store::kArticleTaxRate2);
  AddArticle("200", 2000, 900, 0, store::kArticleTaxRate1);
  editor.newOrder();
  Append("100");
  Append("200", 3);
  SelectArticle("100");
  store::SetText(app.articleCriteria.designation, "Suchwort");
  for (bool booked : {true, false}) {
    SCOPED_TRACE(booked);
    app.order.flags = booked ? store::kOrderBooked : 0;
    EXPECT_EQ(editor.editLine(1), !booked);
    EXPECT_EQ(+app.order.lineCount, booked ? 2 : 1);
    EXPECT_EQ(store::GetText(editor.editedLine().articleNumber), booked ? "" : "200");
    EXPECT_EQ(store::GetText(app.article.number), booked ? "100" : "200");
  }
  EXPECT_EQ(+editor.editedLine().quantity, 3);
  EXPECT_EQ(store::GetText(app.articleCriteria.designation), "Suchwort");
  EXPECT_TRUE(editor.changed());
  EXPECT_EQ(+app.order.total, 1190);  // only the first line is left
}

TEST_F(OrderEditorTest, PrintingDeclinedChangesPrintsTheStoredOrderWithoutOverwritingTheNext) {
  AddCustomer("Meier");
  AddCustomer("Schulz");
  SelectCustomer("Meier");
  const std::int32_t number = SaveTypedOrder({"A", "B"});
  const std::int32_t position = app.orders.position;
  SelectCustomer("Schulz");
  SaveTypedOrder({"S"});  // the record behind it: the file may not grow over it
  SelectCustomer("Meier");
  editor.customerChanged();
  ASSERT_EQ(+app.order.orderNumber, number);
  Type("C");
  editor.appendLine();
  Type("D");
  editor.appendLine();
  ASSERT_EQ(+app.order.lineCount, 4);
  const std::int64_t size = FileSize(dir.file("RECHNUNG.DAT"));

  // The print dialog marks the order and writes it back in place, as the
  // document printing does.
  int linesWhilePrinting = -1;
  auto dialog = [&] {
    linesWhilePrinting = app.order.lineCount;
    EXPECT_EQ(app.orders.position, position);
    app.order.flags |= store::kOrderDeliveryNotePrinted;
    std::int32_t at = app.orders.position;
    EXPECT_EQ(store::StoreOrder(app, app.order, at, store::StoreMode::Rewrite), 1);
  };
  ui.shown.clear();
  ui.answer({false});
  EXPECT_TRUE(editor.print(dialog));
  EXPECT_EQ(ui.questions(), (std::vector<std::string>{"Auftrag ändern ?"}));
  EXPECT_EQ(linesWhilePrinting, 2);
  EXPECT_EQ(FileSize(dir.file("RECHNUNG.DAT")), size);
  // Shown again from the file: the stored lines with the printed mark.
  EXPECT_EQ(+app.order.orderNumber, number);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(app.order.flags & store::kOrderDeliveryNotePrinted);
}

// Deleting an open order warns first and asks with No preselected; an issued
// invoice is kept (corrected by cancelling, never deleted); an order without
// a delivery note only asks, and Yes shows the customer's other order.
TEST_F(OrderEditorTest, DeletingWarnsOfAnOpenOrderAndShowsTheCustomersOtherOrder) {
  AddCustomer("Meier");
  AddCustomer("Schulz");
  SelectCustomer("Meier");
  const std::int32_t first = SaveTypedOrder({"M1"});
  SelectCustomer("Schulz");
  SaveTypedOrder({"S1"});
  SelectCustomer("Meier");
  const std::int32_t second = SaveTypedOrder({"M2", "M2b"});

  app.order.flags |= store::kOrderDeliveryNotePrinted;
  ui.shown.clear();
  ui.answer({false});
  editor.deleteOrder();
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                            "ACHTUNG !\nDieser Auftrag ist noch offen!\n(Keine Rechnung gedruckt)",
                            "Auftrag löschen ?"}));
  EXPECT_FALSE(ui.shown[0].wasQuestion);
  EXPECT_TRUE(ui.shown[1].defaultNo);
  EXPECT_EQ(OrderIndex().size(), 3u);
  app.order.flags |= store::kOrderInvoicePrinted;
  ui.shown.clear();
  editor.deleteOrder();
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("ist ausgestellt und kann nicht mehr gelöscht werden"),
            std::string::npos);
  EXPECT_EQ(OrderIndex().size(), 3u);
  app.order.flags = 0;
  ui.shown.clear();
  ui.answer({true});
  editor.deleteOrder();
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Auftrag löschen ?"}));
  const auto index = OrderIndex();
  ASSERT_EQ(index.size(), 2u);
  for (const auto& entry : index) EXPECT_NE(+entry.orderNumber, second);
  EXPECT_EQ(+app.order.orderNumber, first);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"M1"}));
}

// Prices in DM (2.5 per euro) for a customer who pays in euro, taken over
// converted; a declined save remembers the discount given, a save draws the
// number and a second save changes the order under that number.
TEST_F(OrderEditorTest, AFullRoundInAnotherCurrency) {
  const std::int32_t meier = AddCustomer("Meier");
  AddArticle("100", 1000, 500, 1, store::kArticleTaxRate2);  // 4.00, cost 2.00
  AddArticle("200", 2499, 1251, 1, store::kArticleTaxRate1);  // 999.6 -> 10.00, cost 5.00
  AddArticle("300", 126, 0, 1, store::kArticleNoTax);         // 50.4 -> 0.50
  const std::uint32_t counter = Counter();
  editor.newOrder();
  EXPECT_EQ(app.order.paymentPeriod + app.order.cashDiscount + app.order.cashDiscountPeriod,
            14 + 20 + 7);
  Append("100");
  Append("200", 1, 100);
  Append("300");
  const std::int32_t prices[] = {400, 200, 1000, 500, 50, 0};
  const std::int16_t classes[] = {store::kTaxCodeRate2, store::kTaxCodeRate1, store::kTaxCodeNone};
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ((std::tuple{+app.orderLines[i].salePrice, +app.orderLines[i].costPrice,
                          +app.orderLines[i].taxCode}),
              (std::tuple{prices[2 * i - 2], prices[2 * i - 1], classes[i - 1]}))
        << i;
  EXPECT_EQ(editor.totalText(), "14.89");  // 0.50 + 1.07 x 9.00 + 1.19 x 4.00

  // A line without discount writes nothing.
  ui.answer({false});
  editor.save();
  EXPECT_EQ(+app.order.stored, 0);
  EXPECT_EQ(Counter(), counter);
  const auto given = Discounts();
  ASSERT_EQ(given.size(), 1u);
  EXPECT_EQ((std::tuple{+given[0].customerRef, +given[0].articleRef, +given[0].discount}),
            (std::tuple{meier, SelectArticle("200"), 100}));
  editor.takeOverArticle();
  EXPECT_EQ(+editor.editedLine().discount, 100);
  editor.clearEditedLine();  // only looked at

  ui.answer({true});
  editor.save();
  const std::int32_t number = app.order.orderNumber;
  EXPECT_EQ(static_cast<std::uint32_t>(number), counter);
  EXPECT_EQ(Discounts().size(), 2u);  // every save adds its discounts again

  Append("100", 2);
  ui.shown.clear();
  ui.answer({true});
  editor.save();
  EXPECT_EQ(ui.questions(), (std::vector<std::string>{"Auftrag ändern ?"}));
  EXPECT_EQ(Counter(), counter + 1);
  ASSERT_EQ(OrderIndex().size(), 1u);
  store::OrderHead head{};
  ASSERT_EQ(store::ReadOrder(app, head, app.orders.position), 1);
  EXPECT_EQ(+head.total, 2441);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"100", "200", "300", "100"}));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(+app.orderLines[i].orderNumber, number);
}

// A quantity typed re-prices the line from the article file only for the
// line's own article and without a special price; 10 from 10 pieces costs
// 9.00 DM, that is 3.60 EUR.
TEST_F(OrderEditorTest, TypingAQuantityRepricesOnlyTheLinesOwnArticle) {
  AddCustomer("Meier");
  store::ArticleRecord article = testsupport::MakeArticle("100", "Schraube");
  article.price1 = 1000;
  article.quantityPrice2 = 10;
  article.price2 = 900;
  article.currency = 1;
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, article, position, true), 1);
  AddArticle("200", 4711, 0, 0, store::kArticleTaxRate2);
  const struct {
    const char *name, *lineArticle, *paneArticle;
    std::uint16_t flags;
    double quantity;
    bool focus;
    std::int32_t price;
  } cases[] = {
      {"tier price", "100", "100", 0, 12, true, 360},
      {"below the tier", "100", "100", 0, 9, true, 400},
      {"not typed by the user", "100", "100", 0, 12, false, 2500},
      {"quantity 0", "100", "100", 0, 0, true, 2500},
      {"special price", "100", "100", store::kLineSpecialPrice, 12, true, 2500},
      {"another article in the pane", "100", "200", 0, 3, true, 2500},
      {"a typed line", "", "100", 0, 12, true, 2500},
  };
  editor.newOrder();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    editor.editedLine() = store::OrderLine{};
    store::SetText(editor.editedLine().articleNumber, c.lineArticle);
    editor.editedLine().flags = c.flags;
    editor.editedLine().salePrice = 2500;  // typed by the user
    SelectArticle(c.paneArticle);
    editor.setQuantity(c.quantity, c.focus);
    EXPECT_EQ(+editor.editedLine().salePrice, c.price);
  }
}

// "Auftrag ändern ?" on an order whose new record cannot be written keeps
// the order under its old entry, readable as it was stored.
TEST_F(OrderEditorTest, AFailedResaveKeepsTheOldEntry) {
  AddCustomer("Meier");
  const std::int32_t number = SaveTypedOrder({"A"});
  Type("B");
  editor.appendLine();
  testsupport::FailingWritesTo faults("RECHNUNG.DAT");
  app.fileSystem = &faults;
  ui.shown.clear();
  ui.answer({true});
  editor.save();
  app.fileSystem = &platform::SystemFileSystem();
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Auftrag ändern ?",
                                                  "Der Auftrag konnte nicht gespeichert werden."}));
  EXPECT_TRUE(editor.changed());
  ASSERT_EQ(OrderIndex().size(), 1u);
  EXPECT_EQ(+OrderIndex()[0].orderNumber, number);
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(app, stored, 0), 1);
  EXPECT_EQ(+stored.lineCount, 1);
}

// A dunning run raised the level on file while the pane still showed the
// old one: saving keeps the stored level; a higher typed level is taken.
TEST_F(OrderEditorTest, SavingNeverLowersTheLevelOnFile) {
  AddCustomer("Meier");
  SaveTypedOrder({"A"});
  int typed = 0;  // the pane's "Mahnstufe", as it showed the order
  editor.setDunningLevelSource([&typed] { return typed; });
  std::vector<std::uint8_t> data = ReadBytes(dir.file("RECHNUNG.DAT"));
  data[OrderIndex()[0].offset + offsetof(store::OrderHead, dunningLevel)] = 2;
  testsupport::WriteBytes(dir.file("RECHNUNG.DAT"), data);
  for (int level : {2, 3}) {
    Type("B");
    editor.appendLine();
    ui.answer({true});
    editor.save();
    ASSERT_EQ(OrderIndex().size(), 1u);
    store::OrderHead stored{};
    ASSERT_EQ(store::ReadOrder(app, stored, 0), 1);
    EXPECT_EQ(+stored.dunningLevel, level);
    typed = 3;
  }
}

}  // namespace
