// The cash desk run from the keyboard alone, from the first typed article
// number to the printed invoice; and the order search's result list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <tuple>
#include <variant>

#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "core/command_ids.h"
#include "masterdata/ui/lrechnungdrucken_dialog.h"
#include "orders/cash_customer.h"
#include "orders/ui/cash_desk_pane.h"
#include "orders/ui/rechnungsuchen_dialog.h"
#include "printing/ui/qt_print_host.h"
#include "store/records_test_support.h"
#include "support/modal.h"

namespace orders {
namespace {

using frame::Control;

class CashDeskPaneTest : public testsupport::StoreTest {
 protected:
  std::int32_t AddCustomer(const char* name2) {
    store::AddressRecord address = testsupport::MakeAddress(name2);
    address.copies = 1;
    Add(address);
    return static_cast<std::int32_t>(app.addresses.entry.offset);
  }
  // Keys go where the focus is, as the user types them. After a dialog the
  // main window is made active again, as the window manager would.
  QWidget* Focus() {
    if (!QApplication::focusWidget() && main) {
      main->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(main));
    }
    return QApplication::focusWidget();
  }
  QWidget* main = nullptr;
  void Type(std::initializer_list<std::variant<const char*, QKeyCombination>> input) {
    for (const auto& in : input)
      if (const auto* text = std::get_if<const char*>(&in))
        QTest::keyClicks(Focus(), *text);
      else
        QTest::keyClick(Focus(), std::get<QKeyCombination>(in).key(),
                        std::get<QKeyCombination>(in).keyboardModifiers());
  }
};

// "Barkunde wählen..." in the Datei menu of either interface: the list shows
// the address chosen so far, each by its full name and town, and another one
// chosen there is the cash customer from now on; "Abbrechen" keeps the old one.
TEST_F(CashDeskPaneTest, TheCashCustomerIsChosenAgainFromTheMenu) {
  for (const char* name : {"Adam", "Barverkauf"}) AddCustomer(name);
  store::AddressRecord meier = testsupport::MakeAddress("Meier", "", "Hans");
  store::SetText(meier.town, "12345 Neustadt");
  Add(meier);
  for (const std::int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(SaveCashCustomer(app, "Barverkauf"));
    app.cashDeskMode = mode;
    frame::MainWindow window(app);
    InstallCashDeskPane(window);
    ASSERT_NE(window.menuAction(frame::cmd::kCashCustomer), nullptr);
    for (const bool accept : {false, true}) {
      QString shown;
      testsupport::OnModal([&](QDialog* dialog) {
        auto* box = dialog->findChild<QComboBox*>();
        ASSERT_NE(box, nullptr);
        shown = box->currentText();
        EXPECT_EQ(box->count(), 3);
        box->setCurrentText(QStringLiteral("Hans Meier, 12345 Neustadt"));
        accept ? dialog->accept() : dialog->reject();
      });
      window.menuAction(frame::cmd::kCashCustomer)->trigger();
      EXPECT_EQ(shown, "Barverkauf");
      EXPECT_EQ(LoadCashCustomer(app), accept ? "Meier" : "Barverkauf");
    }
  }
}

TEST_F(CashDeskPaneTest, AWholeSaleFromTheKeyboardEndsInTheOrderFileAndOnPaper) {
  testsupport::SetEuroAndDm(app.parameters);
  frame::SaveParameters(app, frame::OrderCounter::FromMemory);
  AddCustomer("Barverkauf");
  const std::int32_t meier = AddCustomer("Meier");
  store::ArticleRecord coffee = testsupport::MakeArticle("4711", "Kaffee");
  coffee.price1 = 899;
  coffee.stock[0] = 20;
  Add(coffee);
  const auto coffeeRef = static_cast<std::int32_t>(app.articles.entry.offset);
  app.cashDeskMode = 1;
  frame::MainWindow window(app);
  InstallCashDeskPane(window);
  auto* pane = static_cast<CashDeskPane*>(window.pane(frame::PaneSlot::CashDesk));
  const QString pdf = QString::fromStdString(dir.file("rechnung.pdf"));
  printing::QtPrintHost::current()->setPrinterChooser([pdf] {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    return printer;
  });
  window.show();
  main = &window;
  ASSERT_NE(Focus(), nullptr);
  testsupport::ModalWatchdog watchdog;

  // Enter on the number finds the one article; its stock shows and the
  // quantity is typed over the "1" it brings.
  Type({"4711", Qt::Key_Return});
  EXPECT_EQ(Control<QLabel>(pane, 2193)->text(), "20");
  Type({"3", Qt::ALT | Qt::Key_H});
  // A line typed by hand, field by field with Tab, for an unknown article
  // that is not created.
  ui.answer({false, true});
  Type({"T-1", Qt::Key_Tab, "Tasse", Qt::Key_Tab, "2", Qt::Key_Tab, "4,50", Qt::ALT | Qt::Key_H});
  EXPECT_EQ(pane->lineList()->count(), 2);
  EXPECT_EQ(Control<QLabel>(pane, 2069)->text(), "42.80");  // (26.97 + 9.00) x 1.19

  // The customer is chosen in the document dialog; Alt+R there prints the invoice.
  app.addresses.position = 1;
  auto document = testsupport::OnModals(
      {[](QWidget* dialog) {
        // The offscreen platform does not hand activation to a dialog.
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
      }});
  Type({Qt::ALT | Qt::Key_R});
  EXPECT_EQ(ui.questions(),
            (std::vector<std::string>{"Artikel neu anlegen ?", "Wirklich buchen mit Ausdruck ?"}));

  // The next sale has begun; the booked one is in the file, marked printed.
  EXPECT_EQ(pane->lineList()->count(), 0);
  EXPECT_EQ(Control<QLabel>(pane, 2069)->text(), "0.00");
  EXPECT_EQ(window.focusWidget(), Control<QLineEdit>(pane, 2046));
  ASSERT_EQ(+app.orders.lastIndex, 0);
  store::OrderHead head{};
  ASSERT_EQ(store::ReadOrder(app, head, 0), 1);
  EXPECT_EQ(std::tuple(+head.customerRef, +head.total, +head.flags), std::tuple(meier, 4280, 6));
  EXPECT_EQ(store::GetText(head.invoiceDate), "03.12.2026");
  EXPECT_EQ(std::tuple(+app.orderLines[1].quantity, +app.orderLines[1].articleRef,
                       +app.orderLines[2].articleRef),
            std::tuple(3.0, coffeeRef, -1));
  QFile printed(pdf);
  EXPECT_TRUE(printed.open(QIODevice::ReadOnly) && printed.read(4) == "%PDF" && printed.size() > 5000);
}

// What the user typed at the desk is kept: Enter in "Anzahl" adds the line,
// and closing the window with a sale not booked, or with a line not yet
// added, asks first; "Nein" keeps the window and the sale.
TEST_F(CashDeskPaneTest, EnterAddsTheLineAndClosingAsksForAnOpenSale) {
  store::ArticleRecord coffee = testsupport::MakeArticle("4711", "Kaffee");
  coffee.price1 = 899;
  Add(coffee);
  app.cashDeskMode = 1;
  frame::MainWindow window(app);
  InstallCashDeskPane(window);
  auto* pane = static_cast<CashDeskPane*>(window.pane(frame::PaneSlot::CashDesk));
  window.show();
  main = &window;
  ASSERT_NE(Focus(), nullptr);
  testsupport::ModalWatchdog watchdog;

  Type({"4711", Qt::Key_Return, "2", Qt::Key_Return});
  EXPECT_EQ(pane->lineList()->count(), 1);
  EXPECT_EQ(Focus(), Control<QLineEdit>(pane, 2046));
  const std::string question = "Der Verkauf ist noch nicht gebucht.\n"
                               "Trotzdem schließen? Die Positionen gehen verloren.";
  ui.answer({false});
  EXPECT_FALSE(window.close());
  EXPECT_EQ(ui.questions(), std::vector<std::string>{question});
  EXPECT_EQ(pane->lineList()->count(), 1);

  // A line found but not added counts too.
  pane->command(2068);  // "Entfernen" of the selected line
  ASSERT_EQ(pane->lineList()->count(), 0);
  Type({"4711", Qt::Key_Return});
  ui.answer({false, true});
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.close());
  EXPECT_EQ(ui.questions().size(), 3u);
}

// The receipt dialog prints once while no address is chosen, not 0 times.
TEST_F(CashDeskPaneTest, TheReceiptDialogOffersOneCopyBeforeAnAddressIsChosen) {
  masterdata::LRechnungDruckenDialog dialog(app, nullptr);
  EXPECT_EQ(Control<QLineEdit>(&dialog, 2043)->text(), "1");
}

// Every hit shows in the order pane as it is listed; the last one stays
// selected. A search without hits says so and shows nothing new.
TEST_F(CashDeskPaneTest, TheOrderSearchShowsItsHitsAsTheyAreSelected) {
  const std::int32_t meier = AddCustomer("Meier");
  for (int i = 0; i < 3; ++i) testsupport::AddOrder(app, meier, {{"Tisch"}});
  std::vector<std::int32_t> shown;
  RechnungSuchenDialog dialog(app, [&shown](std::int32_t position) { shown.push_back(position); });
  testsupport::Type(&dialog, 2092, "eie");
  dialog.command(2132);
  EXPECT_EQ(shown, std::vector<std::int32_t>{2});  // the last of three
  EXPECT_EQ(Control<QLabel>(&dialog, 2139)->text(), QString::fromUtf8("3 Aufträge gefunden"));
  EXPECT_EQ(Control<QPushButton>(&dialog, 2132)->text(), "OK");
  Control<QListWidget>(&dialog, 2131)->setCurrentRow(0);
  EXPECT_EQ(shown, (std::vector<std::int32_t>{2, 0}));
  testsupport::Type(&dialog, 2092, "");
  testsupport::Type(&dialog, 2090, "999");
  dialog.command(2132);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Nicht gefunden!"});
  EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
}  // namespace orders
