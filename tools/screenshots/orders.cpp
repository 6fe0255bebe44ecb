// The main window with the order pane holding a filled order.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/kunden_pane.h"
#include "orders/ui/rechnung_pane.h"
#include "screenshots.h"
#include "store/figure_style_file.h"
#include "store/records_test_support.h"
#include "support/test_app.h"

namespace screenshots {

void OrderPane() {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
  t.ui.defaultAnswer = true;
  frame::LoadParameters(app);
  testsupport::SetEuroAndDm(app.parameters);
  store::SaveFigureStyle(app, frame::FigureStyle::German);  // as a new data directory has it
  app.figures = frame::FigureStyle::German;
  frame::SaveParameters(app, frame::OrderCounter::FromMemory);
  std::int32_t position = -1;
  store::WriteAddress(app, testsupport::MakeAddress("Mustermann", "", "Maschinenbau GmbH"), position, true);
  const struct {
    const char* number;
    const char* designation;
    std::int32_t price;
    std::uint8_t currency;
  } articles[] = {{"SCH-M8x40", "Sechskantschraube M8 x 40 verzinkt", 1250, 1},
                  {"MUT-M8", "Sechskantmutter M8", 399, 0},
                  {"WS-200", "Winkelschleifer 125 mm mit Koffer", 8999, 0}};
  for (const auto& a : articles) {
    store::ArticleRecord article = testsupport::MakeArticle(a.number, a.designation);
    store::SetText(article.unit, "Stk");
    article.price1 = a.price;
    article.currency = a.currency;
    position = -1;
    store::WriteArticle(app, article, position, true);
  }
  frame::MainWindow window(app);
  orders::InstallOrderPane(window);
  masterdata::InstallAddressPane(window);
  masterdata::InstallArticlePane(window);
  auto* pane = static_cast<orders::RechnungPane*>(window.pane(frame::PaneSlot::Order));
  window.resize(1280, 760);
  window.show();
  QApplication::processEvents();
  auto type = [pane](int id, const QString& text) {
    auto* edit = frame::Control<QLineEdit>(pane, id);
    edit->setText(text);
    emit edit->textEdited(text);
  };
  auto takeOver = [&](const char* number) {
    store::ArticleRecord key{};
    store::SetText(key.number, number);
    std::int32_t at = -1;
    store::FindArticleByNumber(app, key, at);
    store::ReadArticle(app, app.article, at);
    app.articles.position = at;
    pane->command(2079);
  };
  pane->command(2062);
  takeOver("SCH-M8x40");
  type(2043, "25");
  type(2055, "5");
  pane->command(2066);
  takeOver("MUT-M8");
  type(2043, "25");
  pane->command(2066);
  takeOver("WS-200");
  frame::Control<QCheckBox>(pane, 2136)->click();
  pane->command(2066);
  pane->command(2070);
  takeOver("WS-200");
  QApplication::processEvents();
  window.grab().save(folder + "/order_pane.png");
}

}  // namespace screenshots
