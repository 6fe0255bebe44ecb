// The order pane in the main window beside the address pane, driven by its
// buttons, keys and fields, and a whole order as a second copy reads it.
#include "orders/ui/rechnung_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "letters/ui/mahnung_dialog.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/kunden_pane.h"
#include "core/command_ids.h"
#include "orders/cancellation.h"
#include "orders/issue_statement.h"
#include "orders/issuing.h"
#include "orders/ui/nachlieferung_dialog.h"
#include "orders/ui/payment_menu.h"
#include "store/order_kinds.h"
#include "printing/ui/preview_window.h"
#include "printing/ui/qt_print_host.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/figure_style_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"
#include "support/modal.h"

namespace orders {
namespace {

using frame::Control;

class RechnungPaneTest : public testsupport::StoreTest {
 protected:
  RechnungPaneTest() {
    testsupport::SetEuroAndDm(app.parameters);
    EXPECT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  }

  // Name line 2 is the key; the addresses come in the order of their keys.
  std::int32_t AddCustomer(const std::string& name2, const std::string& name1 = "") {
    store::AddressRecord address = testsupport::MakeAddress(name2, "", name1);
    address.paymentPeriod = 30;
    Add(address);
    return static_cast<std::int32_t>(app.addresses.entry.offset);
  }
  void AddArticle(const std::string& number, const std::string& designation, std::int32_t price,
                  std::uint8_t currency = 0) {
    store::ArticleRecord article = testsupport::MakeArticle(number, designation);
    store::SetText(article.unit, "Stk");
    article.price1 = price;
    article.quantityPrice2 = 10;
    article.price2 = price * 9 / 10;
    article.purchasePrice = price / 2;
    article.currency = currency;
    Add(article);
  }
  // An order stored directly, with `lines` lines at 1.00.
  std::int32_t StoreOrderFor(std::int32_t customer, int lines, std::uint16_t flags = 0,
                             const char* invoiceDate = "") {
    store::OrderHead head{};
    head.customerRef = customer;
    head.flags = flags;
    store::SetText(head.orderDate, "01.12.2026");
    store::SetText(head.invoiceDate, invoiceDate);
    head.lineCount = static_cast<std::int16_t>(lines);
    head.stored = 1;
    head.total = lines * 119;
    head.paymentPeriod = static_cast<std::int16_t>(10 * lines);
    for (int i = 1; i <= lines; ++i) {
      app.orderLines[i] = testsupport::MakeLine({"Zeile " + std::to_string(i)});
      app.orderLines[i].salePrice = 100;
    }
    std::int32_t position = -1;
    EXPECT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
    return head.orderNumber;
  }

  // The main window as the program builds it; shown, so that the address
  // pane announces its first customer to the order pane.
  void Open(bool withArticles = false) {
    window = std::make_unique<frame::MainWindow>(app);
    orders::InstallOrderPane(*window);
    masterdata::InstallAddressPane(*window);
    if (withArticles) masterdata::InstallArticlePane(*window);
    pane = static_cast<RechnungPane*>(window->pane(frame::PaneSlot::Order));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QApplication::processEvents();
  }

  // Customer Meier, articles 100 "Schraube" and 200 "Mutter", the window
  // with the article pane and a new order in the order pane.
  void OpenNewOrderWithTwoArticles() {
    AddCustomer("Meier");
    AddArticle("100", "Schraube", 1000);
    AddArticle("200", "Mutter", 500);
    Open(true);
    pane->command(2062);
  }

  QString Text(int id) const {
    QWidget* control = frame::FindControl(pane, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    ADD_FAILURE() << "no text control " << id;
    return {};
  }
  // Typed by the user: the field gets the focus and the keys.
  void TypeInto(int id, const QString& text) {
    auto* edit = Control<QLineEdit>(pane, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  // The field changed while another control has the focus.
  void ChangeWithoutFocus(int id, const QString& text) {
    Control<QPushButton>(pane, 2070)->setFocus(Qt::OtherFocusReason);
    auto* edit = Control<QLineEdit>(pane, id);
    edit->setText(text);
    emit edit->textEdited(text);
  }
  void TakeOver(const std::string& number) {
    SelectArticle(number);
    pane->command(2079);
  }
  int ListCount() const { return pane->lineList()->count(); }
  void DoubleClick(int row) {
    QListWidget* list = pane->lineList();
    ASSERT_LT(row, list->count());
    const QPoint at = list->visualItemRect(list->item(row)).center();
    // The view opens an entry only on a double click that follows a press
    // on that entry.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  }
  // The print host's printer is a PDF file of that name in the data directory.
  void PrintInto(const char* name) {
    printing::QtPrintHost::current()->setPrinterChooser([this, name] {
      auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(QString::fromStdString(dir.file(name)));
      return printer;
    });
  }

  std::unique_ptr<frame::MainWindow> window;
  RechnungPane* pane = nullptr;
};

TEST_F(RechnungPaneTest, TypingTheQuantityTakesTheTierPriceOnlyWithTheFocus) {
  AddCustomer("Meier");
  AddArticle("100", "Schraube", 1000, 1);  // DM: 4.00 euro, from 10 pieces 3.60
  Open();
  pane->command(2062);
  TakeOver("100");
  EXPECT_EQ(Text(2053) + Text(2043) + Text(2190) + Text(2166), "4.001.000StkEUR");

  ChangeWithoutFocus(2043, "12");
  EXPECT_EQ(+app.orderLines[0].quantity, 12);
  EXPECT_EQ(Text(2053), "4.00");
  EXPECT_EQ(Text(2072), "48.00");

  for (auto [typed, price, amount] : {std::tuple{"12", "3.60", "43.20"}, {"2", "4.00", "8.00"}}) {
    TypeInto(2043, typed);
    EXPECT_EQ(Text(2043), typed);
    EXPECT_EQ(Text(2053), price);
    EXPECT_EQ(Text(2072), amount);
  }
}

TEST_F(RechnungPaneTest, DiscountShowsTheLineAmountAndAppendingTheTotal) {
  AddCustomer("Meier");
  AddArticle("100", "Schraube", 1000);
  Open();
  pane->command(2062);
  TakeOver("100");
  TypeInto(2043, "3");
  TypeInto(2055, "10");
  EXPECT_EQ(+app.orderLines[0].discount, 100);
  EXPECT_EQ(Text(2072), "27.00");
  TypeInto(2053, "1,99");  // a comma is read as the decimal point
  EXPECT_EQ(+app.orderLines[0].salePrice, 199);
  EXPECT_EQ(Text(2072), "5.37");
  Control<QRadioButton>(pane, 2229)->click();  // class "1": 7 %
  EXPECT_EQ(+app.orderLines[0].taxCode, store::kTaxCodeRate1);

  pane->command(2066);
  EXPECT_EQ(pane->lineList()->currentRow(), 0);
  EXPECT_EQ(Text(2069), "5.75");  // RoundHalfAway(1.07 x 537)
  EXPECT_EQ(Text(2046) + Text(2072), "0.00");  // the edited line is empty again

  TakeOver("100");
  pane->command(2066);
  EXPECT_EQ(ListCount(), 2);
  EXPECT_EQ(Text(2069), QString("%1").arg((575 + 1190) / 100.0, 0, 'f', 2));
  pane->lineList()->setCurrentRow(0);
  pane->command(2068);
  EXPECT_EQ(ListCount(), 1);
  EXPECT_EQ(Text(2069), "11.90");

  // The emptied line shows class "0"; a click on it counts all the same.
  auto* none = Control<QRadioButton>(pane, 2228);
  ASSERT_TRUE(none->isChecked());
  QTest::mouseClick(none, Qt::LeftButton);
  pane->command(2066);
  EXPECT_EQ(+app.orderLines[2].taxCode, store::kTaxCodeNone);
}

// In the German style every figure the pane shows reads back as the value
// it shows: a field left as it stands changes nothing.
TEST_F(RechnungPaneTest, GermanFiguresReadBackAsTheyAreShown) {
  ASSERT_TRUE(store::SaveFigureStyle(app, frame::FigureStyle::German));
  AddCustomer("Meier");
  AddArticle("100", "Schraube", 123456);
  Open();
  pane->command(2062);
  TakeOver("100");
  EXPECT_EQ(Text(2053) + " " + Text(2071), "1.234,56 617,28");
  TypeInto(2043, "3,5");
  TypeInto(2055, "2,5");
  EXPECT_EQ(Text(2043) + " " + Text(2055) + " " + Text(2072), "3,5 2,5 4.212,94");
  for (int id : {2043, 2053, 2055, 2071}) ChangeWithoutFocus(id, Text(id));
  const store::OrderLine& line = app.orderLines[0];
  EXPECT_EQ((std::tuple{double{line.quantity}, std::int32_t{line.salePrice},
                        std::int16_t{line.discount}, std::int32_t{line.costPrice}}),
            (std::tuple{3.5, 123456, std::int16_t{25}, 61728}));
  TypeInto(2059, "2,5");
  ChangeWithoutFocus(2059, Text(2059));
  EXPECT_EQ(+app.order.cashDiscount, 25);
  pane->command(2066);
  EXPECT_EQ(Text(2069) + " " + Text(2075), "5.013,40 0,00");  // 4212.94 x 1.19
}

TEST_F(RechnungPaneTest, ChoosingACustomerShowsHisNewestOrder) {
  const std::int32_t adam = AddCustomer("Adam", "Bauer & Sohn");
  const std::int32_t berg = AddCustomer("Berg", "");
  StoreOrderFor(adam, 1);
  StoreOrderFor(adam, 3);
  StoreOrderFor(berg, 1);
  const std::int32_t bergsNewest = StoreOrderFor(berg, 2);
  StoreOrderFor(adam, 4, store::kOrderInvoicePrinted);
  // The last one is Adam's newest now.
  Open();
  auto* title = Control<QGroupBox>(pane, 2078);
  EXPECT_EQ(title->title(), "Bauer && Sohn Adam");  // "&" shown as typed, no shortcut
  EXPECT_EQ(ListCount(), 4);
  EXPECT_EQ(Text(2069), "4.76");
  EXPECT_EQ(Text(2075), "4.76");  // invoice printed, nothing paid

  window->pane(frame::PaneSlot::Address)->command(1012);  // > in the address pane
  EXPECT_EQ(title->title(), "Berg");  // no name line 1
  EXPECT_EQ(Text(2030), QString::number(bergsNewest));
  EXPECT_EQ(pane->lineList()->currentRow(), 1);
  EXPECT_EQ(Text(2075) + " " + Text(2057), "0.00 20");  // the order's own terms
  pane->command(2073);  // < : Berg's earlier order, not Adam's
  EXPECT_EQ(ListCount(), 1);
  EXPECT_EQ(title->title(), "Berg");
}

// Restricted mode hides cost price and order deletion; a booked order
// cannot be changed, the open one before it can.
TEST_F(RechnungPaneTest, RestrictedModeAndABookedOrderOfferLess) {
  const std::int32_t meier = AddCustomer("Meier");
  StoreOrderFor(meier, 1);
  StoreOrderFor(meier, 2, store::kOrderBooked | store::kOrderInvoicePrinted);
  app.restrictedMode = 1;
  Open();
  for (int id : {2071, 2191, 2167, 2063})
    EXPECT_FALSE(frame::FindControl(pane, id)->isVisible()) << id;
  ASSERT_EQ(ListCount(), 2);
  EXPECT_TRUE(Control<QCheckBox>(pane, 2042)->isChecked());
  for (int id : {2070, 2066, 2068, 2077}) EXPECT_FALSE(frame::FindControl(pane, id)->isEnabled()) << id;
  for (int id : {2062, 2073, 2074, 2076, 2079}) EXPECT_TRUE(frame::FindControl(pane, id)->isEnabled()) << id;

  DoubleClick(0);
  EXPECT_EQ(ListCount(), 2);
  EXPECT_EQ(+app.order.lineCount, 2);
  EXPECT_EQ(Text(2051), "");

  // The earlier order is open again: a double click takes the line back.
  pane->command(2073);
  for (int id : {2070, 2066, 2068, 2077}) EXPECT_TRUE(frame::FindControl(pane, id)->isEnabled()) << id;
  DoubleClick(0);
  EXPECT_EQ(ListCount(), 0);
  EXPECT_EQ(Text(2051), "Zeile 1");
  EXPECT_EQ(Text(2069), "0.00");
}

TEST_F(RechnungPaneTest, BrowsingByKeyRefillsTheFieldThatHasTheFocus) {
  const std::int32_t meier = AddCustomer("Meier");
  const std::int32_t first = StoreOrderFor(meier, 1);
  const std::int32_t second = StoreOrderFor(meier, 2);
  Open();
  ASSERT_EQ(Text(2030), QString::number(second));
  for (int id : {2030, 2057}) {
    auto* field = Control<QLineEdit>(pane, id);
    field->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(field->hasFocus()) << id;
    QTest::keyClick(field, Qt::Key_F11);  // "<"
    EXPECT_EQ(Text(2030), QString::number(first)) << id;
    EXPECT_EQ(Text(2057), "10") << id;
    QTest::keyClick(field, Qt::Key_F12);  // ">"
    EXPECT_EQ(Text(2030), QString::number(second)) << id;
    EXPECT_EQ(Text(2057), "20") << id;
  }
  // Typing in the edited line and appending by key leaves no stale text.
  TypeInto(2046, "X1");
  TypeInto(2043, "7");
  QTest::keyClick(Control<QLineEdit>(pane, 2043), Qt::Key_N, Qt::AltModifier);  // "&Neu"
  EXPECT_EQ(+app.order.lineCount, 0);
  EXPECT_EQ(+app.orderLines[0].quantity, 0);
  EXPECT_EQ(Text(2043), "0.000");
  EXPECT_EQ(Text(2046), "");
}

// A new order with one line for Adam, then F4 to Berg.
TEST_F(RechnungPaneTest, ChangingTheCustomerAsksToSaveTheNewOrder) {
  using Choice = frame::UserInterface::Choice;
  const struct {
    Choice choice;
    const char* customerAfter;
    int ordersStored;
  } cases[] = {{Choice::Yes, "Berg", 1}, {Choice::No, "Berg", 0}, {Choice::Cancel, "Adam", 0}};
  AddCustomer("Adam");
  AddCustomer("Berg");
  AddArticle("100", "Schraube", 1000);
  Open();
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.choice));
    window->pane(frame::PaneSlot::Address)->command(1022);  // back to Adam
    pane->command(2062);
    TakeOver("100");
    pane->command(2066);
    const std::int32_t before = app.orders.lastIndex;
    ui.shown.clear();
    ui.choices = {c.choice};
    QTest::keyClick(Control<QLineEdit>(pane, 2043), Qt::Key_F4);
    EXPECT_EQ(ui.questions(), std::vector<std::string>{"Auftrag speichern ?"});
    EXPECT_EQ(store::GetText(app.address.name2), c.customerAfter);
    EXPECT_EQ(app.orders.lastIndex - before, c.ordersStored);
    EXPECT_EQ(+app.order.lineCount, c.choice == Choice::Cancel ? 1 : 0);
    EXPECT_EQ(ListCount(), +app.order.lineCount);
  }
}

// Closing the window with an order that has unsaved lines asks as a change
// of customer does: Yes stores it, No drops it, Cancel keeps the program.
TEST_F(RechnungPaneTest, ClosingTheWindowAsksToSaveTheOrder) {
  using Choice = frame::UserInterface::Choice;
  AddCustomer("Adam");
  AddArticle("100", "Schraube", 1000);
  for (Choice choice : {Choice::Cancel, Choice::No, Choice::Yes}) {
    SCOPED_TRACE(static_cast<int>(choice));
    Open();
    pane->command(2062);
    TakeOver("100");
    pane->command(2066);
    const std::int32_t before = app.orders.lastIndex;
    ui.shown.clear();
    ui.choices = {choice};
    window->close();
    QApplication::processEvents();
    EXPECT_EQ(ui.questions(), std::vector<std::string>{"Auftrag speichern ?"});
    EXPECT_EQ(window->isVisible(), choice == Choice::Cancel);
    EXPECT_EQ(app.orders.lastIndex - before, choice == Choice::Yes ? 1 : 0);
    window.reset();
  }
}

// A double click on an order line makes its article current: the article
// pane shows it at once, and "Übernahme" takes the article on screen.
TEST_F(RechnungPaneTest, ADoubleClickedLineShowsItsArticleInTheArticlePane) {
  OpenNewOrderWithTwoArticles();
  TakeOver("100");
  pane->command(2066);
  TakeOver("200");
  pane->command(2066);
  frame::Pane* articles = window->pane(frame::PaneSlot::Article);
  DoubleClick(0);
  EXPECT_EQ(Control<QLineEdit>(articles, 1128)->text(), "100");
  EXPECT_EQ(Control<QLineEdit>(articles, 1104)->text(), "Schraube");
}

// Enter in the article number field takes the article of that number; an
// unknown number leaves the line as typed.
TEST_F(RechnungPaneTest, EnterInTheArticleNumberTakesThatArticle) {
  OpenNewOrderWithTwoArticles();
  for (auto [typed, designation] : {std::pair("200", "Mutter"), {"999", "Mutter"}}) {
    TypeInto(2046, typed);
    QTest::keyClick(Control<QLineEdit>(pane, 2046), Qt::Key_Return);
    EXPECT_EQ(Text(2051), designation) << typed;
  }
  EXPECT_EQ(Control<QLineEdit>(window->pane(frame::PaneSlot::Article), 1128)->text(), "200");
}

// Typing a number or words of a designation offers the matching articles;
// Enter takes the chosen one with its price for the quantity, as
// "Übernahme" does, and the quantity is next. A text that matches nothing,
// or one letter, offers nothing and stays a line typed by hand.
TEST_F(RechnungPaneTest, TypingOffersTheMatchingArticlesAndEnterTakesOne) {
  OpenNewOrderWithTwoArticles();
  AddArticle("300", "Schraubenzieher", 800);
  struct Case {
    int field;
    const char* typed;
    QStringList offered;
    int down;                // Down presses in the list before Enter
    const char* taken;       // article number of the line afterwards
    const char* designation;
  };
  const Case cases[] = {
      {2051, "schraub", {"100, Schraube", "300, Schraubenzieher"}, 0, "100", "Schraube"},
      {2051, "schraub", {"100, Schraube", "300, Schraubenzieher"}, 1, "300", "Schraubenzieher"},
      {2046, "20", {"200, Mutter"}, 0, "200", "Mutter"},
      {2051, "Anstrich Fassade", {}, 0, "", "Anstrich Fassade"},
      {2051, "S", {}, 0, "", "S"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " down " + std::to_string(c.down));
    pane->editor().clearEditedLine();
    pane->showOrder();
    TypeInto(c.field, c.typed);
    ArticleOffer* offer = c.field == 2046 ? pane->numberOffer() : pane->designationOffer();
    EXPECT_EQ(offer->shown(), c.offered);
    EXPECT_EQ(offer->open(), !c.offered.isEmpty());
    if (offer->open() && c.down > 0) {
      QWidget* popup = QApplication::activePopupWidget();
      ASSERT_NE(popup, nullptr);
      for (int i = 0; i < c.down; ++i) QTest::keyClick(popup, Qt::Key_Down);
    }
    QTest::keyClick(Control<QLineEdit>(pane, c.field), Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_FALSE(offer->open());
    EXPECT_EQ(Text(2046).toStdString(), c.taken);
    EXPECT_EQ(Text(2051).toStdString(), c.designation);
    if (*c.taken) {
      // (That the quantity is next, with the focus, the first-invoice test
      // of the main window checks.)
      EXPECT_GE(+app.orderLines[0].articleRef, 0);
    } else {
      EXPECT_LT(app.orderLines[0].articleRef, 0);
    }
  }
  // The quantity typed next takes the tier price, and the line is appended.
  TypeInto(2051, "Schraube");
  QTest::keyClick(Control<QLineEdit>(pane, 2051), Qt::Key_Return);
  QTest::qWait(20);
  // The offscreen platform leaves the window inactive after a popup.
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  TypeInto(2043, "12");
  EXPECT_EQ(Text(2053), "9.00");
  pane->command(2066);
  ASSERT_EQ(ListCount(), 1);
  EXPECT_EQ(store::GetText(app.orderLines[1].articleNumber), "100");
  EXPECT_EQ(app.orderLines[1].salePrice, 900);
}

TEST_F(RechnungPaneTest, APreviewHoldsTheInputAndItsClosingKeepsANewOrder) {
  const std::int32_t meier = AddCustomer("Meier");
  StoreOrderFor(meier, 1);
  app.parameters.printPreview = 1;
  Open();
  auto* host = printing::QtPrintHost::current();
  ASSERT_NE(host, nullptr);
  PrintInto("vorschau.pdf");
  pane->setPrintDialog([this] { printing::StartPrintJob(app, 3, true); });
  pane->command(2076);
  QWidget* preview = host->lastPreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(QApplication::activeModalWidget(), preview);
  // Whatever still reaches the order (no key or click can), closing the
  // preview does not put the printed order back over it.
  pane->command(2062);
  pane->command(2066);
  const std::int32_t newNumber = app.order.orderNumber;
  QTest::keyClick(preview, Qt::Key_Escape);
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(+app.order.stored, 0);
  EXPECT_EQ(+app.order.orderNumber, newNumber);
  EXPECT_EQ(Text(2030), QString::number(newNumber));
  EXPECT_EQ(ListCount(), 1);
}

// The pane shows the level a dunning run stored as soon as the letters are
// out, and saving the order afterwards keeps it.
TEST_F(RechnungPaneTest, TheLevelOfADunningRunShowsAndStays) {
  StoreOrderFor(AddCustomer("Meier"), 1, store::kOrderInvoicePrinted, "06.11.2026");
  for (int i = 0; i < 3; ++i) app.parameters.dunningPeriods[i] = static_cast<std::int16_t>(i + 1);
  Open();
  ASSERT_EQ(Text(2225), "0");
  PrintInto("mahnung.pdf");
  letters::MahnungDialog(app, window.get()).command(1);
  EXPECT_EQ(Text(2225), "1");  // the first letter, however late
  ui.answer({true});
  pane->command(2070);
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(app, stored, 0), 1);
  EXPECT_EQ(+stored.dunningLevel, 1);
}

// The tax-class buttons of the line name their rates in the order's
// currency and figure style.
TEST_F(RechnungPaneTest, TheTaxClassesShowTheirRates) {
  store::SetTaxRate(app.parameters, 1, 2, 50);
  ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  ASSERT_TRUE(store::SaveFigureStyle(app, frame::FigureStyle::German));
  OpenNewOrderWithTwoArticles();
  QStringList texts;
  for (int id : {2228, 2229, 2230}) texts << Control<QRadioButton>(pane, id)->text();
  EXPECT_EQ(texts.join(" | "), "0 (0 %) | 1 (7 %) | 2 (19 %)");
  app.order.currency = 1;
  pane->showOrder();
  EXPECT_EQ(Control<QRadioButton>(pane, 2229)->text(), "1 (5 %)");
}

// A line taken over but not yet appended is not lost when the window
// closes: saving offers it for appending first.
TEST_F(RechnungPaneTest, ALineTakenOverIsOfferedWhenTheWindowClosesAndSaves) {
  OpenNewOrderWithTwoArticles();
  TakeOver("100");
  ui.answer({true, true});  // "Auftrag speichern ?", then appending the line
  EXPECT_TRUE(window->close());
  EXPECT_EQ(ui.questions(), (std::vector<std::string>{
                                "Auftrag speichern ?",
                                "Die Position „100“ ist noch nicht angefügt.\nVor dem Speichern anfügen?"}));
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(app, stored, 0), 1);
  EXPECT_EQ(std::pair(+stored.lineCount, std::string(store::GetText(app.orderLines[1].articleNumber))),
            std::pair(1, std::string("100")));
}

// After a back-order confirmation the pane shows the follow-up order it now
// holds, with that order's total, not the one shown before.
TEST_F(RechnungPaneTest, ABackOrderConfirmationShowsTheFollowUpsTotal) {
  const std::int32_t meier = AddCustomer("Meier");
  store::OrderHead head{};
  head.customerRef = meier;
  head.flags = store::kOrderHasBackOrder;
  store::SetText(head.orderDate, "01.12.2026");
  head.lineCount = 2;
  head.stored = 1;
  for (int i = 1; i <= 2; ++i) {
    app.orderLines[i] = testsupport::MakeLine({"Zeile"});
    app.orderLines[i].salePrice = 1000 * i;
  }
  app.orderLines[2].flags = store::kLineBackOrder;
  head.total = 3570;
  std::int32_t position = -1;
  ASSERT_EQ(store::StoreOrder(app, head, position, store::StoreMode::NewNumber), 1);
  Open();
  orders::InstallPaymentCommands(*window);
  ASSERT_EQ(Text(2069), "35.70");
  testsupport::OnModal([](QDialog* dialog) {
    auto* list = dialog->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    emit list->itemDoubleClicked(list->item(0));  // marked "OK"
    static_cast<orders::NachlieferungDialog*>(dialog)->command(1);
  });
  window->command(frame::cmd::kConfirmBackOrder);
  ASSERT_NE(+app.order.orderNumber, +head.orderNumber);
  EXPECT_EQ(+app.order.total, 2380);
  EXPECT_EQ(Text(2069), "23.80");
}

TEST_F(RechnungPaneTest, AnArticleNumberChangeReachesTheOpenOrder) {
  OpenNewOrderWithTwoArticles();
  TakeOver("100");
  pane->command(2066);
  ui.answer({true});
  pane->command(2070);
  QTimer::singleShot(0, [] {
    QWidget* editor = QApplication::activeModalWidget();
    ASSERT_NE(editor, nullptr);
    Control<QLineEdit>(editor, 1128)->setText("101");
    QMetaObject::invokeMethod(editor, "command", Q_ARG(int, 1));
  });
  window->pane(frame::PaneSlot::Article)->command(2026);
  ASSERT_EQ(store::GetText(app.article.number), "101");
  const auto moved = static_cast<std::int32_t>(app.articles.entry.offset);
  ASSERT_NE(moved, 0);  // a new record: the old one stays behind at 0
  // Saved again, then issued as an invoice: both write the lines in memory.
  ui.answer({true});
  pane->command(2070);
  pane->setPrintDialog([this] {
    std::string date = "06.12.2026";
    IssueDocument(app, DocumentKind::Invoice, 1, date, [](int, bool, const printing::JobInputs&, const std::function<void()>& printed) { printed(); });
  });
  pane->command(2076);
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(app, stored, app.orders.position), 1);
  EXPECT_EQ(+app.orderLines[1].articleRef, moved);
  EXPECT_EQ(store::GetText(app.orderLines[1].articleNumber), "101");
}

TEST_F(RechnungPaneTest, AWholeOrderWithItsTypedTermsIsStoredAsThePaneShowedIt) {
  AddCustomer("Meier");
  AddArticle("100", "Schraube", 1000, 1);
  AddArticle("200", "Mutter", 500, 1);
  AddArticle("300", "Scheibe", 250, 1);
  Open();
  bool printed = false;
  pane->setPrintDialog([&printed] { printed = true; });
  pane->command(2062);
  TypeInto(2057, "21");
  TypeInto(2061, "9e99");  // "9" is a number, "9e" and on are none: 9 stays
  EXPECT_EQ(+app.order.cashDiscountPeriod, 9);
  TypeInto(2061, "8");
  TakeOver("100");
  pane->command(2066);
  TakeOver("200");
  TypeInto(2055, "5");
  pane->command(2066);
  TakeOver("300");
  TypeInto(2043, "4");
  pane->command(2066);
  ASSERT_EQ(ListCount(), 3);
  TypeInto(2225, "2");
  // "Drucken" saves the new order first; the dunning level typed goes with it.
  ui.answer({true});
  pane->command(2076);
  EXPECT_EQ(ui.questions().back(), "Auftrag speichern ?");
  EXPECT_TRUE(printed);
  // 4.00 + 1.90 + 4 x 1.00, at 19 %
  EXPECT_EQ(Text(2069), "11.78");

  // What a second copy of the program reads.
  frame::AppState other = OtherCopy(dir.path());
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(other, stored, 0), 1);
  EXPECT_EQ(QString::number(stored.orderNumber), Text(2030));
  EXPECT_EQ((std::vector<int>{stored.total, stored.paymentPeriod, stored.cashDiscountPeriod,
                              stored.dunningLevel, stored.lineCount}),
            (std::vector<int>{1178, 21, 8, 2, 3}));
  EXPECT_EQ(store::GetText(other.orderLines[3].articleNumber), "300");
  EXPECT_EQ(+other.orderLines[2].discount, 50);
}

// A line typed by hand, into the emptied line or over a taken article's
// number, refers to no article: booking moves no stock for it and saving
// remembers no discount for it.
TEST_F(RechnungPaneTest, ALineTypedByHandRefersToNoArticle) {
  AddCustomer("Meier");
  AddArticle("100", "Schraube", 1000);  // the first article, at offset 0
  AddArticle("200", "Mutter", 500);
  Open();
  pane->command(2062);
  TakeOver("200");
  QTest::mouseClick(Control<QPushButton>(pane, 2066), Qt::LeftButton);
  TypeInto(2046, "M-1");  // into the emptied line
  TypeInto(2051, "Montage");
  TypeInto(2053, "50");
  TypeInto(2055, "10");
  QTest::mouseClick(Control<QPushButton>(pane, 2066), Qt::LeftButton);
  TakeOver("200");
  TypeInto(2046, "201");  // over the taken article's number
  TypeInto(2055, "5");
  QTest::mouseClick(Control<QPushButton>(pane, 2066), Qt::LeftButton);
  ui.answer({true});
  QTest::mouseClick(Control<QPushButton>(pane, 2070), Qt::LeftButton);
  ASSERT_EQ(ui.questions().back(), "Auftrag speichern ?");

  frame::AppState other = OtherCopy(dir.path());
  store::OrderHead stored{};
  ASSERT_EQ(store::ReadOrder(other, stored, 0), 1);
  ASSERT_EQ(+stored.lineCount, 3);
  EXPECT_EQ((std::vector<int>{other.orderLines[1].articleRef, other.orderLines[2].articleRef,
                              other.orderLines[3].articleRef}),
            (std::vector<int>{520, -1, -1}));
  EXPECT_EQ(testsupport::ReadBytes(dir.file("RABATT.DAT")).size(), 0u);
}

}  // namespace
}  // namespace orders

namespace orders {
namespace {

// The pane shows an issued invoice as it was issued: appending is refused
// with the two ways to correct it; "Stornieren" asks, issues the credit
// note and shows it; "Kopieren" gives a new order that can be changed.
TEST_F(RechnungPaneTest, AnIssuedInvoiceIsCancelledOrCopiedNeverChanged) {
  const std::int32_t meier = AddCustomer("Meier");
  const std::int32_t invoice = StoreOrderFor(meier, 2, store::kOrderInvoicePrinted, "01.12.2026");
  ASSERT_TRUE(CompleteIssueBook(app));  // its record, as at a start
  Open();
  ASSERT_EQ(Text(2030), QString::number(invoice));
  ui.shown.clear();
  pane->command(2066);  // "Anfügen"
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_EQ(ui.texts()[0], IssuedInvoiceRefusal(invoice, "geändert"));
  EXPECT_EQ(ListCount(), 2);

  ui.shown.clear();
  ui.answer({true});
  pane->command(2240);  // "Stornieren"
  ASSERT_EQ(ui.texts().size(), 2u);
  EXPECT_TRUE(ui.shown[0].defaultNo);
  const QString credit = Text(2030);
  EXPECT_NE(credit, QString::number(invoice));
  EXPECT_EQ(ui.texts()[1], "Die Rechnung Nr. " + std::to_string(invoice) +
                               " ist mit der Gutschrift Nr. " + credit.toStdString() + " storniert.");
  EXPECT_EQ(ListCount(), 3);  // the line naming the invoice, then its two lines
  EXPECT_EQ(Text(2069), "-2.38");

  pane->command(2241);  // "Kopieren" of the credit note
  EXPECT_GT(Text(2030).toLong(), credit.toLong());
  EXPECT_EQ(ListCount(), 3);
  EXPECT_EQ(+app.order.flags, 0);  // a new order, open to change
}

}  // namespace
}  // namespace orders
