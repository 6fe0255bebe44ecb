// The customer part of the cash desk's print dialog.
#include <QCheckBox>

#include <gtest/gtest.h>

#include "frame/ui/dialog_support.h"
#include "masterdata/ui/address_fields.h"
#include "masterdata/ui/lrechnungdrucken_dialog.h"
#include "store/address_file.h"
#include "store/records_test_support.h"
#include "support/modal.h"

namespace {

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
  EXPECT_EQ(testsupport::Shown(&dialog, masterdata::id::kName2), "Adam");
  EXPECT_EQ(testsupport::Shown(&dialog, 2043), "1");
  dialog.command(1012);
  EXPECT_EQ(testsupport::Shown(&dialog, masterdata::id::kName2), "Berg");
  EXPECT_EQ(testsupport::Shown(&dialog, 2043), "3");
  dialog.command(1012);  // nothing after the last
  EXPECT_EQ(testsupport::Shown(&dialog, masterdata::id::kName2), "Berg");
  // A known name stays one address.
  dialog.command(masterdata::kPrintDeliveryNote);
  EXPECT_EQ(dialog.result(), masterdata::kPrintDeliveryNote);
  EXPECT_EQ(app.addresses.lastIndex, 1);
  LRechnungDruckenDialog cancelled(app);
  cancelled.command(2);
  EXPECT_EQ(cancelled.result(), 0);
}

TEST_F(CashDeskPrintTest, AnUnknownNameBecomesANewAddressWhenADocumentIsChosen) {
  LRechnungDruckenDialog dialog(app);
  testsupport::Type(&dialog, masterdata::id::kName2, "Cäsar");
  testsupport::Type(&dialog, 2043, "2");
  frame::Control<QCheckBox>(&dialog, 2192)->setChecked(true);
  dialog.command(masterdata::kPrintInvoice);
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
