// The article pane driven through its commands, with the modal dialogs it
// opens driven through their buttons.
#include "masterdata/ui/artikel_pane.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <memory>

#include "core/command_ids.h"
#include "app/main_window.h"
#include "masterdata/ui/kunden_pane.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "support/failing_file_system.h"
#include "support/modal.h"

namespace masterdata {
namespace {

using frame::Control;
using testsupport::Click;
using testsupport::MakeArticle;
using testsupport::OnModal;
using testsupport::Type;

class ArtikelPaneTest : public testsupport::StoreTest {
 protected:
  void Add(const std::string& number, const std::string& designation = "") {
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteArticle(app, MakeArticle(number, designation), position, true), 1);
  }
  std::string Current() const { return std::string(store::GetText(app.article.number)); }
  QString Shown(ArtikelPane& pane, int id) { return testsupport::Shown(&pane, id); }
  // The pane opened on the first article, as the start-up does.
  ArtikelPane& Open() {
    pane_ = std::make_unique<ArtikelPane>(app);
    pane_->show();
    QApplication::processEvents();
    return *pane_;
  }

  testsupport::ModalWatchdog watchdog_;
  std::unique_ptr<ArtikelPane> pane_;
};

TEST_F(ArtikelPaneTest, ShowsTheFirstArticleWithItsPriceAndTotalStock) {
  store::ArticleRecord article = MakeArticle("100", "Schraube");
  article.price1 = 1250;
  article.stock[0] = 2;
  article.stock[5] = 0.5;
  article.currency = 1;
  store::SetText(app.parameters.currencySymbol2, "DM");
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, article, position, true), 1);
  ArtikelPane& pane = Open();
  EXPECT_EQ((QStringList{Shown(pane, 1128), Shown(pane, 1104), Shown(pane, 1112), Shown(pane, 1102),
                         Control<QLabel>(&pane, 2180)->text()}),
            (QStringList{"100", "Schraube", "12.50", "2.500", "DM"}));
  EXPECT_EQ(store::GetText(app.articleCriteria.number), "#ZARVENTO");
}

TEST_F(ArtikelPaneTest, AfterASearchForFortySevenNextGoesToTheNextNumberWithIt) {
  for (const char* n : {"1470", "2000", "3470", "4700", "5000"}) Add(n);
  ArtikelPane& pane = Open();
  OnModal([](QDialog* search) {
    Type(search, 1128, "47");
    Click(search, 2025);
    auto* list = Control<QListWidget>(search, 2131);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(Control<QLabel>(search, 2139)->text(), "3 Artikel gefunden");
    list->setCurrentRow(0);
    Click(search, 2025);  // "OK" takes the chosen entry
  });
  QLabel* line = Control<QLabel>(&pane, 2147);
  QWidget* end = frame::FindControl(&pane, 2148);
  EXPECT_FALSE(line->isVisible() || end->isVisible());
  pane.command(2025);
  EXPECT_EQ(Current(), "1470");
  // The pane says that the keys follow the search, and where they stand.
  EXPECT_TRUE(line->isVisible() && end->isVisible());
  EXPECT_EQ(line->text().toStdString(), "Suche: 47 \u2014 1 von 3");
  for (auto [next, place] : {std::pair{"3470", 2}, {"4700", 3}, {"4700", 3}}) {
    pane.command(2024);  // nothing after 4700: it stays
    EXPECT_EQ(Current(), next);
    EXPECT_EQ(line->text().toStdString(), "Suche: 47 \u2014 " + std::to_string(place) + " von 3");
  }
  pane.command(2023);
  EXPECT_EQ(Shown(pane, 1128), "3470");
  // "Suche beenden": the keys reach every article again.
  Click(&pane, 2148);
  EXPECT_FALSE(line->isVisible() || end->isVisible());
  EXPECT_EQ(Current(), "3470");
  pane.command(2024);
  EXPECT_EQ(Current(), "4700");
  pane.command(2024);
  EXPECT_EQ(Current(), "5000");
}

TEST_F(ArtikelPaneTest, CancelledSearchPutsBackArticlePositionAndCriteria) {
  for (const char* n : {"A1", "B1", "C1", "D2"}) Add(n);
  ArtikelPane& pane = Open();
  pane.command(2024);
  ASSERT_EQ(Current(), "B1");
  const store::ArticleRecord criteria = app.articleCriteria;
  OnModal([this](QDialog* search) {
    Type(search, 1128, "zz");
    Click(search, 2025);  // nothing found
    EXPECT_EQ(ui.texts().back(), "Artikel nicht gefunden!");
    Type(search, 1128, "1");
    Click(search, 2025);  // three hits, the last one current meanwhile
    EXPECT_EQ(Current(), "C1");
    Click(search, 2);
  });
  pane.command(2025);
  EXPECT_EQ((std::pair{Shown(pane, 1128), app.articles.position}), (std::pair{QString("B1"), 1}));
  EXPECT_EQ(std::memcmp(&app.articleCriteria, &criteria, sizeof criteria), 0);
}

TEST_F(ArtikelPaneTest, NewArticleGetsTheNextNumberAndBecomesCurrentUnlessCancelled) {
  for (const char* n : {"100", "20A", "X9"}) Add(n);
  ArtikelPane& pane = Open();
  pane.command(2024);
  OnModal([](QDialog* editor) {
    EXPECT_EQ(editor->objectName(), "ARTIKELEDIT");
    EXPECT_EQ(testsupport::Shown(editor, 1128), "");  // no automatic number
    Type(editor, 1128, "999");
    Click(editor, 2);
  });
  pane.command(2028);
  EXPECT_EQ((std::pair{Shown(pane, 1128), app.articles.lastIndex}), (std::pair{QString("20A"), 2}));

  app.parameters.autoArticleNumber = 1;
  OnModal([](QDialog* editor) {
    EXPECT_EQ(testsupport::Shown(editor, 1128), "101");
    Type(editor, 1112, "12,5");
    Click(editor, 1);
  });
  pane.command(2028);
  store::ArticleRecord stored{};
  ASSERT_EQ(store::ReadArticle(app, stored, app.articles.position), 1);
  EXPECT_EQ((std::pair{std::string(store::GetText(stored.number)), +stored.price1}),
            (std::pair{std::string("101"), 1250}));
  EXPECT_EQ(Current(), "101");
}

TEST_F(ArtikelPaneTest, TakenNumberKeepsTheEditorOpenWithTheMessage) {
  Add("100");
  Add("200");
  ArtikelPane& pane = Open();
  OnModal([this](QDialog* editor) {
    Type(editor, 1128, "100");
    Click(editor, 1);
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_EQ(ui.texts()[0], "Artikelnummer ist schon vorhanden und muß anders lauten.");
    Type(editor, 1128, "300");
    Click(editor, 1);
  });
  pane.command(2028);
  EXPECT_EQ(Current(), "300");
  EXPECT_EQ(app.articles.lastIndex, 2);

  // Changing an article keeps its own number without a complaint.
  ui.shown.clear();
  OnModal([](QDialog* editor) {
    EXPECT_EQ(testsupport::Shown(editor, 1128), "300");
    Type(editor, 1104, "geändert");
    Click(editor, 1);
  });
  pane.command(2026);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(Shown(pane, 1104), "geändert");
}

TEST_F(ArtikelPaneTest, DeleteAsksWithNoPreselectedAndNeverShowsTheDeletedArticle) {
  Add("100", "eins");
  Add("200", "zwei");
  ArtikelPane& pane = Open();
  pane.command(2024);
  pane.command(2027);  // the script answers No
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Artikel wirklich löschen?"});
  EXPECT_TRUE(ui.shown[0].defaultNo);
  EXPECT_EQ(app.articles.lastIndex, 1);

  ui.answer({true, true});
  pane.command(2027);
  EXPECT_EQ(Current(), "100");
  pane.command(2027);
  EXPECT_EQ((std::pair{Shown(pane, 1128), app.articles.lastIndex}), (std::pair{QString(), -1}));
  // Nothing left: browsing, searching and changing do nothing.
  for (int id : {2023, 2024, 2025, 2026, 2027}) pane.command(id);
  EXPECT_EQ(ui.questions().size(), 3u);
}

TEST_F(ArtikelPaneTest, RemarkTextIsWrittenWithTheArticle) {
  Add("100", "eins");
  ArtikelPane& pane = Open();
  OnModal([](QDialog* text) {
    EXPECT_EQ(text->windowTitle(), "Bemerkungen zu 100");
    Control<frame::LimitedTextEdit>(text, 2113)->setPlainText("bild.bmp\nzweite Zeile");
    Click(text, 1);
  });
  pane.command(2139);
  store::ArticleRecord stored{};
  ASSERT_EQ(store::ReadArticle(app, stored, 0), 1);
  EXPECT_EQ(store::GetText(stored.remark2), "bild.bmp\r\nzweite Zeile");
  EXPECT_EQ(store::GetText(app.article.remark2), "bild.bmp\r\nzweite Zeile");
}

// A number change that cannot be saved is told once: by the store when it
// names the file that held the change up, else by the pane.
TEST_F(ArtikelPaneTest, AFailedNumberChangeIsToldOnce) {
  Add("100", "eins");
  std::int32_t customer = -1;
  ASSERT_EQ(store::WriteAddress(app, testsupport::MakeAddress("Meier"), customer, true), 1);
  testsupport::AddOrder(app, 0, {{"eins", 0, "100"}});
  ArtikelPane& pane = Open();
  const struct {
    const char* failing;
    const char* told;
  } cases[] = {
      {"RECHNUNG.DAT", "Die Änderung der Artikelnummer von \"100\" in \"200\" wurde nicht gespeichert"},
      {"ARTIKEL.DAT", "Der Artikel konnte nicht gespeichert werden."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    testsupport::FailingWritesTo failing(c.failing);
    app.fileSystem = &failing;
    ui.shown.clear();
    OnModal([](QDialog* editor) {
      Type(editor, 1128, "200");
      Click(editor, 1);
    });
    pane.command(2026);
    app.fileSystem = &platform::SystemFileSystem();
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_TRUE(ui.texts()[0].starts_with(c.told)) << ui.texts()[0];
    EXPECT_EQ(Current(), "100");
  }
}

TEST_F(ArtikelPaneTest, SelectionWithEmptyCriteriaSkipsNumbersNamingZarvento) {
  for (const char* n : {"A-ZARVENTO", "B-1", "C-2"}) Add(n, "Ware");
  frame::MainWindow window(app);
  InstallArticlePane(window);
  auto* pane = qobject_cast<ArtikelPane*>(window.pane(frame::PaneSlot::Article));
  ASSERT_NE(pane, nullptr);
  store::SetText(app.articleCriteria.designation, "alt");
  OnModal([](QDialog* selection) {
    EXPECT_EQ(selection->objectName(), "ARTIKELAUSWAHL");
    EXPECT_EQ(testsupport::Shown(selection, 1128), "");  // #ZARVENTO shows empty
    Type(selection, 1104, "");
    Click(selection, 1);
  });
  window.command(frame::cmd::kArticleSelection);
  EXPECT_EQ(Shown(*pane, 1128), "B-1");
  EXPECT_EQ(store::GetText(app.articleCriteria.number), "#ZARVENTO");

  OnModal([](QDialog* selection) {
    Type(selection, 1104, "gibt es nicht");
    Click(selection, 1);
  });
  window.command(frame::cmd::kArticleSelection);
  EXPECT_EQ(ui.texts().back(), "Nicht gefunden!");
  EXPECT_EQ(app.articles.position, 1);
}

// Restricted mode hides changing and deleting in both master-data panes, and
// the stock fields of the article pane; the commands are refused too.
TEST_F(ArtikelPaneTest, RestrictedModeHidesChangingAndDeletingInBothPanes) {
  Add("100");
  app.restrictedMode = 1;
  frame::MainWindow window(app);
  InstallAddressPane(window);
  InstallArticlePane(window);
  window.show();
  const struct {
    frame::PaneSlot pane;
    std::vector<int> hidden, shown;
  } cases[] = {{frame::PaneSlot::Address, {1025, 1027}, {1015}},
               {frame::PaneSlot::Article,
                {2026, 2027, 1101, 2182, 1107, 2183, 1103, 2181, 2139},
                {2024, 1112}}};
  for (const auto& c : cases) {
    for (int id : c.hidden)
      EXPECT_TRUE(frame::FindControl(window.pane(c.pane), id)->isHidden()) << id;
    for (int id : c.shown)
      EXPECT_FALSE(frame::FindControl(window.pane(c.pane), id)->isHidden()) << id;
  }
  for (int id : {2026, 2027}) window.pane(frame::PaneSlot::Article)->command(id);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(app.articles.lastIndex, 0);
}

}  // namespace
}  // namespace masterdata
