// The main window's menus in both interfaces and restricted mode, and the
// frame's own commands: switching the interface and the offer of the week.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <set>
#include <string>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/main_window.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace frame {
namespace {

// A program on a fresh data directory, with the profile kept there too.
struct Frame : testsupport::TestApp {
  explicit Frame(int cashDesk = 0, int restricted = 0) : TestApp({2026, 3, 2, 10, 0, 0}) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    app.cashDeskMode = cashDesk;
    app.restrictedMode = restricted;
  }
};

// The ids of all menu entries, and of the greyed ones.
struct MenuIds {
  std::set<int> all;
  std::set<int> greyed;
};

MenuIds CollectMenu(MainWindow& window) {
  MenuIds ids;
  for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
    for (QAction* action : menu->actions()) {
      if (!action->property("id").isValid()) continue;
      int id = action->property("id").toInt();
      ids.all.insert(id);
      if (!action->isEnabled()) ids.greyed.insert(id);
    }
  return ids;
}

TEST(MenuCommands, RestrictedModeGreysExactlyTheMasterDataCommands) {
  const std::set<int> restricted = {102, 105, 104, 134, 135, 132, 119, 121, 123,
                                    124, 112, 109, 111, 114, 139, 122, 113};
  {
    Frame s(0, 0);
    MainWindow window(s.app);
    MenuIds ids = CollectMenu(window);
    EXPECT_EQ(ids.greyed, std::set<int>{2209});  // the changeover stays grey
    for (int id : restricted) EXPECT_TRUE(ids.all.count(id)) << id;
    for (int id : {100, 101, 103, 106, 107, 108, 110, 115, 116, 117, 118, 120, 133, 136, 137, 138,
                   140, 141, 142, 143, 144, 2194, 2204, 2206, 2211})
      EXPECT_TRUE(ids.all.count(id)) << id;
  }
  Frame s(0, 1);
  MainWindow window(s.app);
  std::set<int> expected = restricted;
  expected.insert(2209);
  EXPECT_EQ(CollectMenu(window).greyed, expected);
}

TEST(MenuCommands, CashDeskMenuHoldsFourCommandsAndCountsShowZero) {
  Frame s(1, 0);
  MainWindow window(s.app);
  MenuIds ids = CollectMenu(window);
  EXPECT_EQ(ids.all, (std::set<int>{2194, 2204, 101, 120}));
  EXPECT_TRUE(ids.greyed.empty());
  LoadParameters(s.app);
  window.refreshStatus();
  EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 0  Rec.: 0");
}

TEST(MenuCommands, SwitchingTheInterfaceWritesTheOtherOneAndEnds) {
  for (int cashDesk : {0, 1}) {
    Frame s(cashDesk, 0);
    MainWindow window(s.app);
    window.show();
    window.command(2204);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << cashDesk;
    QSettings profile(QString::fromStdString(s.dir.file("belvon.ini")), QSettings::IniFormat);
    EXPECT_EQ(profile.value("BELVON/KASSE").toString().toStdString(), cashDesk ? "0" : "1");
  }
}

TEST(MenuCommands, OfferOfTheWeekIsSavedOnlyWhenConfirmed) {
  for (bool confirmed : {false, true}) {
    Frame s;
    MainWindow window(s.app);
    LoadParameters(s.app);
    store::SetText(s.app.parameters.currencySymbol2, "USD");
    store::SetText(s.app.article.number, "4711");
    store::SetText(s.app.article.designation, "K\xE4se");  // Windows-1252
    s.app.article.price1 = 1299;
    s.app.article.currency = 1;
    s.ui.defaultAnswer = confirmed;
    window.command(117);

    ASSERT_EQ(s.ui.questions(),
              std::vector<std::string>{"Das Angebot der Woche:\n4711\nKäse\nfür 12.99 USD"});
    EXPECT_EQ(testsupport::FileSize(s.dir.file("BELVON.PAR")), confirmed ? 3534 : 0);
    AppState reread;
    reread.dataDirectory = s.dir.path();
    reread.clock = &s.clock;
    LoadParameters(reread);
    for (const store::ParameterRecord* p : {&s.app.parameters, &reread.parameters}) {
      EXPECT_EQ(store::GetText(p->offerArticleNumber), confirmed ? "4711" : "");
      EXPECT_EQ(store::GetText(p->offerDesignation), confirmed ? "K\xE4se" : "");
      EXPECT_EQ(p->offerPrice, confirmed ? 1299 : 0);
      EXPECT_EQ(p->offerCurrency, confirmed ? 1 : 0);
    }
  }
}

}  // namespace
}  // namespace frame
