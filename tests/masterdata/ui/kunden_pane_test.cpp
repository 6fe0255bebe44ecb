// The address pane driven by its commands, its dialogs by their buttons.
#include "masterdata/ui/kunden_pane.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <functional>

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/decimal.h"
#include "frame/ui/dialog_support.h"
#include "frame/ui/main_window.h"
#include "frame/ui/pane.h"
#include "masterdata/ui/address_fields.h"
#include "store/address_file.h"
#include "store/text_field.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace {

using masterdata::KundenPane;

// Runs `act` on the modal dialog that the next command opens.
void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    act(dialog);
  });
}

void Type(QWidget* dialog, int id, const QString& text) {
  auto* edit = frame::Control<QLineEdit>(dialog, id);
  ASSERT_NE(edit, nullptr) << id;
  edit->setText(text);
}

void Press(QWidget* dialog, int id) {
  QMetaObject::invokeMethod(dialog, "command", Q_ARG(int, id));
}

class AddressPaneTest : public ::testing::Test {
 protected:
  AddressPaneTest() {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
    frame::LoadParameters(app);
    window = std::make_unique<frame::MainWindow>(app);
    masterdata::InstallAddressPane(*window);
    pane = static_cast<KundenPane*>(window->pane(frame::PaneSlot::Address));
  }

  // "Neu" with name line 2 (and optionally customer number and turnover).
  void CreateAddress(const QString& name2, const QString& number = {},
                     const QString& turnover = {}) {
    OnModal([=](QWidget* dialog) {
      Type(dialog, masterdata::id::kName2, name2);
      if (!number.isEmpty()) Type(dialog, masterdata::id::kCustomerNumber, number);
      if (!turnover.isEmpty()) Type(dialog, masterdata::id::kTurnover, turnover);
      Press(dialog, 1);
    });
    pane->command(1015);
  }

  std::string Name2() const { return std::string(store::GetText(app.address.name2)); }

  testsupport::TempDir dir;
  testsupport::ScriptedUi ui;
  platform::FixedClock clock{{2026, 12, 6, 10, 0, 0}};
  frame::AppState app;
  std::unique_ptr<frame::MainWindow> window;
  KundenPane* pane = nullptr;
};

TEST_F(AddressPaneTest, SecondAndThirdMeierGetBlanksAndFreeNumbers) {
  CreateAddress("Meier");
  CreateAddress("Meier");
  CreateAddress("Meier");
  ASSERT_EQ(app.addresses.lastIndex, 2);
  store::AddressRecord a;
  std::vector<std::string> names, numbers;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(store::ReadAddress(app, a, i), 1);
    names.emplace_back(store::GetText(a.name2));
    numbers.emplace_back(store::GetText(a.customerNumber));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Meier", "Meier ", "Meier  "}));
  // The first keeps number 1; the others get the next free numbers.
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(AddressPaneTest, TurnoverIsReadWithCommaAndNotANumberIsRefused) {
  CreateAddress("Schulz", "", "1.010,10");
  EXPECT_EQ(app.address.turnover, 101010);
  bool stayedOpen = false;
  OnModal([&](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Lehmann");
    Type(dialog, masterdata::id::kTurnover, "viel");
    Press(dialog, 1);
    stayedOpen = dialog->isVisible();
    Press(dialog, 2);
  });
  pane->command(1015);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(ui.shown.back().text, frame::NotANumberMessage("Umsatz"));
  EXPECT_EQ(Name2(), "Schulz");
}

TEST_F(AddressPaneTest, ChangingToAnotherAddressesNameIsRefused) {
  CreateAddress("Meier");
  CreateAddress("Schulz");
  ASSERT_EQ(Name2(), "Schulz");
  bool stayedOpen = false;
  OnModal([&](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Meier");
    Press(dialog, 1);
    stayedOpen = dialog->isVisible();
    Press(dialog, 2);
  });
  pane->command(1025);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(ui.shown.back().text, "Name2 ist schon vorhanden und muß anders lauten.");
  EXPECT_EQ(Name2(), "Schulz");
}

TEST_F(AddressPaneTest, CancellingNewKeepsTheCurrentAddress) {
  CreateAddress("Meier");
  OnModal([](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Neumann");
    Press(dialog, 2);
  });
  pane->command(1015);
  EXPECT_EQ(Name2(), "Meier");
  EXPECT_EQ(app.addresses.lastIndex, 0);
}

TEST_F(AddressPaneTest, BrowsingAndDeletingAnnounceTheAddressToTheOrderPane) {
  CreateAddress("Adam");
  CreateAddress("Berg");
  CreateAddress("Cäsar");
  QSignalSpy announced(window->pane(frame::PaneSlot::Order), &frame::Pane::commandReceived);
  pane->command(1022);  // < from Cäsar
  EXPECT_EQ(Name2(), "Berg");
  pane->command(1022);
  EXPECT_EQ(Name2(), "Adam");
  pane->command(1022);  // nothing before the first
  EXPECT_EQ(Name2(), "Adam");
  EXPECT_EQ(announced.count(), 2);
  EXPECT_EQ(announced.at(0).at(0).toInt(), 9999);

  ui.answer({false});
  pane->command(1027);
  EXPECT_EQ(app.addresses.lastIndex, 2);
  ASSERT_TRUE(ui.shown.back().wasQuestion);
  EXPECT_TRUE(ui.shown.back().defaultNo);
  EXPECT_EQ(ui.shown.back().text, "Adresse wirklich löschen?");
  ui.answer({true});
  pane->command(1027);
  EXPECT_EQ(app.addresses.lastIndex, 1);
  EXPECT_EQ(Name2(), "Berg");
}

TEST_F(AddressPaneTest, SearchFollowsTheCriteriaAndReportsMisses) {
  CreateAddress("Adam");
  CreateAddress("Berg");
  CreateAddress("Bergmann");
  pane->command(1022);
  pane->command(1022);
  OnModal([](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "berg");
    Press(dialog, 1);
  });
  pane->command(1030);
  EXPECT_EQ(Name2(), "Berg");
  pane->command(1012);  // > follows the search
  EXPECT_EQ(Name2(), "Bergmann");
  OnModal([](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Zander");
    Press(dialog, 1);
  });
  pane->command(1030);
  EXPECT_EQ(ui.shown.back().text, "Nicht gefunden!");
  EXPECT_EQ(Name2(), "Bergmann");
}

TEST_F(AddressPaneTest, AnAddressWithoutKindShowsNone) {
  CreateAddress("Adam");
  CreateAddress("Berg");  // created without a kind
  pane->command(1022);
  app.address.kind = store::kAddressCustomer;
  std::int32_t position = app.addresses.position;
  ASSERT_EQ(store::WriteAddress(app, app.address, position, false), 1);
  pane->refresh();
  ASSERT_TRUE(frame::Control<QAbstractButton>(pane, masterdata::id::kKinds[0])->isChecked());
  pane->command(1012);
  ASSERT_EQ(Name2(), "Berg");
  for (int kind : masterdata::id::kKinds)
    EXPECT_FALSE(frame::Control<QAbstractButton>(pane, kind)->isChecked()) << kind;
}

// Every write fails (a full disk).
class FailingWrites : public platform::FileSystem {
 public:
  bool injectFault(platform::IoOp op, const std::string&) override {
    return op == platform::IoOp::Write;
  }
};

TEST_F(AddressPaneTest, AFailedWriteIsReportedAndThePaneShowsTheStoredAddress) {
  CreateAddress("Adam");
  const std::uint32_t adam = app.addresses.entry.offset;
  FailingWrites failing;
  for (int command : {1015, 1025}) {  // "Neu", "Ändern"
    SCOPED_TRACE(command);
    app.fileSystem = &failing;
    OnModal([](QWidget* dialog) {
      Type(dialog, masterdata::id::kName2, "Zander");
      Press(dialog, 1);
    });
    pane->command(command);
    app.fileSystem = &platform::SystemFileSystem();
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, "Die Adresse konnte nicht gespeichert werden.");
    EXPECT_EQ(Name2(), "Adam");
    EXPECT_EQ(frame::Control<QLineEdit>(pane, masterdata::id::kName2)->text(), "Adam");
    // What "Neu" in the order pane takes as the customer.
    EXPECT_EQ(app.addresses.entry.offset, adam);
  }
}

TEST_F(AddressPaneTest, RestrictedModeHidesChangeAndDelete) {
  app.restrictedMode = 1;
  frame::MainWindow restricted(app);
  masterdata::InstallAddressPane(restricted);
  QWidget* restrictedPane = restricted.pane(frame::PaneSlot::Address);
  restricted.show();
  EXPECT_FALSE(frame::FindControl(restrictedPane, 1025)->isVisible());
  EXPECT_FALSE(frame::FindControl(restrictedPane, 1027)->isVisible());
  EXPECT_TRUE(frame::FindControl(restrictedPane, 1015)->isVisible());
}

}  // namespace
