// The address pane driven by its commands, its dialogs by their buttons, and
// the customer part of the cash desk's print dialog.
#include "masterdata/ui/kunden_pane.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QSignalSpy>
#include <deque>
#include <tuple>

#include "core/decimal.h"
#include "app/main_window.h"
#include "widgets/pane.h"
#include "masterdata/ui/address_fields.h"
#include "masterdata/ui/lrechnungdrucken_dialog.h"
#include "store/address_file.h"
#include "store/leitweg_ids.h"
#include "store/records_test_support.h"
#include "store/text_field.h"
#include "support/failing_file_system.h"
#include "support/fresh_program.h"
#include "support/modal.h"

namespace {

using masterdata::KundenPane;
using testsupport::OnModal;
using testsupport::PressButton;
using testsupport::Type;

class AddressPaneTest : public testsupport::FreshProgram {
 protected:
  AddressPaneTest() {
    masterdata::InstallAddressPane(window);
    pane = static_cast<KundenPane*>(window.pane(frame::PaneSlot::Address));
  }

  // "Neu" with name line 2 (and optionally the turnover).
  void CreateAddress(const QString& name2, const QString& turnover = {}) {
    OnModal([=](QWidget* dialog) {
      Type(dialog, masterdata::id::kName2, name2);
      if (!turnover.isEmpty()) Type(dialog, masterdata::id::kTurnover, turnover);
      PressButton(dialog, 1);
    });
    pane->command(1015);
  }

  std::string Name2() const { return std::string(store::GetText(app.address.name2)); }

  frame::MainWindow window{app};
  KundenPane* pane = nullptr;
};

TEST_F(AddressPaneTest, SecondAndThirdMeierGetBlanksAndFreeNumbers) {
  // The first keeps number 1; the others get the next free numbers.
  std::vector<std::string> stored;
  for (int i = 0; i < 3; ++i) {
    CreateAddress("Meier");
    stored.push_back(Name2() + "|" + std::string(store::GetText(app.address.customerNumber)));
  }
  EXPECT_EQ(stored, (std::vector<std::string>{"Meier|1", "Meier |2", "Meier  |3"}));
}

// A Leitweg-ID typed for a new customer, and changed with his number, is
// kept for him and shown in the pane; a deleted customer takes his along.
TEST_F(AddressPaneTest, ALeitwegIdStaysWithItsCustomer) {
  OnModal([](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Stadtverwaltung");
    Type(dialog, masterdata::id::kLeitwegId, " 991-12345-67 ");
    PressButton(dialog, 1);
  });
  pane->command(1015);
  EXPECT_EQ(store::LeitwegIdOf(app, "1"), "991-12345-67");
  EXPECT_EQ(testsupport::Shown(pane, masterdata::id::kLeitwegId), "991-12345-67");
  QString shownInDialog;
  OnModal([&](QWidget* dialog) {
    shownInDialog = testsupport::Shown(dialog, masterdata::id::kLeitwegId);
    Type(dialog, masterdata::id::kCustomerNumber, "7");
    Type(dialog, masterdata::id::kLeitwegId, "991-12345-68");
    PressButton(dialog, 1);
  });
  pane->command(1025);
  EXPECT_EQ(shownInDialog, "991-12345-67");
  EXPECT_EQ(std::pair(store::LeitwegIdOf(app, "1"), store::LeitwegIdOf(app, "7")),
            std::pair(std::string(), std::string("991-12345-68")));
  EXPECT_EQ(testsupport::Shown(pane, masterdata::id::kLeitwegId), "991-12345-68");
  ui.answer({true});
  pane->command(1027);
  EXPECT_EQ(store::LeitwegIdOf(app, "7"), "");
}

// A dialog whose input is refused stays open with a message; "Abbruch" then
// leaves the current address as it was.
TEST_F(AddressPaneTest, RefusedInputKeepsTheDialogOpenAndTheAddress) {
  CreateAddress("Meier");
  CreateAddress("Schulz", "1.010,10");
  EXPECT_EQ(+app.address.turnover, 101010);  // read with the German separators
  const struct {
    int command;
    const char* name2;
    const char* turnover;
    std::string message;
  } cases[] = {{1015, "Lehmann", "viel", frame::NotANumberMessage("Umsatz")},
               {1025, "Meier", "", "Name2 ist schon vorhanden und muß anders lauten."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    bool stayedOpen = false;
    OnModal([&](QWidget* dialog) {
      Type(dialog, masterdata::id::kName2, c.name2);
      if (*c.turnover) Type(dialog, masterdata::id::kTurnover, c.turnover);
      PressButton(dialog, 1);
      stayedOpen = dialog->isVisible();
      PressButton(dialog, 2);
    });
    pane->command(c.command);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ui.shown.back().text, c.message);
    EXPECT_EQ(Name2(), "Schulz");
    EXPECT_EQ(app.addresses.lastIndex, 1);
  }
}

TEST_F(AddressPaneTest, BrowsingAndDeletingAnnounceTheAddressToTheOrderPane) {
  CreateAddress("Adam");
  CreateAddress("Berg");
  CreateAddress("Cäsar");
  QSignalSpy announced(window.pane(frame::PaneSlot::Order), &frame::Pane::commandReceived);
  for (const char* shown : {"Berg", "Adam", "Adam"}) {  // < from Cäsar; nothing before the first
    pane->command(1022);
    EXPECT_EQ(Name2(), shown);
  }
  EXPECT_EQ(announced.count(), 2);
  EXPECT_EQ(announced.at(0).at(0).toInt(), 9999);

  ui.answer({false});
  pane->command(1027);
  EXPECT_EQ(app.addresses.lastIndex, 2);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Adresse wirklich löschen?"});
  EXPECT_TRUE(ui.shown.back().defaultNo);
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
    PressButton(dialog, 1);
  });
  pane->command(1030);
  EXPECT_EQ(Name2(), "Berg");
  pane->command(1012);  // > follows the search
  EXPECT_EQ(Name2(), "Bergmann");
  OnModal([](QWidget* dialog) {
    Type(dialog, masterdata::id::kName2, "Zander");
    PressButton(dialog, 1);
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
  pane->command(1012);  // to Berg
  for (int kind : masterdata::id::kKinds)
    EXPECT_FALSE(frame::Control<QAbstractButton>(pane, kind)->isChecked()) << kind;
}

// The salutation byte carries options beside the salutation: the dialog
// sets and clears the ones it shows and keeps the bit no version uses.
TEST_F(AddressPaneTest, TheDialogKeepsTheSalutationOptionsItDoesNotShow) {
  CreateAddress("Adam");
  const struct {
    int salutation;            // a radio button, or 0 for none pressed
    int check;                 // a check box clicked, or 0
    std::uint8_t expected;     // the stored byte, from 64 | 16 | 1
  } steps[] = {{0, 0, 64 | 16 | 1},
               {masterdata::id::kSalutations[1], 0, 64 | 16 | 2},
               {0, masterdata::id::kSendXRechnung, 64 | 2},
               {0, masterdata::id::kSendXRechnung, 64 | 16 | 2},
               {masterdata::id::kSalutations[4], masterdata::id::kNoDunning, 64 | 32 | 16}};
  app.address.salutation = 64 | store::kAddressSendXRechnung | store::kSalutationCompany;
  std::int32_t position = app.addresses.position;
  ASSERT_EQ(store::WriteAddress(app, app.address, position, false), 1);
  for (const auto& step : steps) {
    SCOPED_TRACE(+step.expected);
    OnModal([&](QWidget* dialog) {
      if (step.salutation) frame::Control<QAbstractButton>(dialog, step.salutation)->click();
      if (step.check) frame::Control<QAbstractButton>(dialog, step.check)->click();
      PressButton(dialog, 1);
    });
    pane->command(1025);
    store::AddressRecord stored{};
    ASSERT_TRUE(store::ReadAddress(app, stored, app.addresses.position));
    EXPECT_EQ(+stored.salutation, +step.expected);
  }
}

TEST_F(AddressPaneTest, AFailedWriteIsReportedAndThePaneShowsTheStoredAddress) {
  CreateAddress("Adam");
  const std::uint32_t adam = app.addresses.entry.offset;
  for (int command : {1015, 1025}) {  // "Neu", "Ändern"
    SCOPED_TRACE(command);
    testsupport::FailingFileSystem failing(platform::IoOp::Write, 1);  // a full disk
    app.fileSystem = &failing;
    OnModal([](QWidget* dialog) {
      Type(dialog, masterdata::id::kName2, "Zander");
      PressButton(dialog, 1);
    });
    pane->command(command);
    app.fileSystem = &platform::SystemFileSystem();
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, "Die Adresse konnte nicht gespeichert werden.");
    EXPECT_EQ(Name2(), "Adam");
    EXPECT_EQ(frame::Control<QLineEdit>(pane, masterdata::id::kName2)->text(), "Adam");
    // What "Neu" in the order pane takes as the customer.
    EXPECT_EQ(+app.addresses.entry.offset, adam);
  }
}

using masterdata::LRechnungDruckenDialog;

class CashDeskPrintTest : public testsupport::StoreTest {
 protected:
  CashDeskPrintTest() {
    for (const char* name : {"Adam", "Berg"}) {
      store::AddressRecord a = testsupport::MakeAddress(name);
      a.copies = name[0] == 'A' ? 1 : 3;
      Add(a);
    }
    app.addresses.position = 0;
    store::SetText(app.addressCriteria.name2, "#ZARVENTO");
  }
};

TEST_F(CashDeskPrintTest, BrowsingShowsEachAddressWithItsCopiesAndAKnownOneStaysOne) {
  LRechnungDruckenDialog dialog(app);
  QStringList shown;
  for (int step = 0; step < 3; ++step, dialog.command(1012))  // nothing after the last
    shown << testsupport::Shown(&dialog, masterdata::id::kName2) +
                 testsupport::Shown(&dialog, 2043);
  EXPECT_EQ(shown, (QStringList{"Adam1", "Berg3", "Berg3"}));
  // A known name stays one address.
  dialog.command(masterdata::kPrintDeliveryNote);
  EXPECT_EQ(dialog.result(), masterdata::kPrintDeliveryNote);
  EXPECT_EQ(app.addresses.lastIndex, 1);
  LRechnungDruckenDialog cancelled(app);
  cancelled.command(2);
  EXPECT_EQ(cancelled.result(), 0);
}

// The cash desk's dialog has the salutation but none of the option boxes:
// the customer's options go with the document as stored.
TEST_F(CashDeskPrintTest, TheDocumentKeepsTheOptionsTheDialogDoesNotShow) {
  store::AddressRecord adam{};
  ASSERT_EQ(store::ReadAddress(app, adam, 0), 1);
  adam.salutation = store::kSalutationMr | store::kAddressSendXRechnung | store::kAddressNoDunning |
                    store::kAddressPrintDiscountSum;
  std::int32_t position = 0;
  ASSERT_EQ(store::WriteAddress(app, adam, position, false), 1);
  LRechnungDruckenDialog dialog(app);
  frame::Control<QAbstractButton>(&dialog, masterdata::id::kSalutations[2])->click();
  ui.answer({true});  // the changed salutation is stored with the address
  dialog.command(masterdata::kPrintInvoice);
  const std::uint8_t expected = store::kSalutationMrs | store::kAddressSendXRechnung |
                                store::kAddressNoDunning | store::kAddressPrintDiscountSum;
  EXPECT_EQ(+app.address.salutation, expected);
  ASSERT_EQ(store::ReadAddress(app, adam, 0), 1);
  EXPECT_EQ(+adam.salutation, expected);
}

// What the document prints is the address its sale is stored for: fields
// typed over a chosen customer become a new customer with a number of his
// own once the user agrees, changed fields of a known one are stored or left
// as they are on file, and a declined question keeps the dialog open.
TEST_F(CashDeskPrintTest, TheRecipientPrintedIsTheAddressOnFile) {
  store::AddressRecord peter = testsupport::MakeAddress("Peter M\xFCller", "7");
  Add(peter);
  struct Case {
    const char* name2;
    const char* street;
    std::deque<bool> answers;
    bool printed;
    std::string storedStreet;  // of the address the document goes to
    std::string number;
  };
  const Case cases[] = {
      {"Anna Schulz", "Rosenweg 1", {false}, false, "", ""},            // not created: stay
      {"Anna Schulz", "Rosenweg 1", {true}, true, "Rosenweg 1", "8"},   // a new customer
      {"Peter M\xFCller", "Hauptstr. 2", {false}, true, "", "7"},       // printed as on file
      {"Peter M\xFCller", "Hauptstr. 2", {true}, true, "Hauptstr. 2", "7"},  // changed on file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name2) + " " + (c.answers.front() ? "Ja" : "Nein"));
    const std::int32_t addresses = app.addresses.lastIndex;
    // "Adresse suchen" found Peter.
    store::AddressRecord found{};
    for (app.addresses.position = 0; store::ReadAddress(app, found, app.addresses.position) == 1 &&
                                     store::GetText(found.name2) != "Peter M\xFCller";)
      ++app.addresses.position;
    LRechnungDruckenDialog dialog(app);
    ASSERT_EQ(testsupport::Shown(&dialog, masterdata::id::kName2), QString::fromUtf8("Peter Müller"));
    testsupport::Type(&dialog, masterdata::id::kName2, QString::fromLatin1(c.name2));
    testsupport::Type(&dialog, masterdata::id::kStreet, c.street);
    for (bool answer : c.answers) ui.answer({answer});
    dialog.command(masterdata::kPrintInvoice);
    EXPECT_EQ(dialog.result(), c.printed ? masterdata::kPrintInvoice : 0);
    if (!c.printed) {
      EXPECT_EQ(app.addresses.lastIndex, addresses);
      continue;
    }
    store::AddressRecord onFile{};
    ASSERT_EQ(store::ReadAddress(app, onFile, app.addresses.position), 1);
    EXPECT_EQ(std::tuple(std::string(store::GetText(onFile.name2)), std::string(store::GetText(onFile.street)),
                         std::string(store::GetText(onFile.customerNumber))),
              std::tuple(std::string(c.name2), c.storedStreet, c.number));
    EXPECT_EQ(std::string(store::GetText(app.address.street)), c.storedStreet);
  }
}

TEST_F(CashDeskPrintTest, AnUnknownNameBecomesANewAddressWhenADocumentIsChosen) {
  LRechnungDruckenDialog dialog(app);
  testsupport::Type(&dialog, masterdata::id::kName2, "Cäsar");
  testsupport::Type(&dialog, 2043, "2");
  frame::Control<QCheckBox>(&dialog, 2192)->setChecked(true);
  ui.answer({true});
  dialog.command(masterdata::kPrintInvoice);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"„Cäsar“ ist noch keine Adresse.\n"
                                                     "Als neue Adresse anlegen?"});
  EXPECT_EQ(dialog.result(), masterdata::kPrintInvoice);
  EXPECT_TRUE(dialog.paid());
  EXPECT_EQ(dialog.copies(), 2);
  ASSERT_EQ(app.addresses.lastIndex, 2);
  store::AddressRecord stored{};
  ASSERT_EQ(store::ReadAddress(app, stored, 2), 1);
  EXPECT_EQ(store::GetText(stored.name2), "C\xe4sar");
  EXPECT_EQ(+stored.copies, 2);
}

}  // namespace
