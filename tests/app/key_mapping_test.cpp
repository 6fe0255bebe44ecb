// The fixed keyboard mapping: which key reaches which pane with which
// command, in both interfaces, typed into an edit
// field of a pane as the user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "store/app_state.h"
#include "store/load_parameters.h"
#include "app/main_window.h"
#include "widgets/pane.h"
#include "support/test_app.h"

namespace frame {
namespace {

using Received = std::vector<std::pair<PaneSlot, int>>;

struct Key {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

// A main window whose panes record every command they receive; keys are
// typed into an edit field of the first pane.
class KeyHarness {
 public:
  explicit KeyHarness(int cashDesk) : t_({2026, 3, 2, 10, 0, 0}) {
    t_.app.cashDeskMode = cashDesk;
    window_ = std::make_unique<MainWindow>(t_.app);
    LoadParameters(t_.app);
    for (PaneSlot slot : {PaneSlot::Address, PaneSlot::Article, PaneSlot::Order, PaneSlot::CashDesk})
      if (Pane* pane = window_->pane(slot))
        QObject::connect(pane, &Pane::commandReceived,
                         [this, slot](int id) { received_.emplace_back(slot, id); });
    Pane* first = window_->pane(cashDesk ? PaneSlot::CashDesk : PaneSlot::Address);
    edit_ = new QLineEdit(first);
    (new QLineEdit(first))->move(0, 40);  // a second field for Tab to go to
    window_->show();
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    edit_->setFocus();
  }

  Received press(Key k) {
    received_.clear();
    QTest::keyClick(edit_, k.key, k.modifiers);
    return received_;
  }

  MainWindow& window() { return *window_; }
  QLineEdit& edit() { return *edit_; }
  testsupport::ScriptedUi& ui() { return t_.ui; }

 private:
  testsupport::TestApp t_;
  std::unique_ptr<MainWindow> window_;
  QLineEdit* edit_ = nullptr;
  Received received_;
};

// Which pane a key reaches with which command, per interface; id 0 is a key
// that sends nothing.
struct Row {
  Key key;
  PaneSlot pane;
  int id;
};

void ExpectKeys(KeyHarness& h, std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "key " << std::hex << row.key.key << " " << row.key.modifiers);
    EXPECT_EQ(h.press(row.key), (row.id ? Received{{row.pane, row.id}} : Received{}));
  }
}

constexpr PaneSlot kAddress = PaneSlot::Address, kArticle = PaneSlot::Article,
                   kOrder = PaneSlot::Order, kCash = PaneSlot::CashDesk;

TEST(KeyMapping, StandardInterfaceSendsEachKeyToItsPane) {
  KeyHarness h(0);
  ExpectKeys(h, {{{Qt::Key_F1, kNone}, kAddress, 1030}, {{Qt::Key_F2, kNone}, kAddress, 1025},
                 {{Qt::Key_F3, kNone}, kAddress, 1022}, {{Qt::Key_F4, kNone}, kAddress, 1012},
                 {{Qt::Key_F5, kNone}, kArticle, 2025}, {{Qt::Key_F6, kNone}, kArticle, 2026},
                 {{Qt::Key_F7, kNone}, kArticle, 2023}, {{Qt::Key_F8, kNone}, kArticle, 2024},
                 {{Qt::Key_F9, kNone}, kOrder, 2080},   {{Qt::Key_F11, kNone}, kOrder, 2073},
                 {{Qt::Key_F12, kNone}, kOrder, 2074},  {{Qt::Key_D, kAlt}, kOrder, 2076},
                 {{Qt::Key_N, kAlt}, kOrder, 2062},     {{Qt::Key_S, kAlt}, kOrder, 2070},
                 {{Qt::Key_U, kAlt}, kOrder, 2080},
                 // The cash-desk letters, Tab, Enter, F10 and ordinary keys send nothing.
                 {{Qt::Key_B, kAlt}, kOrder, 0},        {{Qt::Key_R, kAlt}, kOrder, 0},
                 {{Qt::Key_Tab, kNone}, kOrder, 0},     {{Qt::Key_Return, kNone}, kOrder, 0},
                 {{Qt::Key_F10, kNone}, kOrder, 0},     {{Qt::Key_D, Qt::ControlModifier}, kOrder, 0}});
  h.edit().clear();
  EXPECT_TRUE(h.press({Qt::Key_A, kNone}).empty());
  EXPECT_EQ(h.edit().text().toStdString(), "a");
}

TEST(KeyMapping, CashDeskInterfaceSendsOnlyToTheCashDeskPane) {
  KeyHarness h(1);
  ExpectKeys(h, {{{Qt::Key_B, kAlt}, kCash, 2070},     {{Qt::Key_E, kAlt}, kCash, 2068},
                 {{Qt::Key_H, kAlt}, kCash, 2066},     {{Qt::Key_R, kAlt}, kCash, 2076},
                 {{Qt::Key_S, kAlt}, kCash, 2025},     {{Qt::Key_Tab, kNone}, kCash, 20},
                 {{Qt::Key_Return, kNone}, kCash, 2079}, {{Qt::Key_Enter, kNone}, kCash, 2079},
                 // Keys for the panes of the standard interface go nowhere.
                 {{Qt::Key_D, kAlt}, kCash, 0},        {{Qt::Key_F1, kNone}, kCash, 0},
                 {{Qt::Key_F5, kNone}, kCash, 0},      {{Qt::Key_F9, kNone}, kCash, 0}});
  // Tab is a command here, not a step to the next field.
  EXPECT_TRUE(h.edit().hasFocus());
}

TEST(KeyMapping, CtrlETypesSevenAndAcceleratorsWorkFromEditFields) {
  KeyHarness h(0);
  h.edit().setText("1");
  EXPECT_TRUE(h.press({Qt::Key_E, Qt::ControlModifier}).empty());
  EXPECT_EQ(h.edit().text().toStdString(), "17");

  // Ctrl+Z is the payment command even while an edit field has the focus
  // (where it would otherwise undo); without an order it only complains.
  QTest::keyClick(&h.edit(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(h.ui().texts(), std::vector<std::string>{"Bitte erst Auftrag suchen !"});
  EXPECT_EQ(h.ui().shown[0].icon, Icon::Stop);
  EXPECT_EQ(h.edit().text().toStdString(), "17");

  // A modal dialog keeps its keys.
  QDialog dialog(&h.window());
  dialog.setModal(true);
  dialog.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
  EXPECT_TRUE(h.press({Qt::Key_F1, kNone}).empty());
  EXPECT_TRUE(h.press({Qt::Key_N, kAlt}).empty());
  dialog.hide();
  EXPECT_EQ(h.press({Qt::Key_F1, kNone}), (Received{{PaneSlot::Address, 1030}}));
}

}  // namespace
}  // namespace frame
