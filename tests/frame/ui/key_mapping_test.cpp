// The fixed keyboard mapping: which key reaches which pane with which
// command, in both interfaces and in restricted mode, typed into an edit
// field of a pane as the user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/main_window.h"
#include "frame/ui/pane.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

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
  KeyHarness(int cashDesk, int restricted) : clock_({2026, 3, 2, 10, 0, 0}) {
    app_.dataDirectory = dir_.path();
    app_.ui = &ui_;
    app_.clock = &clock_;
    app_.cashDeskMode = cashDesk;
    app_.restrictedMode = restricted;
    window_ = std::make_unique<MainWindow>(app_);
    LoadParameters(app_);
    for (PaneSlot slot : {PaneSlot::Address, PaneSlot::Article, PaneSlot::Order, PaneSlot::CashDesk})
      if (Pane* pane = window_->pane(slot))
        QObject::connect(pane, &Pane::commandReceived,
                         [this, slot](int id) { received_.emplace_back(slot, id); });
    Pane* first = window_->pane(cashDesk ? PaneSlot::CashDesk : PaneSlot::Address);
    edit_ = new QLineEdit(first);
    second_ = new QLineEdit(first);
    second_->move(0, 40);
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
  testsupport::ScriptedUi& ui() { return ui_; }

 private:
  testsupport::TempDir dir_;
  testsupport::ScriptedUi ui_;
  platform::FixedClock clock_;
  AppState app_;
  std::unique_ptr<MainWindow> window_;
  QLineEdit* edit_ = nullptr;
  QLineEdit* second_ = nullptr;
  Received received_;
};

struct Row {
  Key key;
  PaneSlot pane;
  int id;
};

TEST(KeyMapping, StandardInterfaceSendsEachKeyToItsPane) {
  KeyHarness h(0, 0);
  const Row rows[] = {
      {{Qt::Key_F1, kNone}, PaneSlot::Address, 1030}, {{Qt::Key_F2, kNone}, PaneSlot::Address, 1025},
      {{Qt::Key_F3, kNone}, PaneSlot::Address, 1022}, {{Qt::Key_F4, kNone}, PaneSlot::Address, 1012},
      {{Qt::Key_F5, kNone}, PaneSlot::Article, 2025}, {{Qt::Key_F6, kNone}, PaneSlot::Article, 2026},
      {{Qt::Key_F7, kNone}, PaneSlot::Article, 2023}, {{Qt::Key_F8, kNone}, PaneSlot::Article, 2024},
      {{Qt::Key_F9, kNone}, PaneSlot::Order, 2080},   {{Qt::Key_F11, kNone}, PaneSlot::Order, 2073},
      {{Qt::Key_F12, kNone}, PaneSlot::Order, 2074},  {{Qt::Key_D, kAlt}, PaneSlot::Order, 2076},
      {{Qt::Key_N, kAlt}, PaneSlot::Order, 2062},     {{Qt::Key_S, kAlt}, PaneSlot::Order, 2070},
      {{Qt::Key_U, kAlt}, PaneSlot::Order, 2080},
  };
  for (const Row& row : rows)
    EXPECT_EQ(h.press(row.key), (Received{{row.pane, row.id}})) << row.key.key;

  // The cash-desk letters, Tab, Enter, F10 and ordinary keys send nothing.
  const Key silent[] = {{Qt::Key_B, kAlt},      {Qt::Key_E, kAlt},     {Qt::Key_H, kAlt},
                        {Qt::Key_R, kAlt},      {Qt::Key_Tab, kNone},  {Qt::Key_Return, kNone},
                        {Qt::Key_Enter, kNone}, {Qt::Key_F10, kNone},  {Qt::Key_Escape, kNone},
                        {Qt::Key_D, Qt::ControlModifier}};
  for (const Key& key : silent) EXPECT_TRUE(h.press(key).empty()) << key.key;
  h.edit().clear();
  EXPECT_TRUE(h.press({Qt::Key_A, kNone}).empty());
  EXPECT_EQ(h.edit().text().toStdString(), "a");
}

TEST(KeyMapping, CashDeskInterfaceSendsOnlyToTheCashDeskPane) {
  KeyHarness h(1, 0);
  const Row rows[] = {
      {{Qt::Key_B, kAlt}, PaneSlot::CashDesk, 2070},     {{Qt::Key_E, kAlt}, PaneSlot::CashDesk, 2068},
      {{Qt::Key_H, kAlt}, PaneSlot::CashDesk, 2066},     {{Qt::Key_R, kAlt}, PaneSlot::CashDesk, 2076},
      {{Qt::Key_S, kAlt}, PaneSlot::CashDesk, 2025},     {{Qt::Key_Tab, kNone}, PaneSlot::CashDesk, 20},
      {{Qt::Key_Return, kNone}, PaneSlot::CashDesk, 2079}, {{Qt::Key_Enter, kNone}, PaneSlot::CashDesk, 2079},
  };
  for (const Row& row : rows)
    EXPECT_EQ(h.press(row.key), (Received{{row.pane, row.id}})) << row.key.key;
  // Tab is a command here, not a step to the next field.
  EXPECT_TRUE(h.edit().hasFocus());

  // Keys for the panes of the standard interface go nowhere.
  const Key nowhere[] = {{Qt::Key_D, kAlt},   {Qt::Key_N, kAlt},   {Qt::Key_U, kAlt},
                         {Qt::Key_F1, kNone}, {Qt::Key_F2, kNone}, {Qt::Key_F5, kNone},
                         {Qt::Key_F6, kNone}, {Qt::Key_F9, kNone}, {Qt::Key_F10, kNone},
                         {Qt::Key_F12, kNone}};
  for (const Key& key : nowhere) EXPECT_TRUE(h.press(key).empty()) << key.key;
}

TEST(KeyMapping, RestrictedModeSilencesOnlyTheChangeKeys) {
  KeyHarness h(0, 1);
  EXPECT_TRUE(h.press({Qt::Key_F2, kNone}).empty());
  EXPECT_TRUE(h.press({Qt::Key_F6, kNone}).empty());
  const Row still[] = {
      {{Qt::Key_F1, kNone}, PaneSlot::Address, 1030}, {{Qt::Key_F3, kNone}, PaneSlot::Address, 1022},
      {{Qt::Key_F4, kNone}, PaneSlot::Address, 1012}, {{Qt::Key_F5, kNone}, PaneSlot::Article, 2025},
      {{Qt::Key_F7, kNone}, PaneSlot::Article, 2023}, {{Qt::Key_F8, kNone}, PaneSlot::Article, 2024},
      {{Qt::Key_F9, kNone}, PaneSlot::Order, 2080},
  };
  for (const Row& row : still)
    EXPECT_EQ(h.press(row.key), (Received{{row.pane, row.id}})) << row.key.key;
}

TEST(KeyMapping, CtrlETypesSevenAndAcceleratorsWorkFromEditFields) {
  KeyHarness h(0, 0);
  h.edit().setText("1");
  EXPECT_TRUE(h.press({Qt::Key_E, Qt::ControlModifier}).empty());
  EXPECT_EQ(h.edit().text().toStdString(), "17");

  // Ctrl+Z is the payment command even while an edit field has the focus
  // (where it would otherwise undo); without an order it only complains.
  QTest::keyClick(&h.edit(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(h.ui().texts(), std::vector<std::string>{"Bitte erst Auftrag suchen !"});
  EXPECT_EQ(h.edit().text().toStdString(), "17");
}

TEST(KeyMapping, ModalDialogKeepsItsKeys) {
  KeyHarness h(0, 0);
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
