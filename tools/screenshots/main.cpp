// Pictures of the main window, the panes and their dialogs for a person to
// look at: `make screenshots` writes them as PNGs into the folder named on
// the command line. Every picture is taken on a fresh data directory.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "store/load_parameters.h"
#include "app/about_dialog.h"
#include "widgets/dialog_support.h"
#include "app/druckparam_dialog.h"
#include "app/mahndaten_dialog.h"
#include "app/main_window.h"
#include "app/stammdaten_dialog.h"
#include "app/waehrung_dialog.h"
#include "masterdata/ui/artikel_pane.h"
#include "masterdata/ui/artikelauswahl_dialog.h"
#include "masterdata/ui/artikeledit_dialog.h"
#include "masterdata/ui/artikelsuchen_dialog.h"
#include "masterdata/ui/langtext2_dialog.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "screenshots.h"
#include "support/test_app.h"

namespace screenshots {

QString folder;

void Save(QWidget& widget, const QString& name) {
  widget.show();
  widget.adjustSize();
  QApplication::processEvents();
  const QString file = folder + "/" + name + ".png";
  if (!widget.grab().save(file)) std::fprintf(stderr, "%s not written\n", qPrintable(file));
}

}  // namespace screenshots

namespace {

using screenshots::Save;

void MainWindowAndSettings() {
  testsupport::TestApp t;
  frame::MainWindow window(t.app);
  frame::LoadParameters(t.app);
  window.refreshStatus();
  window.resize(1000, 560);
  Save(window, "main_window");
  frame::StammdatenDialog stammdaten(t.app.parameters, t.app.nextOrderNumber, t.app.dataDirectory);
  Save(stammdaten, "stammdaten");
  frame::WaehrungDialog waehrung(t.app.parameters);
  Save(waehrung, "waehrung");
  frame::DruckparamDialog druckparam(t.app.parameters);
  Save(druckparam, "druckparam");
  frame::MahndatenDialog mahndaten(t.app.parameters);
  Save(mahndaten, "mahndaten");
  frame::AboutDialog about;
  Save(about, "about");
}

void ArticlePane() {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
  frame::LoadParameters(app);
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
    store::WriteArticle(app, a, position, true);
  }
  app.productGroups.lastIndex = 2;
  std::strcpy(app.productGroups.entries[1].data(), "Befestigung");
  std::strcpy(app.productGroups.entries[2].data(), "Farben");

  frame::MainWindow window(app);
  masterdata::InstallArticlePane(window);
  window.resize(1280, 600);
  window.show();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the placeholder
  QApplication::processEvents();
  // The window as wide as the screen it is made for, with the other panes
  // beside the article pane.
  window.grab().save(screenshots::folder + "/artikel_main_window.png");
  Save(*window.pane(frame::PaneSlot::Article), "artikel_pane");

  masterdata::ArtikelEditDialog edit(app, app.article, false);
  Save(edit, "artikeledit");
  store::ArticleRecord criteria = app.articleCriteria;
  store::SetText(criteria.supplier, "#Obi");
  masterdata::ArtikelAuswahlDialog selection(criteria, app.productGroups);
  Save(selection, "artikelauswahl");
  masterdata::ArtikelSuchenDialog search(app, "4711", nullptr);
  QApplication::processEvents();
  Save(search, "artikelsuchen_one_hit_before_closing");
  masterdata::ArtikelSuchenDialog many(app, "", nullptr);
  frame::Control<QLineEdit>(&many, 1128)->setText("10");
  many.command(2025);
  Save(many, "artikelsuchen");
  masterdata::Langtext2Dialog text(app.article);
  Save(text, "langtext2");
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QString& folder = screenshots::folder;
  folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  QDir().mkpath(folder);
  MainWindowAndSettings();
  screenshots::AddressPane();
  ArticlePane();
  screenshots::OrderPane();
  screenshots::PictureWindow();
  screenshots::CashDesk();
  std::printf("%s\n", qPrintable(QDir(folder).absolutePath()));
  return 0;
}
