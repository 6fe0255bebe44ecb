// The main window on the offscreen platform: its status lines, its
// menus in both interfaces and restricted mode, and the frame's own commands:
// switching the interface and the offer of the week.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <set>
#include <tuple>

#include "widgets/pane.h"
#include "store/records_test_support.h"
#include "support/fresh_program.h"

namespace frame {
namespace {

// A program on a fresh data directory, with the profile kept there too.
struct Frame : testsupport::TestApp {
  explicit Frame(int cashDesk = 0, int restricted = 0) : TestApp({2026, 12, 6, 9, 5, 0}) {
    testsupport::KeepProfileIn(dir.path());
    app.cashDeskMode = cashDesk;
    app.restrictedMode = restricted;
  }
};

TEST(MainWindow, ShowsClockAndRecordCountsInBothInterfaces) {
  for (int cashDesk : {0, 1}) {
    SCOPED_TRACE(cashDesk);
    Frame s(cashDesk);
    MainWindow window(s.app);
    LoadParameters(s.app);
    window.refreshStatus();
    EXPECT_EQ(window.statusLine1().toStdString(), "Datum: 06.12.2026, Uhrzeit: 09:05");
    std::int32_t position = -1;
    ASSERT_EQ(store::WriteArticle(s.app, testsupport::MakeArticle("4711"), position, true), 1);
    window.refreshStatus();
    EXPECT_EQ(window.statusLine2().toStdString(), "Adr.: 0  Art.: 1  Rec.: 0");
  }
}

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
  for (int mode : {0, 1}) {
    Frame s(0, mode);
    MainWindow window(s.app);
    std::set<int> expected = mode ? restricted : std::set<int>{};
    expected.insert(2209);  // the changeover stays grey
    EXPECT_EQ(CollectMenu(window).greyed, expected) << mode;
  }
}

// The program says that it restarts, ends, writes the other interface and
// starts again; a pane that keeps its unsaved work keeps the program and
// its interface as they are.
TEST(MenuCommands, SwitchingTheInterfaceSaysSoAndRestartsInTheOtherOne) {
  struct Keeping : Pane {
    Keeping() : Pane(QStringLiteral("KEEP")) {}
    bool mayReplace() override { return false; }
  };
  for (auto [cashDesk, keep] : {std::pair(0, false), {1, false}, {0, true}}) {
    SCOPED_TRACE(cashDesk);
    Frame s(cashDesk, 0);
    MainWindow window(s.app);
    if (keep) window.setPane(PaneSlot::Order, new Keeping);
    int restarts = 0;
    window.setRestart([&restarts] { ++restarts; });
    window.show();
    window.command(2204);
    QCoreApplication::processEvents();
    ASSERT_EQ(s.ui.texts().size(), 1u);
    EXPECT_NE(s.ui.texts()[0].find("neu gestartet"), std::string::npos);
    EXPECT_EQ(window.isVisible(), keep);
    EXPECT_EQ(restarts, keep ? 0 : 1);
    QSettings profile(QString::fromStdString(s.dir.file("belvon.ini")), QSettings::IniFormat);
    EXPECT_EQ(profile.value("BELVON/KASSE").toString().toStdString(),
              keep ? "" : cashDesk ? "0" : "1");
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
    // Kept in memory and written only when confirmed.
    AppState reread = s.OtherCopy(s.dir.path());
    for (const store::ParameterRecord* p : {&s.app.parameters, &reread.parameters})
      EXPECT_EQ(std::tuple(std::string(store::GetText(p->offerDesignation)), +p->offerPrice,
                           +p->offerCurrency),
                confirmed ? std::tuple(std::string("K\xE4se"), 1299, 1)
                          : std::tuple(std::string(), 0, 0));
  }
}

}  // namespace
}  // namespace frame
