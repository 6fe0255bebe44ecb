#include "masterdata/ui/artikeledit_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "widgets/number_field.h"
#include "core/user_interface.h"
#include "masterdata/article_values.h"
#include "store/article_file.h"
#include "store/service_article.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

using frame::Control;
using frame::FromField;

// Storage places 1..6.
constexpr int kStockIds[6] = {1102, 1110, 1111, 1120, 1121, 1122};
constexpr int kTaxIds[3] = {1129, 1130, 1131};
constexpr std::uint8_t kTaxBits[3] = {store::kArticleNoTax, store::kArticleTaxRate1,
                                      store::kArticleTaxRate2};
constexpr int kCurrencyIds[3] = {1132, 1133, 1134};
constexpr int kServiceId = 1135;

QRadioButton* MakeRadio(QWidget* parent, int id, const QString& text) {
  auto* radio = new QRadioButton(text, parent);
  radio->setProperty("id", id);
  return radio;
}

}  // namespace

ArtikelEditDialog::ArtikelEditDialog(frame::AppState& app, const store::ArticleRecord& article,
                                     bool isNew, QWidget* parent)
    : QDialog(parent), app_(app), article_(article), isNew_(isNew) {
  setObjectName(QStringLiteral("ARTIKELEDIT"));
  setWindowTitle(QStringLiteral("Artikel ändern"));
  auto* top = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  top->addLayout(columns);

  // Texts on the left.
  auto* texts = new QGridLayout;
  int row = 0;
  QLineEdit* number = frame::MakeEdit(this, 1128, kNumberChars);
  number->setText(FromField(article_.number));
  frame::AddRow(texts, row++, 0, QStringLiteral("Art.-Nr.:"), number);
  QLineEdit* designation = frame::MakeEdit(this, 1104, kDesignationChars);
  designation->setText(FromField(article_.designation));
  frame::AddRow(texts, row++, 0, QStringLiteral("Art.-Bez.:"), designation);
  auto* group = new QComboBox(this);
  group->setProperty("id", 1100);
  group->setEditable(true);
  group->setInsertPolicy(QComboBox::NoInsert);
  for (std::string_view name : app_.productGroups.offered())
    group->addItem(frame::FromCp1252(name));
  group->lineEdit()->setMaxLength(kProductGroupChars);
  group->setEditText(FromField(article_.productGroup));
  frame::AddRow(texts, row++, 0, QStringLiteral("Warengr.:"), group);
  QLineEdit* remark1 = frame::MakeEdit(this, 1105, kRemark1Chars);
  remark1->setText(FromField(article_.remark1));
  frame::AddRow(texts, row++, 0, QStringLiteral("Bem. 1:"), remark1);
  auto* remark2 = new frame::LimitedTextEdit(this, 1106, kRemark2Chars);
  remark2->setStoredText(FromField(article_.remark2));
  remark2->setFixedHeight(remark2->fontMetrics().lineSpacing() * 4 + 12);
  frame::AddRow(texts, row++, 0, QStringLiteral("Bem. 2:"), remark2);
  QLineEdit* supplier = frame::MakeEdit(this, 1101, kSupplierChars);
  supplier->setText(FromField(article_.supplier));
  frame::AddRow(texts, row++, 0, QStringLiteral("Lieferant:"), supplier);
  QLineEdit* unit = frame::MakeEdit(this, 1108, kUnitChars);
  unit->setText(FromField(article_.unit));
  frame::AddRow(texts, row++, 0, QStringLiteral("Einheit:"), unit);
  texts->setRowStretch(row, 1);
  columns->addLayout(texts, 3);

  // Prices and their tiers in the middle.
  auto* prices = new QGroupBox(QStringLiteral("Verkaufspreise:"), this);
  auto* priceGrid = new QGridLayout(prices);
  priceGrid->addWidget(new QLabel(QStringLiteral("ab Menge"), prices), 0, 1);
  priceGrid->addWidget(new QLabel(QStringLiteral("Preis"), prices), 0, 2);
  struct Tier {
    const char* label;
    int quantityId;
    std::int32_t quantity;
    int priceId;
    std::int32_t price;
  };
  const Tier tiers[] = {
      {"1", 0, 0, 1112, article_.price1},
      {"2", 1115, article_.quantityPrice2, 1113, article_.price2},
      {"3", 1116, article_.quantityPrice3, 1114, article_.price3},
      {"4", 1118, article_.quantityPrice4, 1117, article_.price4},
  };
  row = 1;
  for (const Tier& tier : tiers) {
    priceGrid->addWidget(new QLabel(QString::fromUtf8(tier.label), prices), row, 0);
    if (tier.quantityId)
      priceGrid->addWidget(
          showNumber(tier.quantityId, QuantityText(tier.quantity), kQuantityThresholdChars), row, 1);
    priceGrid->addWidget(
        showNumber(tier.priceId, PriceText(tier.price, app_.figures), PriceChars(app_.figures)),
        row, 2);
    ++row;
  }
  priceGrid->addWidget(new QLabel(QStringLiteral("Einkaufspreis:"), prices), row, 0, 1, 2);
  priceGrid->addWidget(
      showNumber(1119, PriceText(article_.purchasePrice, app_.figures), PriceChars(app_.figures)),
      row, 2);
  auto* middle = new QVBoxLayout;
  middle->addWidget(prices);

  auto* tax = new QGroupBox(QStringLiteral("Mehrwertsteuersatz:"), this);
  auto* taxRow = new QHBoxLayout(tax);
  auto* taxGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    QRadioButton* radio = MakeRadio(tax, kTaxIds[i], QString());
    taxGroup->addButton(radio);
    taxRow->addWidget(radio);
  }
  // The first tax bit set decides; an article with none shows none.
  for (int i = 0; i < 3; ++i)
    if (article_.flags & kTaxBits[i]) {
      Control<QRadioButton>(this, kTaxIds[i])->setChecked(true);
      break;
    }
  middle->addWidget(tax);
  // Working hours and flat rates are sold, never stocked.
  QCheckBox* service = frame::MakeCheck(this, kServiceId, QStringLiteral("Dienstleistung"));
  service->setChecked(store::IsServiceArticle(article_));
  middle->addWidget(service);

  auto* currency = new QGroupBox(QStringLiteral("Währung:"), this);
  auto* currencyRow = new QHBoxLayout(currency);
  auto* currencyGroup = new QButtonGroup(this);
  const char* symbols[3] = {app_.parameters.currencySymbol1, app_.parameters.currencySymbol2,
                            app_.parameters.currencySymbol3};
  for (int i = 0; i < 3; ++i) {
    QString symbol = frame::FromCp1252(store::GetText(symbols[i], 4));
    if (symbol.isEmpty()) symbol = QStringLiteral("%1.").arg(i + 1);
    QRadioButton* radio = MakeRadio(currency, kCurrencyIds[i], frame::Verbatim(symbol));
    currencyGroup->addButton(radio);
    currencyRow->addWidget(radio);
  }
  if (article_.currency < 3) Control<QRadioButton>(this, kCurrencyIds[article_.currency])->setChecked(true);
  // Each tax class names its rate in the currency chosen.
  auto showTaxRates = [this] {
    int chosen = 0;
    for (int i = 0; i < 3; ++i)
      if (Control<QRadioButton>(this, kCurrencyIds[i])->isChecked()) chosen = i;
    const char* taxLabels[3] = {"ohne", "1", "2"};
    for (int i = 0; i < 3; ++i)
      Control<QRadioButton>(this, kTaxIds[i])
          ->setText(frame::TaxClassChoice(taxLabels[i], app_.parameters, chosen, i, app_.figures));
  };
  showTaxRates();
  connect(currencyGroup, &QButtonGroup::buttonToggled, this, showTaxRates);
  middle->addWidget(currency);
  middle->addStretch(1);
  columns->addLayout(middle, 2);

  // Stock on the right.
  auto* stock = new QGroupBox(QStringLiteral("Bestand"), this);
  auto* stockGrid = new QGridLayout(stock);
  for (int i = 0; i < 6; ++i) {
    QString label = i == 0 ? QStringLiteral("Bestand 1:") : QString::number(i + 1);
    double value = article_.stock[i];
    frame::AddRow(stockGrid, i, 0, label,
                  showNumber(kStockIds[i], StockText(value, app_.figures), kStockChars));
  }
  frame::AddRow(stockGrid, 6, 0, QStringLiteral("Min. Best.:"),
                showNumber(1103, StockText(article_.minimumStock, app_.figures), kStockChars));
  frame::AddRow(stockGrid, 7, 0, QStringLiteral("Soll-Bestand:"),
                showNumber(1107, StockText(article_.targetStock, app_.figures), kStockChars));
  // The quantity on order is kept up to date by the back orders; the field
  // exists but is not shown.
  QLineEdit* ordered =
      showNumber(1109, StockText(article_.quantityOnOrder, app_.figures), kStockChars);
  ordered->hide();
  auto* right = new QVBoxLayout;
  right->addWidget(stock);
  right->addStretch(1);
  columns->addLayout(right, 2);

  auto* buttons = frame::MakeButtonRow(this, {{1, "&Übernehmen"}, {2, "&Abbruch"}, {16, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
  number->setFocus();
}

QLineEdit* ArtikelEditDialog::showNumber(int id, const std::string& text, int limit) {
  QString shown = QString::fromStdString(text);
  // A stored value wider than the field is still shown whole.
  QLineEdit* edit = frame::MakeEdit(this, id, std::max(limit, static_cast<int>(shown.size())));
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 9 + 14);
  edit->setAlignment(Qt::AlignRight);
  edit->setText(shown);
  shown_.insert(id, shown);
  return edit;
}

bool ArtikelEditDialog::untouched(int id) {
  return Control<QLineEdit>(this, id)->text() == shown_.value(id);
}

std::optional<std::int32_t> ArtikelEditDialog::price(int id, const char* name,
                                                     std::int32_t original) {
  if (untouched(id)) return original;
  return frame::ReadNumberField(this, id, name, ParsePrice, app_.ui);
}

std::int32_t ArtikelEditDialog::quantity(int id, std::int32_t original) {
  if (untouched(id)) return original;
  return ParseQuantity(
      Control<QLineEdit>(this, id)->text().toStdString());
}

std::optional<double> ArtikelEditDialog::stock(int id, const char* name, double original) {
  if (untouched(id)) return original;
  return frame::ReadNumberField(this, id, name, ParseStock, app_.ui);
}

void ArtikelEditDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 16: frame::ShowHelp(this, 23); break;
    default: break;
  }
}

void ArtikelEditDialog::accept() {
  store::ArticleRecord edited = article_;
  frame::FieldWriter writer;
  writer.write(edited.number, Control<QLineEdit>(this, 1128)->text(), kNumberChars);
  writer.write(edited.designation, Control<QLineEdit>(this, 1104)->text(), kDesignationChars);
  writer.write(edited.productGroup, Control<QComboBox>(this, 1100)->currentText(),
               kProductGroupChars);
  writer.write(edited.remark1, Control<QLineEdit>(this, 1105)->text(), kRemark1Chars);
  writer.write(edited.remark2, Control<frame::LimitedTextEdit>(this, 1106)->storedText(),
               kRemark2Chars);
  writer.write(edited.supplier, Control<QLineEdit>(this, 1101)->text(), kSupplierChars);
  writer.write(edited.unit, Control<QLineEdit>(this, 1108)->text(), kUnitChars);

  // A number field that holds no number stops here, before anything is kept.
  auto take = [](auto value, auto store) {
    if (value) store(*value);
    return value.has_value();
  };
  const char* stockNames[6] = {"Bestand 1", "Bestand 2", "Bestand 3",
                               "Bestand 4", "Bestand 5", "Bestand 6"};
  bool numbers =
      take(price(1112, "Preis 1", article_.price1), [&](auto v) { edited.price1 = v; }) &&
      take(price(1113, "Preis 2", article_.price2), [&](auto v) { edited.price2 = v; }) &&
      take(price(1114, "Preis 3", article_.price3), [&](auto v) { edited.price3 = v; }) &&
      take(price(1117, "Preis 4", article_.price4), [&](auto v) { edited.price4 = v; }) &&
      take(price(1119, "Einkaufspreis", article_.purchasePrice),
           [&](auto v) { edited.purchasePrice = v; });
  for (int i = 0; i < 6 && numbers; ++i)
    numbers = take(stock(kStockIds[i], stockNames[i], article_.stock[i]),
                   [&](auto v) { edited.stock[i] = v; });
  numbers = numbers &&
            take(stock(1103, "Min. Best.", article_.minimumStock),
                 [&](auto v) { edited.minimumStock = v; }) &&
            take(stock(1107, "Soll-Bestand", article_.targetStock),
                 [&](auto v) { edited.targetStock = v; }) &&
            take(stock(1109, "Bestellt", article_.quantityOnOrder),
                 [&](auto v) { edited.quantityOnOrder = v; });
  if (!numbers) return;
  edited.quantityPrice2 = quantity(1115, article_.quantityPrice2);
  edited.quantityPrice3 = quantity(1116, article_.quantityPrice3);
  edited.quantityPrice4 = quantity(1118, article_.quantityPrice4);

  for (int i = 0; i < 3; ++i)
    if (Control<QRadioButton>(this, kCurrencyIds[i])->isChecked())
      edited.currency = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 3; ++i)
    if (Control<QRadioButton>(this, kTaxIds[i])->isChecked())
      edited.flags = static_cast<std::uint8_t>((edited.flags & ~store::kArticleTaxMask) | kTaxBits[i]);

  store::MarkServiceArticle(edited, Control<QCheckBox>(this, kServiceId)->isChecked());

  if (writer.replacedAny() && !replacementReported_) {
    replacementReported_ = true;
    writer.reportTo(this);
  }
  if (int taken = store::ArticleNumberExists(app_, edited, isNew_)) {
    if (app_.ui)
      app_.ui->message(taken < 0 ? "Die Artikel konnten nicht gelesen werden."
                                 : "Artikelnummer ist schon vorhanden und muß anders lauten.",
                       frame::Icon::Exclamation);
    Control<QLineEdit>(this, 1128)->setFocus();
    return;
  }
  article_ = edited;
  QDialog::accept();
}

}  // namespace masterdata
