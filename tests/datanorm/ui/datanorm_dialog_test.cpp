// The import dialog hands what was typed to the import.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "datanorm/datanorm_fixture.h"
#include "datanorm/ui/datanorm_dialog.h"
#include "support/modal.h"

namespace {

TEST(DatanormDialogs, ImportTakesTheFieldsShowsTheCountAndCloses) {
  datanormtest::DataDir run;
  const std::string file = run.put("preise.001", datanormtest::Header() + "A;N;4711;;Kabel;;1;;m;1234;;;\n");
  datanorm::DatanormDialog dialog(run.app);
  EXPECT_EQ(frame::Control<QLineEdit>(&dialog, 2146)->text(), "datanorm.001");
  frame::Control<QLineEdit>(&dialog, 2146)->setText(QString::fromStdString(file));
  frame::Control<QLineEdit>(&dialog, 2147)->setText(QStringLiteral("Würth"));
  frame::Control<QCheckBox>(&dialog, 2220)->setChecked(true);
  testsupport::OnModal([](QDialog* box) {
    EXPECT_EQ(box->windowTitle(), "Datei Info");
    qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
  });
  dialog.command(1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(frame::Control<QLabel>(&dialog, 2148)->text(), "1");
  EXPECT_EQ(run.article("4711"), "4711|Kabel||Kabel||m|630|0|0|0|W\xfcrth|8");
}

// The file is chosen with "…"; a file that cannot be read is named and the
// dialog stays open for another.
TEST(DatanormDialogs, TheFileIsChosenAndAnUnreadableOneIsNamed) {
  datanormtest::DataDir run;
  const std::string file = run.put("preise.001", datanormtest::Header() + "A;N;4711;;Kabel;;1;;m;1234;;;\n");
  datanorm::DatanormDialog dialog(run.app);
  dialog.show();
  QLineEdit* name = frame::Control<QLineEdit>(&dialog, 2146);
  name->setText(QString::fromStdString(file + ".fehlt"));
  QTest::mouseClick(frame::Control<QPushButton>(&dialog, 1), Qt::LeftButton);
  EXPECT_EQ(run.ui.texts(),
            std::vector<std::string>{"Die Datei \"" + file + ".fehlt\" kann nicht gelesen werden."});
  EXPECT_TRUE(dialog.isVisible());

  testsupport::OnModal([&file](QDialog* chooser) {
    auto* files = qobject_cast<QFileDialog*>(chooser);
    ASSERT_NE(files, nullptr);
    files->selectFile(QString::fromStdString(file));
    QMetaObject::invokeMethod(files, "accept");
  });
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("choose")), Qt::LeftButton);
  EXPECT_EQ(name->text().toStdString(), file);
}

}  // namespace
