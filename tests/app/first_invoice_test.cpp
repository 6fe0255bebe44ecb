// A painter's first invoice from an empty data directory, as a user makes it
// in the real main window: the first-start assistant, two articles (the
// hourly rate a service), one customer, an order of two lines typed into the
// order line, saved, issued as invoice from the print dialog through the
// preview into a PDF. Every key and click is a Qt key or mouse event sent
// to the widget under it, and is counted; the whole way takes at most 60
// actions, where an action is a click, a key (with its modifiers) or the
// text typed into one field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "app/first_start.h"
#include "app/main_window.h"
#include "einvoice/ui/einvoice_menu.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/kunden_pane.h"
#include "orders/girocode.h"
#include "orders/order_math.h"
#include "orders/ui/rechnung_pane.h"
#include "printing/ui/preview_window.h"
#include "printing/ui/qt_print_host.h"
#include "store/einvoice_settings.h"
#include "store/order_file.h"
#include "store/article_file.h"
#include "store/service_article.h"
#include "support/fresh_program.h"
#include "widgets/dialog_support.h"
#include "widgets/qt_user_interface.h"

namespace frame {
namespace {

// The user: waits for what the screen must show before each action, then
// acts through real key and mouse events, and counts.
class User {
 public:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };

  // The steps run from the event loop, also inside the modal dialogs.
  void start() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { next(); });
    timer_.start(20);
  }
  bool done() const { return steps_.empty(); }
  std::string waitingFor() const { return steps_.empty() ? "" : steps_.front().what; }
  void then(std::string what, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act)});
  }

  void key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
    ++actions;
  }
  // A check box is clicked on its box, at its left end; anything else in
  // its middle.
  void click(QWidget* target) {
    ASSERT_NE(target, nullptr);
    const QPoint at = qobject_cast<QCheckBox*>(target) ? QPoint(8, target->height() / 2)
                                                       : target->rect().center();
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    ++actions;
  }
  void type(QWidget* target, const QString& text) {
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, text);
    ++actions;
    keystrokes += static_cast<int>(text.size());
  }
  // A field is clicked into, then typed into; what it showed before is
  // selected first (Ctrl+A).
  void fill(QWidget* root, int id, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(FindControl(root, id));
    ASSERT_NE(field, nullptr) << id;
    click(field);
    if (!field->text().isEmpty()) key(field, Qt::Key_A, Qt::ControlModifier);
    type(field, text);
  }

  int actions = 0;
  int keystrokes = 0;  // characters typed, for the record

 private:
  void next() {
    if (steps_.empty() || busy_) return;
    if (!steps_.front().ready()) return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    busy_ = true;  // an action may open a modal dialog: its loop calls back
    QTimer::singleShot(0, [this, act = std::move(step.act)] {
      busy_ = false;
      act();
    });
  }

  QTimer timer_;
  std::deque<Step> steps_;
  bool busy_ = false;
};

QWidget* Modal(const char* name) {
  QWidget* modal = QApplication::activeModalWidget();
  return modal && modal->objectName() == QLatin1String(name) ? modal : nullptr;
}
QMessageBox* Box() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }
bool NoModal() { return QApplication::activeModalWidget() == nullptr && !QApplication::activePopupWidget(); }

// Runs the event loop until `ready` holds or `ms` have passed.
bool WaitUntil(const std::function<bool()>& ready, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!ready()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

using FirstInvoice = testsupport::FreshProgram;

TEST_F(FirstInvoice, FromAnEmptyDirectoryInSixtyActions) {
  User user;
  QtUserInterface desktop;
  app.ui = &desktop;
  MainWindow window(app);
  desktop.setOwner(&window);
  orders::InstallOrderPane(window);
  masterdata::InstallArticlePane(window);
  masterdata::InstallAddressPane(window);
  einvoice::InstallEInvoiceCommands(window);
  const QString pdf = QString::fromStdString(dir.file("Rechnung.pdf"));
  printing::QtPrintHost* host = printing::QtPrintHost::current();
  // The file dialog of "Als PDF speichern": the user takes the name offered
  // in the folder chosen (one key).
  host->setPdfFileChooser([&](const QString&) {
    ++user.actions;
    return pdf;
  });
  QWidget* articles = window.pane(PaneSlot::Article);
  QWidget* addresses = window.pane(PaneSlot::Address);
  QWidget* orderPane = window.pane(PaneSlot::Order);
  // Where the keys go: the field with the focus, else the window.
  auto focused = [&window]() -> QWidget* {
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : &window;
  };

  // The first start: welcome, the company, the currencies.
  user.then("Willkommen", [] { return Box() != nullptr; }, [&] { user.key(Box(), Qt::Key_Return); });
  user.then("Stammdaten", [] { return Modal("STAMMDATEN"); }, [&] {
    QWidget* d = Modal("STAMMDATEN");
    user.fill(d, 1032, "Malerbetrieb Krause");
    user.fill(d, 1035, "Lindenstraße 4");
    user.fill(d, 1037, "34117 Kassel");
    user.fill(d, 2241, "026 123 45678");
    user.fill(d, 1043, "DE89 3704 0044 0532 0130 00");
    user.click(FindControl(d, 1));
  });
  user.then("Währungen", [] { return Modal("WAEHRUNG"); },
            [&] { user.click(FindControl(Modal("WAEHRUNG"), 1)); });

  // Two articles: the hourly rate is a service.
  struct Article {
    const char* number;
    const char* designation;
    const char* price;
    bool service;
  };
  for (const Article& a : {Article{"STD", "Malerarbeiten je Stunde", "48,00", true},
                           Article{"FARBE", "Dispersionsfarbe weiß 10 l", "59,90", false}}) {
    user.then(std::string("Neu: ") + a.number, NoModal,
              [&, articles] { user.click(FindControl(articles, 2028)); });
    user.then(std::string("Artikel ") + a.number, [] { return Modal("ARTIKELEDIT"); }, [&, a] {
      QWidget* d = Modal("ARTIKELEDIT");
      user.type(FindControl(d, 1128), a.number);  // the number field has the focus
      user.fill(d, 1104, QString::fromUtf8(a.designation));
      user.fill(d, 1112, a.price);
      if (a.service) user.click(FindControl(d, 1135));
      user.click(FindControl(d, 1));
    });
  }

  // One customer.
  user.then("Neue Adresse", NoModal, [&] { user.click(FindControl(addresses, 1015)); });
  user.then("Adresse", [] { return Modal("KUNDENEDIT"); }, [&] {
    QWidget* d = Modal("KUNDENEDIT");
    user.type(FindControl(d, 1029), "Familie Berger");  // name line 1 has the focus
    user.fill(d, 1001, "Gartenweg 7");
    user.fill(d, 1002, "34119 Kassel");
    user.click(FindControl(d, 1));
  });

  // The order: two lines typed into the order line, the article offered
  // and taken with Enter, then the quantity.
  user.then("Neuer Auftrag", NoModal,
            [&] { user.key(focused(), Qt::Key_N, Qt::AltModifier); });
  for (auto [words, quantity] : {std::pair{"Maler", "8"}, std::pair{"Farbe", "3"}}) {
    user.then(std::string("Zeile ") + words, NoModal, [&, words] {
      QWidget* designation = FindControl(orderPane, 2051);
      user.click(designation);
      user.type(designation, words);
      user.key(designation, Qt::Key_Return);
    });
    // The article taken, the quantity field has the focus.
    user.then(std::string("Anzahl ") + words,
              [&] { return NoModal() && window.focusWidget() == FindControl(orderPane, 2043); },
              [&, quantity] {
                user.type(FindControl(orderPane, 2043), quantity);
                user.click(FindControl(orderPane, 2066));
              });
  }
  user.then("Speichern", NoModal, [&] { user.key(focused(), Qt::Key_S, Qt::AltModifier); });
  user.then("Auftrag speichern ?", [] { return Box() != nullptr; },
            [&] { user.key(Box(), Qt::Key_Return); });
  user.then("Drucken", NoModal, [&] { user.key(focused(), Qt::Key_D, Qt::AltModifier); });
  user.then("Rechnung", [] { return Modal("RECHNUNGDRUCKEN"); },
            [&] { user.click(FindControl(Modal("RECHNUNGDRUCKEN"), 2086)); });
  user.then("Vorschau: als PDF", [] { return Modal("PreviewClass"); }, [&] {
    QWidget* preview = Modal("PreviewClass");
    user.click(FindControl(preview, printing::PreviewWindow::kPdfButton));
    user.click(FindControl(preview, printing::PreviewWindow::kCloseButton));
  });

  user.start();
  ASSERT_TRUE(StartOnDataDirectory(app, window));
  ASSERT_TRUE(WaitUntil([&] { return user.done(); }, 60000))
      << "waiting for: " << user.waitingFor() << " after " << user.actions << " actions";
  ASSERT_TRUE(WaitUntil(NoModal, 5000));

  std::printf("[ first invoice ] %d actions, %d characters typed\n", user.actions, user.keystrokes);
  EXPECT_LE(user.actions, 60);

  // What the user got: a PDF of the issued invoice, with its terms, the
  // cash discount spelled out and the GiroCode to pay by.
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.read(4), "%PDF");
  store::OrderHead issued{};
  ASSERT_EQ(store::ReadOrder(app, issued, app.orders.position), 1);
  EXPECT_NE(issued.flags & store::kOrderInvoicePrinted, 0);
  ASSERT_EQ(issued.lineCount, 2);
  EXPECT_EQ(store::GetText(app.orderLines[1].articleNumber), "STD");
  EXPECT_EQ(app.orderLines[1].quantity, 8);
  EXPECT_EQ(app.orderLines[1].salePrice, 4800);
  EXPECT_EQ(store::GetText(app.orderLines[2].articleNumber), "FARBE");
  EXPECT_EQ(app.orderLines[2].quantity, 3);
  EXPECT_EQ(issued.paymentPeriod, 14);
  const std::vector<std::string> terms = orders::PaymentTermsLines(
      issued, std::string(store::GetText(issued.invoiceDate)), "EUR", app.figures);
  ASSERT_EQ(terms.size(), 1u);
  EXPECT_TRUE(terms[0].starts_with("Zahlung: innerhalb 14 Tagen bis zum ")) << terms[0];
  EXPECT_TRUE(app.parameters.printPaymentTerms);
  EXPECT_FALSE(
      orders::GiroCodePayload(issued, app.parameters, einvoice::LoadSettings(app.dataDirectory))
          .empty());
  store::ArticleRecord hours{};
  ASSERT_EQ(store::ReadArticle(app, hours, 1), 1);  // after FARBE in the index
  EXPECT_TRUE(store::IsServiceArticle(hours)) << store::GetText(hours.number);
  app.ui = &ui;
}

}  // namespace
}  // namespace frame
