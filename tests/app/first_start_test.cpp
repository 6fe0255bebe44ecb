// The first-start assistant on an empty data directory: the defaults it
// offers, what it writes once both dialogs are confirmed, that cancelling
// either writes nothing, and that belvon-cli init --defaults writes the same.
#include "app/first_start.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "orders/ui/cash_desk_pane.h"
#include "orders/ui/rechnung_pane.h"
#include "store/einvoice_settings.h"
#include "store/figure_style_file.h"
#include "store/parameter_file.h"
#include "store/first_start_defaults.h"
#include "widgets/dialog_support.h"
#include "store/text_field.h"
#include "support/modal.h"
#include "support/fresh_program.h"

namespace frame {
namespace {

using testsupport::PressButton;

using FirstStartTest = testsupport::FreshProgram;

// `directory` holds the letter texts the dunning levels name; each names
// the amount and the date to pay by.
void ExpectGermanDefaults(const store::ParameterRecord& p, const std::string& directory) {
  EXPECT_EQ(store::GetText(p.currencySymbol1), "EUR");
  for (int currency = 0; currency < 3; ++currency) {
    EXPECT_EQ(store::TaxRate(p, currency, 2), 70) << currency;
    EXPECT_EQ(store::TaxRate(p, currency, 3), 190) << currency;
  }
  EXPECT_EQ(std::tuple(+p.printLetterhead, +p.printPreview, +p.printPaymentTerms, +p.paymentPeriod),
            std::tuple(1, 1, 1, 14));
  const char* titles[] = {p.dunningTitle1, p.dunningTitle2, p.dunningTitle3};
  const char* texts[] = {p.dunningText1, p.dunningText2, p.dunningText3};
  const char* expectedTitles[] = {"Zahlungserinnerung", "Mahnung", "Letzte Mahnung"};
  for (int level = 0; level < 3; ++level) {
    SCOPED_TRACE(level);
    EXPECT_EQ(std::tuple(+p.dunningPeriods[level], +p.dunningFees[level]),
              std::tuple(14 * (level + 1), 5 * level));
    EXPECT_EQ(store::GetText(titles[level], 81), expectedTitles[level]);
    std::ifstream file(directory + std::string(store::GetText(texts[level], 81)), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("{Betrag} bis"), std::string::npos) << text;
    EXPECT_NE(text.find("{Zahlbar bis}"), std::string::npos) << text;
  }
  EXPECT_FALSE(ParametersUnset(p));
}

TEST_F(FirstStartTest, OffersTheGermanDefaultsAndWritesThemOnceConfirmed) {
  ASSERT_TRUE(ParametersUnset(app.parameters));
  bool flagsShown = false;
  QString rates;
  auto steps = testsupport::OnModals({
      [&](QWidget* master) {
        flagsShown = Control<QCheckBox>(master, 2119)->isChecked() &&
                     Control<QCheckBox>(master, 2121)->isChecked() &&
                     Control<QCheckBox>(master, 2122)->isChecked();
        Control<QLineEdit>(master, 1032)->setText("Bauer & Sohn");
        PressButton(master, 1);
      },
      [&](QWidget* currencies) {
        for (int id : {2169, 2160, 2161}) rates += Control<QLineEdit>(currencies, id)->text() + " ";
        PressButton(currencies, 1);
      },
  });
  EXPECT_TRUE(RunFirstStartAssistant(app, nullptr));
  EXPECT_TRUE(flagsShown);
  // The new directory writes figures the German way, its rates too.
  EXPECT_EQ(rates, "EUR 7,0 19,0 ");
  const AppState other = OtherCopy(dir.path());
  const store::ParameterRecord stored = other.parameters;
  ExpectGermanDefaults(stored, dir.path());
  EXPECT_EQ(other.figures, FigureStyle::German);
  EXPECT_EQ(store::GetText(stored.letterheadLine1), "Bauer & Sohn");
  // PDF invoices carry their e-invoice and the GiroCode in a new directory.
  EXPECT_TRUE(einvoice::LoadSettings(dir.path()).pdfEInvoice);
  EXPECT_TRUE(einvoice::LoadSettings(dir.path()).giroCode);
}

// The panes are built before the data directory is read: once it is, they
// write their figures in its style, at every start and after the assistant
// set up a new directory.
TEST_F(FirstStartTest, ThePanesWriteFiguresInTheDirectorysStyleFromTheStart) {
  {
    SCOPED_TRACE("the cash desk of a German-style directory");
    testsupport::TempDir other;
    AppState desk = OtherCopy(other.path());
    FillFirstStartDefaults(desk.parameters);
    store::SetText(desk.parameters.companyName1, "Maler Bauer");
    ASSERT_EQ(SaveParameters(desk), 1);
    ASSERT_TRUE(store::SaveFigureStyle(desk, FigureStyle::German));
    desk.figures = FigureStyle::Point;  // as the program starts
    desk.cashDeskMode = 1;
    desk.ui = &ui;
    MainWindow window(desk);
    orders::InstallCashDeskPane(window);
    ASSERT_TRUE(StartOnDataDirectory(desk, window));
    frame::Pane* pane = window.pane(PaneSlot::CashDesk);
    EXPECT_EQ(Control<QLineEdit>(pane, 2053)->text(), "0,00");
    EXPECT_EQ(Control<QLabel>(pane, 2069)->text(), "0,00");
  }
  SCOPED_TRACE("the office window after the assistant");
  MainWindow window(app);
  orders::InstallOrderPane(window);
  auto steps = testsupport::OnModals({[](QWidget* master) { PressButton(master, 1); },
                                      [](QWidget* currencies) { PressButton(currencies, 1); }});
  ASSERT_TRUE(StartOnDataDirectory(app, window));
  EXPECT_EQ(Control<QLabel>(window.pane(PaneSlot::Order), 2069)->text(), "0,00");
}

TEST_F(FirstStartTest, CancellingEitherDialogWritesNothing) {
  for (int cancelAt : {0, 1}) {
    SCOPED_TRACE(cancelAt);
    std::deque<testsupport::ModalStep> steps;
    for (int step = 0; step <= cancelAt; ++step)
      steps.push_back([=](QWidget* dialog) { PressButton(dialog, step == cancelAt ? 2 : 1); });
    auto driver = testsupport::OnModals(std::move(steps));
    EXPECT_FALSE(RunFirstStartAssistant(app, nullptr));
    EXPECT_EQ(testsupport::FileSize(dir.file("BELVON.PAR")), 0);
    EXPECT_TRUE(ParametersUnset(app.parameters));
    EXPECT_FALSE(std::filesystem::exists(dir.file(einvoice::kSettingsFileName)));
  }
}

TEST_F(FirstStartTest, TheCommandLineWritesTheSameDefaults) {
  const char* bin = std::getenv("BELVON_TEST_BIN");
  if (!bin || !std::filesystem::exists(std::string(bin) + "/belvon-cli"))
    GTEST_SKIP() << "no belvon-cli";
  testsupport::TempDir other;
  const std::string init = std::string(bin) + "/belvon-cli --data-dir " + other.path() + " init";
  ASSERT_EQ(std::system((init + " >/dev/null 2>&1").c_str()), 0);
  EXPECT_TRUE(ParametersUnset(OtherCopy(other.path()).parameters));  // plain init stays empty
  EXPECT_EQ(OtherCopy(other.path()).figures, FigureStyle::Point);
  EXPECT_FALSE(einvoice::LoadSettings(other.path()).pdfEInvoice);
  ASSERT_EQ(std::system((init + " --defaults >/dev/null 2>&1").c_str()), 0);
  ExpectGermanDefaults(OtherCopy(other.path()).parameters, other.path());
  EXPECT_EQ(OtherCopy(other.path()).figures, FigureStyle::German);
  EXPECT_TRUE(einvoice::LoadSettings(other.path()).pdfEInvoice);
  EXPECT_TRUE(einvoice::LoadSettings(other.path()).giroCode);
}

}  // namespace
}  // namespace frame
