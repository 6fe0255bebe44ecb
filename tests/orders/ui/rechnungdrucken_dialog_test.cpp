// The print dialog of the order pane: its options act at once, its buttons
// issue the document.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "widgets/dialog_support.h"
#include "orders/ui/rechnungdrucken_dialog.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"
#include "store/einvoice_settings.h"
#include "einvoice/einvoice_seller.h"

namespace {

class PrintDialogTest : public testsupport::StoreTest {
 protected:
  PrintDialogTest() {
    const std::int32_t position = Add(testsupport::MakeAddress("Meier", "7"));
    store::ReadAddress(app, app.address, position);
    app.addresses.position = position;
    app.address.copies = 2;
    testsupport::AddOrder(app, 0, {{"Tisch"}});
    store::ReadOrder(app, app.order, app.orders.position);
  }
  std::vector<std::pair<int, bool>> jobs;
  orders::PrintJobCall record = [this](int job, bool notify, const printing::JobInputs& inputs,
                                       const std::function<void()>& printed) {
    jobs.emplace_back(job, notify);
    dates.push_back(inputs.printDate);
    printed();
  };
  std::vector<std::string> dates;
};

TEST_F(PrintDialogTest, OptionsActAtOnceAndAreSavedOnAbbruch) {
  orders::RechnungDruckenDialog dialog(app, record);
  EXPECT_EQ(frame::Control<QLineEdit>(&dialog, 2088)->text().toStdString(), "03.12.2026");
  EXPECT_EQ(frame::Control<QLineEdit>(&dialog, 2087)->text().toStdString(), "2");
  frame::Control<QCheckBox>(&dialog, 2094)->setChecked(false);
  EXPECT_EQ(+app.parameters.pricesHidden, 1);
  frame::Control<QCheckBox>(&dialog, 2095)->setChecked(true);
  EXPECT_EQ(+app.parameters.printSignature, 1);
  dialog.command(2);
  EXPECT_TRUE(jobs.empty());
  // The options went into BELVON.PAR.
  auto bytes = testsupport::ReadBytes(dir.file("BELVON.PAR"));
  ASSERT_EQ(bytes.size(), store::kParameterFileSize);
  EXPECT_EQ(testsupport::ReadAt<std::int16_t>(bytes, 4 + 1422), 1);
  EXPECT_EQ(testsupport::ReadAt<std::int16_t>(bytes, 4 + 1424), 1);
}

TEST_F(PrintDialogTest, InvoiceButtonTicksBothMarksAndPrintsEveryCopy) {
  orders::RechnungDruckenDialog dialog(app, record);
  EXPECT_FALSE(frame::Control<QCheckBox>(&dialog, 2083)->isChecked());
  dialog.command(2086);
  EXPECT_TRUE(frame::Control<QCheckBox>(&dialog, 2083)->isChecked());
  EXPECT_TRUE(frame::Control<QCheckBox>(&dialog, 2082)->isChecked());
  EXPECT_EQ(jobs, (std::vector<std::pair<int, bool>>{{3, false}, {3, true}}));
  store::OrderHead stored{};
  store::ReadOrder(app, stored, app.orders.position);
  EXPECT_EQ(store::GetText(stored.invoiceDate), "03.12.2026");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The date typed is printed and becomes the invoice date: written in full,
// or refused with the focus on the field and nothing printed or stored.
TEST_F(PrintDialogTest, TheDateIsWrittenInFullOrRefused) {
  const struct {
    const char* typed;
    const char* printed;  // empty: refused
  } cases[] = {{"5.1.27", "05.01.2027"}, {"31.12.2026", "31.12.2026"}, {"32.1.27", ""},
               {"5.1", ""}, {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    orders::RechnungDruckenDialog dialog(app, record);
    dialog.show();
    jobs.clear();
    dates.clear();
    ui.shown.clear();
    QLineEdit* field = frame::Control<QLineEdit>(&dialog, 2088);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, c.typed);
    dialog.command(2084);  // "&Angebot"
    if (*c.printed) {
      EXPECT_EQ(dates, (std::vector<std::string>{c.printed, c.printed}));
      EXPECT_TRUE(ui.texts().empty());
    } else {
      EXPECT_TRUE(jobs.empty());
      EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                                "Im Feld \"Datum\" steht kein gültiges Datum.\n"
                                "Bitte ein Datum wie 05.12.2026 eingeben."}));
      EXPECT_EQ(dialog.focusWidget(), field);
    }
  }
}

}  // namespace

// What a PDF invoice would lack of its e-invoice is said once, in the
// dialog's banner with the way to the setting, not in a box per invoice;
// nothing shows while it can be made or the setting is off.
TEST_F(PrintDialogTest, TheBannerSaysOnceWhatTheEInvoiceLacks) {
  einvoicetest::Complete(app.parameters, app.address);
  struct Case {
    const char* what;
    bool setting;
    const char* customerMail;
    const char* banner;  // empty: none shown
  };
  const Case cases[] = {
      {"no mail address", true, "",
       "Die PDF-Datei enthält keine E-Rechnung (ZUGFeRD): Die E-Rechnung kann nicht erstellt "
       "werden. Es fehlt: eMail des Kunden"},
      {"complete", true, "r@bauer.example", ""},
      {"setting off", false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    einvoice::Settings settings;
    settings.pdfEInvoice = c.setting;
    ASSERT_TRUE(einvoice::SaveSettings(app.dataDirectory, settings));
    store::SetText(app.address.email, c.customerMail);
    orders::RechnungDruckenDialog dialog(app, record);
    dialog.show();
    auto* banner = frame::Control<QLabel>(&dialog, 2304);
    EXPECT_EQ(banner->text().toStdString(), c.banner);
    EXPECT_EQ(banner->isVisible(), *c.banner != '\0');
    EXPECT_EQ(frame::FindControl(&dialog, 2305)->isVisible(), *c.banner != '\0');
  }
}
