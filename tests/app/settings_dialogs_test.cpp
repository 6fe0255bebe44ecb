// The four settings dialogs driven through their fields and buttons: what
// they show, what they store on OK, and that "Abbruch" stores nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "store/einvoice_settings.h"
#include "core/command_ids.h"
#include "core/decimal.h"
#include "store/parameter_file.h"
#include "widgets/dialog_support.h"
#include "app/druckparam_dialog.h"
#include "app/mahndaten_dialog.h"
#include "app/main_window.h"
#include "app/stammdaten_dialog.h"
#include "app/waehrung_dialog.h"
#include "masterdata/ui/artikel_pane.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "store/parameter_record.h"
#include "store/text_field.h"
#include "support/fresh_program.h"
#include "support/modal.h"

namespace frame {
namespace {

using testsupport::PressButton;
using testsupport::Shown;
using testsupport::Type;

QCheckBox* Check(QWidget* dialog, int id) { return Control<QCheckBox>(dialog, id); }

bool Same(const store::ParameterRecord& a, const store::ParameterRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Presses OK and returns the text of the warning about replaced characters
// ("" when none came up); the warning is closed as soon as it shows.
template <typename Dialog>
std::string PressOk(Dialog& dialog, bool accepted = true) {
  std::string warning;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      warning = box->text().toStdString();
      box->accept();
    }
  });
  closer.start(5);
  dialog.command(1);
  EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted);
  return warning;
}

using P = store::ParameterRecord;
template <auto Member>
std::string Num(const P& p) {
  return std::to_string(+(p.*Member));
}
template <auto Member>
std::string Txt(const P& p) {
  return std::string(store::GetText(p.*Member));
}

// A text typed into a field, and what the record holds for it after OK.
struct Typed {
  int id;
  QString text;
  std::string (*stored)(const P&);
  std::string expected;
};
// Gives the warning about replaced characters, "" when none came up.
template <typename Dialog>
std::string ExpectStored(Dialog& dialog, const std::vector<Typed>& fields) {
  for (const Typed& field : fields) Type(&dialog, field.id, field.text);
  const std::string warning = PressOk(dialog);
  for (const Typed& field : fields)
    EXPECT_EQ(field.stored(dialog.parameters()), field.expected) << field.id;
  return warning;
}

TEST(StammdatenDialog, StoresTextsNumbersAndFlags) {
  P p{};
  p.cashDiscount = 25;
  StammdatenDialog dialog(p, 119080001, "/daten/", nullptr);
  EXPECT_EQ(Shown(&dialog, 1055) + Shown(&dialog, 1048) + Shown(&dialog, 1058),
            "2.5119080001/daten/");
  Type(&dialog, 1048, "4711");
  Type(&dialog, 1058, "/neu/");
  Control<LimitedTextEdit>(&dialog, 1061)->setStoredText(QString(400, 'F'));
  Check(&dialog, 2125)->setChecked(true);
  Check(&dialog, 2232)->setChecked(true);
  const std::string warning =
      ExpectStored(dialog, {{1055, "2,3", Num<&P::cashDiscount>, "23"},
                            {1056, "10", Num<&P::cashDiscountPeriod>, "10"},
                            {1057, "30", Num<&P::paymentPeriod>, "30"},
                            {1032, QString(100, 'A'), Txt<&P::companyName1>, std::string(79, 'A')},
                            {1039, QString(60, '1'), Txt<&P::phone>, std::string(39, '1')},
                            {1035, "Hauptstraße 1 €", Txt<&P::street>,
                             "Hauptstra\xDF"
                             "e 1 \x80"},
                            {1037, "Ωmega", Txt<&P::town>, "?mega"}});
  EXPECT_FALSE(warning.empty()) << "the Ω cannot be kept";
  const P& out = dialog.parameters();
  EXPECT_EQ(dialog.nextOrderNumber(), 4711u);
  EXPECT_EQ(dialog.dataDirectory(), "/neu/");
  EXPECT_EQ(store::GetText(out.footerInvoice), std::string(320, 'F'));
  EXPECT_EQ(std::tuple(+out.autoArticleNumber, +out.plusOneNumbering, +out.printLetterhead),
            std::tuple(1, 1, 0));

  // Shown again as stored, and stored again unchanged without a warning.
  StammdatenDialog again(out, dialog.nextOrderNumber(), dialog.dataDirectory(), nullptr);
  EXPECT_EQ(Shown(&again, 1055) + Shown(&again, 1035), "2.3Hauptstraße 1 €");
  EXPECT_TRUE(PressOk(again).empty());
  EXPECT_TRUE(Same(again.parameters(), out));
}

TEST(StammdatenDialog, GrossAsNetForcesGrossPrices) {
  P p{};
  p.grossAsNet = 1;  // an inconsistent file: the rule applies on opening
  StammdatenDialog dialog(p, 1, "", nullptr);
  QCheckBox* gross = Check(&dialog, 2127);
  // Gross-as-net on, off, on: gross prices forced, then free but kept.
  for (bool on : {true, false, true}) {
    Check(&dialog, 2235)->setChecked(on);
    EXPECT_EQ(std::pair(gross->isChecked(), gross->isEnabled()), std::pair(true, !on)) << on;
  }
  PressOk(dialog);
  EXPECT_EQ(std::pair(+dialog.parameters().grossPrices, +dialog.parameters().grossAsNet),
            std::pair(1, 1));
}

TEST(WaehrungDialog, ReadsTaxAndExchangeRates) {
  store::ParameterRecord p{};
  store::SetText(p.currencySymbol1, "DM");
  store::SetText(p.currencySymbol4, "\x80");
  store::SetTaxRate(p, 0, 2, 160);
  store::SetTaxRate(p, 2, 3, 75);
  p.exchangeRates[0] = 1.0f;
  p.exchangeRates[1] = 1.95583f;
  p.exchangeRates[2] = 0.0f;
  WaehrungDialog dialog(p, nullptr);
  EXPECT_EQ(
      Shown(&dialog, 2169) + Shown(&dialog, 2177) + Shown(&dialog, 2160) + Shown(&dialog, 2165),
      "DM€16.07.5");

  // Each field lands in its own slot: rates 2 and 3 of currencies 1 to 3.
  const int rateIds[3][2] = {{2160, 2161}, {2162, 2163}, {2164, 2165}};
  const char* entered[3][2] = {{"16", "7"}, {"150", "-1"}, {"19,5", "x"}};
  const int stored[3][2] = {{160, 70}, {1000, 0}, {195, 0}};
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k < 2; ++k) Type(&dialog, rateIds[c][k], QString::fromUtf8(entered[c][k]));
  Type(&dialog, 2172, "1,95583");
  Type(&dialog, 2173, "0");
  Type(&dialog, 2174, "2.5");
  Type(&dialog, 2170, "EURO");
  Check(&dialog, 2175)->setChecked(true);
  Check(&dialog, 2236)->setChecked(true);
  // A rate that is no number is refused by name, and nothing is taken.
  EXPECT_EQ(PressOk(dialog, false), NotANumberMessage("UmSt 3 der 3. Währung"));
  EXPECT_EQ(+dialog.parameters().exchangeRates[3], +p.exchangeRates[3]);
  Type(&dialog, 2165, "0");
  EXPECT_TRUE(PressOk(dialog).empty());

  const store::ParameterRecord& out = dialog.parameters();
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(store::TaxRate(out, c, 1), 0) << c;
    for (int k = 0; k < 2; ++k) EXPECT_EQ(store::TaxRate(out, c, k + 2), stored[c][k]) << c << k;
  }
  EXPECT_EQ((std::vector<float>{out.exchangeRates[0], out.exchangeRates[1], out.exchangeRates[2],
                                out.exchangeRates[3]}),
            (std::vector<float>{1.0f, 1.95583f, 0.001f, 2.5f}));
  EXPECT_EQ(store::GetText(out.currencySymbol2), "EUR");
  EXPECT_EQ(store::GetText(out.currencySymbol4), "\x80");
  EXPECT_EQ(std::tuple(+out.fourthCurrencyPrint, +out.noDecimalsPrint, +out.noSingleTax),
            std::tuple(1, 0, 1));
}

TEST(DruckparamDialog, ClampsNumbersAndCutsTexts) {
  P p{};
  p.printOffsetVertical = -12;
  p.logoWidth = 50;
  DruckparamDialog dialog(p, nullptr);
  EXPECT_EQ(Shown(&dialog, 2153) + " " + Shown(&dialog, 2155), "-12 50");
  Check(&dialog, 2213)->setChecked(true);
  ExpectStored(dialog,
               {{2153, "-150", Num<&P::printOffsetVertical>, "-100"},
                {2154, "150", Num<&P::printOffsetHorizontal>, "100"},
                {2155, "250", Num<&P::logoWidth>, "200"},
                {2156, "2500", Num<&P::logoPosHorizontal>, "2000"},
                {2157, "-5", Num<&P::logoPosVertical>, "0"},
                {2216, QString(50, 'K'), Txt<&P::letterheadLine1>, std::string(39, 'K')},
                {2217, QString(70, 'L'), Txt<&P::letterheadLine2>, std::string(59, 'L')},
                {2215, "kassenlade --open", Txt<&P::cashDrawerCommand>, "kassenlade --open"}});
  EXPECT_EQ(std::pair(+dialog.parameters().ordersOnA5, +dialog.parameters().printBar),
            std::pair(1, 0));
}

TEST(MahndatenDialog, StoresAllTwelveValues) {
  P p{};
  store::SetText(p.dunningTitle3, "Letzte Mahnung");
  MahndatenDialog dialog(p, nullptr);
  EXPECT_EQ(Shown(&dialog, 1068), "Letzte Mahnung");
  // The periods count from the due date, not from the invoice date.
  QStringList headings;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) headings << label->text();
  EXPECT_TRUE(headings.contains(QStringLiteral("Frist (Tage nach Fälligkeit)"))) << headings.join('|').toStdString();
  for (int level = 0; level < 3; ++level)
    for (int id : {1069, 1063, 1066, 1072}) Type(&dialog, id + level, QString::number(id + level));
  PressOk(dialog);
  const P& out = dialog.parameters();
  const char* titles[] = {out.dunningTitle1, out.dunningTitle2, out.dunningTitle3};
  const char* texts[] = {out.dunningText1, out.dunningText2, out.dunningText3};
  for (int level = 0; level < 3; ++level) {
    EXPECT_EQ(std::pair(+out.dunningPeriods[level], +out.dunningFees[level]),
              std::pair(1069 + level, 1063 + level));
    EXPECT_EQ(std::string(store::GetText(titles[level], 81)) +
                  std::string(store::GetText(texts[level], 81)),
              std::to_string(1066 + level) + std::to_string(1072 + level));
  }
  ExpectStored(dialog, {{1066, QString(90, 'T'), Txt<&P::dunningTitle1>, std::string(79, 'T')},
                        {1074, QString(90, 'X'), Txt<&P::dunningText3>, std::string(79, 'X')}});
}

// "Abbruch" after a change leaves the record as it came in.
template <typename Dialog>
void ExpectAbbruchKeeps(Dialog& dialog, int id, const store::ParameterRecord& p) {
  SCOPED_TRACE(id);
  Type(&dialog, id, "9");
  dialog.command(2);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(Same(dialog.parameters(), p));
}

TEST(SettingsDialogs, AbbruchKeepsTheRecord) {
  store::ParameterRecord p{};
  store::SetText(p.companyName1, "Firma");
  store::SetTaxRate(p, 1, 2, 160);

  StammdatenDialog stammdaten(p, 7, "/a/", nullptr);
  Type(&stammdaten, 1048, "99");
  Type(&stammdaten, 1058, "/b/");
  ExpectAbbruchKeeps(stammdaten, 1032, p);
  EXPECT_EQ(stammdaten.nextOrderNumber(), 7u);
  EXPECT_EQ(stammdaten.dataDirectory(), "/a/");
  WaehrungDialog waehrung(p, nullptr);
  ExpectAbbruchKeeps(waehrung, 2162, p);
  DruckparamDialog druckparam(p, nullptr);
  ExpectAbbruchKeeps(druckparam, 2155, p);
  MahndatenDialog mahndaten(p, nullptr);
  ExpectAbbruchKeeps(mahndaten, 1063, p);
}

// "Stammdaten" from the menu of a program started on a fresh directory,
// with its profile kept there too.
class MasterDataCommandTest : public testsupport::FreshProgram {
 protected:
  MasterDataCommandTest() { EXPECT_EQ(SaveParameters(app, OrderCounter::FromMemory), 1); }
  MainWindow window{app};
};

TEST_F(MasterDataCommandTest, TheCounterIsWrittenOnlyWhenTyped) {
  const std::uint32_t first = app.nextOrderNumber;
  for (const char* typed : {"", "126129000"}) {
    SCOPED_TRACE(typed);
    std::uint32_t drawn = 0;
    auto steps = testsupport::OnModals({[&](QWidget* dialog) {
      // Another copy draws three numbers while the dialog is open.
      AppState other = OtherCopy(dir.path());
      other.nextOrderNumber += 3;
      drawn = other.nextOrderNumber;
      ASSERT_EQ(SaveParameters(other, OrderCounter::FromMemory), 1);
      if (*typed) Type(dialog, 1048, typed);
      PressButton(dialog, 1);
    }});
    window.command(cmd::kMasterData);
    EXPECT_GT(drawn, first);
    EXPECT_EQ(OtherCopy(dir.path()).nextOrderNumber, *typed ? 126129000u : drawn);
  }
}

// Ticking the German figures shows the current article's price in them at
// once, not only from the next article on.
TEST_F(MasterDataCommandTest, ThePanesWriteTheirFiguresInTheNewStyleAtOnce) {
  store::ArticleRecord article = testsupport::MakeArticle("100", "Hobelbank");
  article.price1 = 123456;
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, article, position, true), 1);
  app.article = article;
  app.articles.position = position;
  masterdata::InstallArticlePane(window);
  Pane* pane = window.pane(PaneSlot::Article);
  ASSERT_NE(pane, nullptr);
  pane->refresh();
  ASSERT_EQ(testsupport::Shown(pane, 1112), "1234.56");
  for (const char* shown : {"1.234,56", "1234.56"}) {
    auto steps = testsupport::OnModals({[&](QWidget* dialog) {
      Control<QCheckBox>(dialog, 2240)->click();
      PressButton(dialog, 1);
    }});
    window.command(cmd::kMasterData);
    EXPECT_EQ(testsupport::Shown(pane, 1112), shown);
  }
}

// The Steuernummer is one value, shown and changed in "Stammdaten" as in
// "E-Rechnung"; the other e-invoice settings stay as they were.
TEST_F(MasterDataCommandTest, TheTaxNumberIsTheOneOfTheEInvoiceSettings) {
  einvoice::Settings settings;
  settings.taxNumber = "12/345/67890";
  settings.giroCode = false;
  ASSERT_TRUE(einvoice::SaveSettings(dir.path(), settings));
  QString shown;
  auto steps = testsupport::OnModals({[&](QWidget* dialog) {
    shown = Shown(dialog, 2241);
    Type(dialog, 2241, " 99/999/99999 ");
    PressButton(dialog, 1);
  }});
  window.command(cmd::kMasterData);
  EXPECT_EQ(shown, "12/345/67890");
  const einvoice::Settings stored = einvoice::LoadSettings(dir.path());
  EXPECT_EQ(std::pair(stored.taxNumber, stored.giroCode), std::pair(std::string("99/999/99999"), false));
}

TEST_F(MasterDataCommandTest, APathNamingADirectoryIsThatDirectory) {
  std::filesystem::create_directory(dir.file("daten2"));
  const struct {
    const char* typed;
    bool answer;
    bool asked;
    const char* directory;  // "" = unchanged
  } cases[] = {
      {"daten2", false, false, "daten2/"},  // exists: used as a directory
      {"neu", true, true, "neu/"},          // missing: made on Yes
      {"weg", false, true, ""},             // missing, refused: nothing changes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string before = app.dataDirectory;
    ui.shown.clear();
    if (c.asked) ui.answer({c.answer});
    auto steps = testsupport::OnModals({[&](QWidget* dialog) {
      Type(dialog, 1058, QString::fromStdString(dir.file(c.typed)));
      PressButton(dialog, 1);
    }});
    window.command(cmd::kMasterData);
    EXPECT_EQ(ui.questions().size(), c.asked ? 1u : 0u);
    const std::string expected = *c.directory ? dir.file(c.directory) : before;
    EXPECT_EQ(app.dataDirectory, expected);
    EXPECT_TRUE(std::filesystem::exists(expected + "BELVON.PAR"));
    EXPECT_FALSE(std::filesystem::exists(dir.file(std::string(c.typed) + "BELVON.PAR")));
    app.dataDirectory = dir.path();
  }
}

}  // namespace
}  // namespace frame
