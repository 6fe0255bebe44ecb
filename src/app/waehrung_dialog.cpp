#include "app/waehrung_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/settings_rules.h"
#include "widgets/dialog_support.h"
#include "widgets/number_field.h"
#include "widgets/field_text.h"
#include "store/text_field.h"
#include "widgets/help_viewer.h"

namespace frame {

namespace {

// Per currency row: symbol field, the two tax-rate fields (none for the
// fourth currency) and the exchange-rate field (none for the first).
struct CurrencyRow {
  int symbolId;
  int rate2Id;
  int rate3Id;
  int exchangeId;
};

constexpr CurrencyRow kRows[] = {
    {2169, 2160, 2161, 0}, {2170, 2162, 2163, 2172}, {2171, 2164, 2165, 2173}, {2177, 0, 0, 2174}};

char* Symbol(store::ParameterRecord& p, int currency) {
  switch (currency) {
    case 0: return p.currencySymbol1;
    case 1: return p.currencySymbol2;
    case 2: return p.currencySymbol3;
    default: return p.currencySymbol4;
  }
}

}  // namespace

WaehrungDialog::WaehrungDialog(const store::ParameterRecord& parameters, QWidget* parent)
    : QDialog(parent), parameters_(parameters) {
  setObjectName(QStringLiteral("WAEHRUNG"));
  setWindowTitle(QStringLiteral("Währungen"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  grid->addWidget(new QLabel(QStringLiteral("Währung"), this), 0, 1);
  // The rates the tax classes 1 and 2 of articles and order lines stand for.
  grid->addWidget(new QLabel(QStringLiteral("UmSt 2 (Klasse 1)"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("UmSt 3 (Klasse 2)"), this), 0, 3);
  for (int c = 0; c < 4; ++c) {
    const CurrencyRow& row = kRows[c];
    int r = c + 1;
    grid->addWidget(new QLabel(QStringLiteral("%1.").arg(c + 1), this), r, 0);
    QLineEdit* symbol = MakeEdit(this, row.symbolId, 3);
    symbol->setText(FromCp1252(store::GetText(Symbol(parameters_, c), 4)));
    grid->addWidget(symbol, r, 1);
    if (row.rate2Id) {
      QLineEdit* rate2 = MakeEdit(this, row.rate2Id, 4);
      QLineEdit* rate3 = MakeEdit(this, row.rate3Id, 4);
      grid->addWidget(rate2, r, 2);
      grid->addWidget(rate3, r, 3);
    }
    if (row.exchangeId) {
      grid->addWidget(new QLabel(QStringLiteral("Kurs: 1/"), this), r, 4);
      QLineEdit* rate = MakeEdit(this, row.exchangeId, 7);
      grid->addWidget(rate, r, 5);
    } else if (c == 0) {
      grid->addWidget(new QLabel(QStringLiteral("Kurs: 1/"), this), r, 4);
      grid->addWidget(new QLabel(QStringLiteral("1"), this), r, 5);
    }
  }
  struct Flag {
    int id;
    const char* text;
    std::int16_t store::ParameterRecord::*flag;
  };
  const Flag flags[] = {
      {2175, "4. Währung mit ausdrucken", &store::ParameterRecord::fourthCurrencyPrint},
      {2176, "Kein Nachkomma ausdrucken", &store::ParameterRecord::noDecimalsPrint},
      {2236, "Keine einzelne UmSt drucken", &store::ParameterRecord::noSingleTax}};
  for (const Flag& f : flags) {
    QCheckBox* box = MakeCheck(this, f.id, QString::fromUtf8(f.text));
    box->setChecked(parameters_.*(f.flag) != 0);
    top->addWidget(box);
  }
  auto* buttons = MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
  showRates();
}

void WaehrungDialog::setFigures(FigureStyle figures) {
  figures_ = figures;
  showRates();
}

void WaehrungDialog::showRates() {
  auto show = [this](int id, const std::string& text) {
    Control<QLineEdit>(this, id)->setText(QString::fromStdString(text));
  };
  for (int c = 0; c < 4; ++c) {
    const CurrencyRow& row = kRows[c];
    if (row.rate2Id) {
      show(row.rate2Id, TaxRateText(store::TaxRate(parameters_, c, 2), figures_));
      show(row.rate3Id, TaxRateText(store::TaxRate(parameters_, c, 3), figures_));
    }
    if (row.exchangeId)
      show(row.exchangeId, ExchangeRateText(parameters_.exchangeRates[c], figures_));
  }
}

void WaehrungDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 9: ShowHelp(this, 5); break;
    default: break;
  }
}

void WaehrungDialog::accept() {
  // Every rate is read before anything is taken: a field that holds no
  // number is named and nothing changes.
  std::optional<std::int16_t> rates[4][2];
  std::optional<float> exchange[4];
  for (int c = 0; c < 4; ++c) {
    const CurrencyRow& row = kRows[c];
    const std::string currency = std::to_string(c + 1) + ". Währung";
    if (row.rate2Id &&
        (!(rates[c][0] = ReadNumberField(this, row.rate2Id, "UmSt 2 der " + currency, ParseTaxRate)) ||
         !(rates[c][1] = ReadNumberField(this, row.rate3Id, "UmSt 3 der " + currency, ParseTaxRate))))
      return;
    if (row.exchangeId &&
        !(exchange[c] = ReadNumberField(this, row.exchangeId, "Kurs der " + currency, ParseExchangeRate)))
      return;
  }
  FieldWriter writer;
  for (int c = 0; c < 4; ++c) {
    const CurrencyRow& row = kRows[c];
    writer.write(Symbol(parameters_, c), 4, Control<QLineEdit>(this, row.symbolId)->text(), 3);
    if (row.rate2Id) {
      store::SetTaxRate(parameters_, c, 2, *rates[c][0]);
      store::SetTaxRate(parameters_, c, 3, *rates[c][1]);
    }
    if (row.exchangeId) parameters_.exchangeRates[c] = *exchange[c];
  }
  parameters_.fourthCurrencyPrint = Control<QCheckBox>(this, 2175)->isChecked() ? 1 : 0;
  parameters_.noDecimalsPrint = Control<QCheckBox>(this, 2176)->isChecked() ? 1 : 0;
  parameters_.noSingleTax = Control<QCheckBox>(this, 2236)->isChecked() ? 1 : 0;
  writer.reportTo(this);
  QDialog::accept();
}

}  // namespace frame
