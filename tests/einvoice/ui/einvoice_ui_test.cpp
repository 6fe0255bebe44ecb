// The settings dialog "E-Rechnung" and saving the current invoice from the
// program: into the folder of the settings, or one message and no file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <filesystem>

#include "einvoice/einvoice_seller.h"
#include "einvoice/ui/einvoice_menu.h"
#include "einvoice/ui/erechnung_dialog.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace einvoice {
namespace {

TEST(ERechnungDialog, OkWritesTheFieldsToTheSettingsFile) {
  testsupport::TestApp t;
  ERechnungDialog dialog(t.app);
  dialog.findChildren<QLineEdit*>().at(0)->setText(QStringLiteral(" 12/345/67890 "));
  dialog.findChildren<QComboBox*>().at(0)->setCurrentIndex(static_cast<int>(Exemption::ReverseCharge));
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
    if (box->text() == QStringLiteral("GiroCode auf Rechnungen drucken")) box->setChecked(false);
  dialog.findChild<QCheckBox*>(QStringLiteral("ZUGFeRD"))->setChecked(true);
  dialog.findChild<QComboBox*>(QStringLiteral("ZUGFeRDRichtlinie"))->setCurrentIndex(1);
  dialog.command(1);
  const Settings saved = LoadSettings(t.app.dataDirectory);
  EXPECT_EQ(saved.taxNumber, "12/345/67890");
  EXPECT_EQ(saved.exemption, Exemption::ReverseCharge);
  EXPECT_FALSE(saved.giroCode);
  EXPECT_EQ(std::pair(saved.pdfEInvoice, saved.pdfGuideline), std::pair(true, PdfGuideline::XRechnung));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SaveEInvoice, ProposesTheSettingsFolderAndWritesOnlyACompleteInvoice) {
  for (const bool withIban : {true, false}) {
    SCOPED_TRACE(withIban);
    testsupport::TestApp t;
    frame::AppState& app = t.app;
    einvoicetest::Complete(app.parameters, app.address);
    if (!withIban) app.parameters.bank1Iban[0] = 0;
    app.order.orderNumber = 4711, app.order.flags = store::kOrderInvoicePrinted, app.order.total = 100;
    store::SetText(app.order.invoiceDate, "06.12.2026"), store::SetText(app.order.orderDate, "06.12.2026");
    app.order.lineCount = 1, app.orderLines[1].quantity = 1, app.orderLines[1].salePrice = 100;
    app.orderLines[1].taxCode = store::kTaxCodeNone;
    Settings settings;
    settings.exemption = Exemption::SmallBusiness;
    settings.folder = t.dir.path() + "out";
    SaveSettings(app.dataDirectory, settings);

    QString proposed;
    const std::string chosen = t.dir.file("chosen.xml");
    const bool saved = SaveEInvoice(app, nullptr, [&](QWidget*, const QString& path) {
      proposed = path;
      return QString::fromStdString(chosen);
    });
    EXPECT_EQ(saved, withIban);
    EXPECT_EQ(std::filesystem::exists(chosen), withIban);
    EXPECT_EQ(proposed.toStdString(), withIban ? settings.folder + "/R4711.xml" : "");
    ASSERT_EQ(t.ui.shown.size(), 1u);
    EXPECT_NE(t.ui.texts()[0].find(withIban ? "gespeichert" : "IBAN 1"), std::string::npos);
  }
}

}  // namespace
}  // namespace einvoice
