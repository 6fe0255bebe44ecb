// Pictures of the article pane and its dialogs for people to look at; only
// taken when BELVON_SCREENSHOT_DIR names a folder.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/screenshot.h"

#include "frame/ui/dialog_support.h"
#include "frame/ui/main_window.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/artikelauswahl_dialog.h"
#include "masterdata/ui/artikeledit_dialog.h"
#include "masterdata/ui/artikelsuchen_dialog.h"
#include "masterdata/ui/langtext2_dialog.h"
#include "store/article_file.h"
#include "store/records_test_support.h"

namespace masterdata {
namespace {

class ArtikelScreenshots : public testsupport::StoreTest {};

TEST_F(ArtikelScreenshots, PaneAndDialogs) {
  if (!std::getenv("BELVON_SCREENSHOT_DIR")) GTEST_SKIP() << "BELVON_SCREENSHOT_DIR not set";
  store::SetText(app.parameters.currencySymbol1, "EUR");
  store::SetText(app.parameters.currencySymbol2, "DM");
  store::SetText(app.parameters.currencySymbol3, "CHF");
  const char* names[][2] = {{"10-4711", "Holzschraube verzinkt 4x40 rot"},
                            {"10-4712", "Holzschraube verzinkt 5x50"},
                            {"20-0815", "Acryllack rot seidenmatt 750 ml"},
                            {"30-1000", "Flachpinsel 50 mm Naturborste"}};
  for (auto [number, designation] : names) {
    store::ArticleRecord a = testsupport::MakeArticle(number, designation, "W\xfcrth");
    store::SetText(a.productGroup, "Befestigung");
    store::SetText(a.remark1, "Packung zu 100 St\xfc" "ck");
    store::SetText(a.remark2, "schraube.bmp Teilgewinde,\r\nKreuzschlitz PZ2");
    store::SetText(a.unit, "Pck");
    a.price1 = 1295;
    a.quantityPrice2 = 10;
    a.price2 = 1150;
    a.purchasePrice = 780;
    a.stock[0] = 120;
    a.stock[1] = 35.5;
    a.minimumStock = 50;
    a.targetStock = 200;
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteArticle(app, a, position, true), 1);
  }
  app.productGroups.lastIndex = 2;
  std::strcpy(app.productGroups.entries[1].data(), "Befestigung");
  std::strcpy(app.productGroups.entries[2].data(), "Farben");

  frame::MainWindow window(app);
  InstallArticlePane(window);
  window.resize(1280, 600);
  window.show();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the placeholder
  QApplication::processEvents();
  // The window as wide as the screen it is made for, with the other panes
  // beside the article pane.
  window.grab().save(QString::fromUtf8(std::getenv("BELVON_SCREENSHOT_DIR")) + "/artikel_main_window.png");
  testsupport::SaveScreenshot(*window.pane(frame::PaneSlot::Article), "artikel_pane");

  ArtikelEditDialog edit(app, app.article, false);
  testsupport::SaveScreenshot(edit, "artikeledit");
  store::ArticleRecord criteria = app.articleCriteria;
  store::SetText(criteria.supplier, "#Obi");
  ArtikelAuswahlDialog selection(criteria, app.productGroups);
  testsupport::SaveScreenshot(selection, "artikelauswahl");
  ArtikelSuchenDialog search(app, "4711", nullptr);
  QApplication::processEvents();
  testsupport::SaveScreenshot(search, "artikelsuchen_one_hit_before_closing");
  ArtikelSuchenDialog many(app, "", nullptr);
  frame::Control<QLineEdit>(&many, 1128)->setText("10");
  many.command(2025);
  testsupport::SaveScreenshot(many, "artikelsuchen");
  Langtext2Dialog text(app.article);
  testsupport::SaveScreenshot(text, "langtext2");
}

}  // namespace
}  // namespace masterdata
