// The main window of the cash-desk interface with a sale being typed, and
// the order search with its hits.
#include <QApplication>
#include <QLineEdit>

#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "orders/ui/cash_desk_pane.h"
#include "orders/ui/rechnungsuchen_dialog.h"
#include "screenshots.h"
#include "store/figure_style_file.h"
#include "store/records_test_support.h"
#include "support/test_app.h"

namespace screenshots {

void CashDesk() {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
  t.ui.defaultAnswer = true;
  frame::LoadParameters(app);
  testsupport::SetEuroAndDm(app.parameters);
  app.parameters.grossPrices = 1;
  store::SaveFigureStyle(app, frame::FigureStyle::German);  // as a new data directory has it
  app.figures = frame::FigureStyle::German;
  frame::SaveParameters(app, frame::OrderCounter::FromMemory);
  std::int32_t position = -1;
  store::WriteAddress(app, testsupport::MakeAddress("Barverkauf"), position, true);
  position = -1;
  store::WriteAddress(app, testsupport::MakeAddress("Lieferant"), position, true);
  const struct {
    const char* number;
    const char* designation;
    std::int32_t price;
    double quantity;
  } lines[] = {{"KAF-500", "Kaffee Hochland gemahlen 500 g", 899, 3},
               {"TAS-01", "Kaffeetasse Steingut wei\xdf", 450, 2},
               {"FIL-4", "Kaffeefilter Gr\xf6\xdf" "e 4, 100 St\xfc" "ck", 229, 1}};
  app.cashDeskMode = 1;
  frame::MainWindow window(app);
  orders::InstallCashDeskPane(window);
  auto* pane = static_cast<orders::CashDeskPane*>(window.pane(frame::PaneSlot::CashDesk));
  for (const auto& l : lines) {
    store::ArticleRecord article = testsupport::MakeArticle(l.number, l.designation);
    article.price1 = l.price;
    article.stock[0] = 24;
    position = -1;
    store::WriteArticle(app, article, position, true);
    store::ReadArticle(app, app.article, position);
    app.articles.position = position;
    pane->sale().takeArticle();
    app.orderLines[0].quantity = l.quantity;
    pane->sale().add();
  }
  // The next line half typed.
  store::SetText(app.orderLines[0].articleNumber, "MIL-1");
  store::SetText(app.orderLines[0].description1, "H-Milch 1,5 %");
  app.orderLines[0].quantity = 1;
  app.orderLines[0].salePrice = 109;
  pane->showSale();
  window.refreshStatus();
  window.show();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the placeholder
  window.adjustSize();
  QApplication::processEvents();
  window.grab().save(folder + "/cash_desk.png");

  orders::RechnungSuchenDialog search(app, [](std::int32_t) {});
  frame::Control<QLineEdit>(&search, 2092)->setText("Bar");
  pane->sale().bookWithoutInvoice();
  search.command(2132);
  Save(search, "rechnungsuchen");
}

}  // namespace screenshots
