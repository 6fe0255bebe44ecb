// The two DATEV dialogs driven by their commands: the settings keep only
// what DATEV takes, and the export writes the chosen file of the month before.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <filesystem>

#include "datev/datev_settings.h"
#include "datev/ui/datev_dialog.h"
#include "datev/ui/datev_export_dialog.h"
#include "datev/datev_fixture.h"

namespace {

class DatevDialogsTest : public testsupport::DatevTest {
 protected:
  template <typename Widget>
  Widget* Field(QWidget& dialog, const char* name) {
    Widget* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
};

TEST_F(DatevDialogsTest, SettingsAreCheckedBeforeTheyAreKept) {
  datev::DatevDialog dialog(app);
  // The chart brings its standard accounts.
  Field<QComboBox>(dialog, "Kontenrahmen")->setCurrentIndex(1);
  EXPECT_EQ(Field<QLineEdit>(dialog, "Erloese19")->text(), QStringLiteral("4400"));
  EXPECT_EQ(Field<QLineEdit>(dialog, "Erloese7")->text(), QStringLiteral("4300"));
  EXPECT_EQ(Field<QLineEdit>(dialog, "Bank")->text(), QStringLiteral("1800"));
  Field<QLineEdit>(dialog, "Beraternummer")->setText(QStringLiteral("1000"));
  Field<QLineEdit>(dialog, "Mandantennummer")->setText(QStringLiteral("55003"));
  dialog.command(datev::DatevDialog::kOk);
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("Beraternummer"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file(datev::kSettingsFileName)));
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  Field<QLineEdit>(dialog, "Beraternummer")->setText(QStringLiteral("29098"));
  dialog.command(datev::DatevDialog::kOk);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const datev::Settings kept = datev::LoadSettings(app.dataDirectory);
  EXPECT_EQ(kept.advisor, 29098);
  EXPECT_EQ(kept.client, 55003);
  EXPECT_EQ(kept.chart, datev::Chart::Skr04);
  EXPECT_EQ(kept.revenueStandard, "4400");
}

TEST_F(DatevDialogsTest, ExportWritesTheMonthBeforeToTheChosenFile) {
  ASSERT_TRUE(datev::SaveSettings(app.dataDirectory, settings));
  Invoice(Customer("", "Meier", "7"), {{10000, store::kTaxCodeRate2}}, "05.11.2026");
  ui.shown.clear();
  QString proposed;
  const std::string chosen = dir.file("stapel.csv");
  datev::DatevExportDialog dialog(app, [&](QWidget*, const QString& offered) {
    proposed = offered;
    return QString::fromStdString(chosen);
  });
  EXPECT_EQ(Field<QLineEdit>(dialog, "von")->text(), QStringLiteral("01.11.2026"));
  EXPECT_EQ(Field<QLineEdit>(dialog, "bis")->text(), QStringLiteral("30.11.2026"));
  dialog.findChild<QComboBox*>()->setCurrentIndex(1);
  EXPECT_EQ(Field<QLineEdit>(dialog, "von")->text(), QStringLiteral("01.07.2026"));
  dialog.findChild<QComboBox*>()->setCurrentIndex(0);
  dialog.command(datev::DatevExportDialog::kExport);
  EXPECT_TRUE(proposed.endsWith(QStringLiteral("EXTF_Buchungsstapel_20261101_20261130.csv")));
  const testsupport::ExtfRead file = testsupport::ReadExtf(chosen);
  EXPECT_EQ(file.rows.size(), 1u);
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_NE(ui.texts()[0].find("Buchungen: 1"), std::string::npos) << ui.texts()[0];
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
