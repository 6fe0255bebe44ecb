// The article dialogs on their own: what the editor's fields turn into and
// keep, and the search opened with a start text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "masterdata/ui/artikeledit_dialog.h"
#include "masterdata/ui/artikelsuchen_dialog.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "support/modal.h"

namespace masterdata {
namespace {

using frame::Control;

using testsupport::Shown;
using testsupport::Type;

class ArtikelEditDialogTest : public testsupport::StoreTest {};

TEST_F(ArtikelEditDialogTest, PricesQuantitiesAndStocksFromTheirFields) {
  ArtikelEditDialog editor(app, testsupport::MakeArticle("1"), true);
  EXPECT_EQ(Shown(&editor, 1112) + " " + Shown(&editor, 1115) + " " + Shown(&editor, 1102),
            "0.00 0 0.000");
  Type(&editor, 1112, "12,5");
  Type(&editor, 1113, "zwölf");
  Type(&editor, 1114, "-3.5");
  Type(&editor, 1115, "10,7");
  Type(&editor, 1119, "8.999");
  Type(&editor, 1121, "2,25");
  Type(&editor, 1107, "viel");
  // Text that is no number is refused by its field's name, one at a time.
  editor.command(1);
  Type(&editor, 1113, "1.234,56");
  editor.command(1);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{frame::NotANumberMessage("Preis 2"),
                                                  frame::NotANumberMessage("Soll-Bestand")}));
  EXPECT_NE(editor.result(), QDialog::Accepted);
  Type(&editor, 1107, "3");
  editor.command(1);
  ASSERT_EQ(editor.result(), QDialog::Accepted);
  const store::ArticleRecord& a = editor.article();
  EXPECT_EQ((std::vector<double>{double(a.price1), double(a.price2), double(a.price3),
                                 double(a.quantityPrice2), double(a.purchasePrice), a.stock[4],
                                 a.targetStock}),
            (std::vector<double>{1250, 123456, -350, 10, 900, 2.25, 3}));
}

// Each tax class names the rate it stands for in the article's currency,
// and again when another currency is chosen.
TEST_F(ArtikelEditDialogTest, TaxClassesShowTheirRates) {
  for (int c = 0; c < 3; ++c) {
    store::SetTaxRate(app.parameters, c, 2, c == 1 ? 50 : 70);
    store::SetTaxRate(app.parameters, c, 3, c == 1 ? 160 : 190);
  }
  app.figures = frame::FigureStyle::German;
  store::ArticleRecord article = testsupport::MakeArticle("1");
  article.currency = 1;
  ArtikelEditDialog editor(app, article, true);
  auto shown = [&editor] {
    QStringList texts;
    for (int id : {1129, 1130, 1131}) texts << Control<QRadioButton>(&editor, id)->text();
    return texts.join(" | ");
  };
  EXPECT_EQ(shown(), "ohne (0 %) | 1 (5 %) | 2 (16 %)");
  Control<QRadioButton>(&editor, 1132)->click();
  EXPECT_EQ(shown(), "ohne (0 %) | 1 (7 %) | 2 (19 %)");
}

TEST_F(ArtikelEditDialogTest, UntouchedFieldsKeepTheirExactValuesAndOtherFlagBits) {
  store::ArticleRecord article = testsupport::MakeArticle("1", "Leim");
  article.stock[0] = 0.0004;  // shows as 0.000
  article.quantityOnOrder = 12.3456;
  article.price4 = INT32_MIN;  // wider than the field
  article.flags = 0x40 | store::kArticleTaxRate1;
  article.currency = 2;
  ArtikelEditDialog editor(app, article, true);
  EXPECT_EQ(Shown(&editor, 1117), "-21474836.48");  // shown whole
  EXPECT_TRUE(Control<QRadioButton>(&editor, 1130)->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(&editor, 1134)->isChecked());
  Control<QRadioButton>(&editor, 1131)->setChecked(true);
  Control<QRadioButton>(&editor, 1132)->setChecked(true);
  editor.command(1);
  const store::ArticleRecord& a = editor.article();
  EXPECT_EQ((std::vector<double>{a.stock[0], a.quantityOnOrder, double(a.price4), double(a.flags),
                                 double(a.currency)}),
            (std::vector<double>{0.0004, 12.3456, INT32_MIN, 0x40 | store::kArticleTaxRate2, 0}));
}

TEST_F(ArtikelEditDialogTest, SearchWithAStartTextSearchesAtOnceAndMoreThanFiveHundredIsSaid) {
  char number[22];
  for (int i = 0; i < 501; ++i) {
    std::snprintf(number, sizeof number, "S%03d", i);
    Add(testsupport::MakeArticle(number));
  }
  ArtikelSuchenDialog search(app, "S", nullptr);
  QApplication::processEvents();
  EXPECT_EQ(Control<QLabel>(&search, 2139)->text(), "ACHTUNG! Mehr als 500 Artikel vorhanden");
  EXPECT_EQ(Control<QListWidget>(&search, 2131)->count(), 500);
  EXPECT_EQ(store::GetText(app.article.number), "S499");  // the last one listed
  EXPECT_EQ(app.articles.position, 499);

  // Exactly one hit from a start text: chosen without a further key.
  ArtikelSuchenDialog one(app, "S500", nullptr);
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(one.result(), 1);
  EXPECT_EQ(store::GetText(app.article.number), "S500");
}

// "allen Felder" stays as the user left it, in the next dialog and after a
// new start of the program (the profile).
TEST_F(ArtikelEditDialogTest, TheSearchRemembersAllFields) {
  Add(testsupport::MakeArticle("K-1", "Kabel rot"));
  for (bool ticked : {true, false}) {
    {
      ArtikelSuchenDialog search(app, "", nullptr);
      QCheckBox* box = Control<QCheckBox>(&search, 2140);
      if (box->isChecked() != ticked) box->click();
      Type(&search, 1128, "kabel");
      search.command(2025);
      EXPECT_EQ(Control<QListWidget>(&search, 2131)->count(), ticked ? 1 : 0);
    }
    app.articleCriteria = {};  // a new start knows only the profile
    ArtikelSuchenDialog again(app, "", nullptr);
    EXPECT_EQ(Control<QCheckBox>(&again, 2140)->isChecked(), ticked);
  }
}

// Presses "Abbruch" and Esc of the search dialog at every progress update.
class ImpatientUi : public testsupport::ScriptedUi {
 public:
  bool progress(int percent) override {
    if (dialog) {
      Control<QPushButton>(dialog, 2)->click();
      Control<QPushButton>(dialog, 2025)->click();
      dialog->reject();
    }
    return ScriptedUi::progress(percent);
  }
  QDialog* dialog = nullptr;
};

TEST_F(ArtikelEditDialogTest, TheSearchDialogWaitsForARunningSearch) {
  for (const char* n : {"R1", "R2", "R3"}) Add(testsupport::MakeArticle(n));
  ImpatientUi impatient;
  app.ui = &impatient;
  ArtikelSuchenDialog search(app, "", nullptr);
  int finished = 0;
  QObject::connect(&search, &QDialog::finished, [&finished] { ++finished; });
  impatient.dialog = &search;
  // Through all fields: only reading the article text shows progress.
  if (!Control<QCheckBox>(&search, 2140)->isChecked()) Control<QCheckBox>(&search, 2140)->click();
  Type(&search, 1128, "r");
  search.command(2025);
  EXPECT_FALSE(impatient.progressValues.empty());
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(Control<QListWidget>(&search, 2131)->count(), 3);
  impatient.dialog = nullptr;
  search.command(2);
  EXPECT_EQ(finished, 1);
}

}  // namespace
}  // namespace masterdata
