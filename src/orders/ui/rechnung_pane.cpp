#include "orders/ui/rechnung_pane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "core/command_ids.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/frame_window.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "orders/cancellation.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "orders/ui/article_offer.h"
#include "orders/ui/print_job_call.h"
#include "orders/ui/rechnungdrucken_dialog.h"
#include "printing/ui/qt_print_host.h"
#include "store/article_file.h"
#include "store/text_field.h"

namespace orders {

namespace {
// "Stornieren" and "Kopieren" of the pane.
constexpr int kCancelInvoice = 2240;
constexpr int kCopyOrder = 2241;
}  // namespace

namespace {

// The tax-class buttons of the edited line: id, name, the tax code they set
// and the class whose rate they show.
struct TaxChoice {
  int id;
  const char* name;
  std::int16_t code;
  int taxClass;
};
constexpr TaxChoice kTaxChoices[] = {{2228, "0", store::kTaxCodeNone, 0},
                                     {2229, "1", store::kTaxCodeRate1, 1},
                                     {2230, "2", store::kTaxCodeRate2, 2}};

// Column offsets of a list entry, in the units of a 600-unit wide entry.
constexpr double kEntryUnits = 600;

// The figures of the edit fields read back to the value they show (also the
// German "1.234,56"): ReadCents and ReadTenths take both styles.
QString Money(frame::FigureStyle style, std::int32_t cents) {
  return QString::fromStdString(frame::Amount(style, cents / 100.0));
}
QString Tenths(frame::FigureStyle style, std::int16_t tenths) {
  return QString::fromStdString(frame::Amount(style, tenths / 10.0, 1));
}

// The amount of a list entry; the point style keeps its old width of five,
// padded on the right.
std::string ListedAmount(frame::FigureStyle style, double amount) {
  std::string text = frame::Amount(style, amount);
  if (style == frame::FigureStyle::Point && text.size() < 5) text.append(5 - text.size(), ' ');
  return text;
}

QLineEdit* Edit(QWidget* root, int id) { return frame::Control<QLineEdit>(root, id); }

void SetEditText(QWidget* root, int id, const QString& text) {
  QLineEdit* edit = Edit(root, id);
  // Also the field with the focus: the keys (F11, F12, Alt+N ...) change the
  // order without taking the focus away, and a field must never show a value
  // that is not the order's. While the user types, only other fields are set.
  if (edit && edit->text() != text) edit->setText(text);
}

QString CurrencyName(const store::ParameterRecord& p, int currency) {
  const char* symbols[] = {p.currencySymbol1, p.currencySymbol2, p.currencySymbol3,
                           p.currencySymbol4};
  return frame::FromCp1252(store::GetText(symbols[currency >= 0 && currency < 4 ? currency : 0], 4));
}

}  // namespace

void OrderLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const int slot = index.row() + 1;
  if (slot >= static_cast<int>(app_.orderLines.size())) return;
  const store::OrderLine& line = app_.orderLines[slot];
  painter->save();
  const QRect r = option.rect;
  const double scale = r.width() / kEntryUnits;
  const bool selected = option.state & QStyle::State_Selected;
  painter->fillRect(r, selected ? option.palette.highlight() : option.palette.base());
  painter->setPen(!(option.state & QStyle::State_Enabled) ? option.palette.color(QPalette::Disabled, QPalette::Text)
                  : selected ? option.palette.highlightedText().color()
                             : option.palette.text().color());
  const int y = r.top() + 2 + painter->fontMetrics().ascent();
  auto at = [&](double units, const QString& text) {
    painter->drawText(r.left() + static_cast<int>(units * scale), y, text);
  };
  // Every column is cut where the next one begins.
  auto cut = [&](const QString& text, double from, double to) {
    return painter->fontMetrics().elidedText(text, Qt::ElideRight,
                                             static_cast<int>((to - from - 4) * scale));
  };
  const frame::FigureStyle style = app_.figures;
  at(0, cut(QString::fromStdString(frame::Quantity(style, line.quantity, 1)), 0, 55));
  at(55, cut(frame::FromField(line.articleNumber), 55, 150));
  at(150, cut(frame::FromField(line.description1), 150, 450));
  if (line.flags & store::kLineSpecialPrice) at(450, QStringLiteral("SP"));
  if (line.discount != 0)
    at(470, QString::fromStdString(frame::Percent(style, line.discount / 10.0)));
  if (line.flags & store::kLineBackOrder) at(510, QStringLiteral("NL"));
  const double amount = LineAmountListed(line);
  QString amountText = QString::fromStdString((line.flags & store::kLineNotInInvoiceRegister)
                                                  ? "(" + ListedAmount(style, amount) + ")"
                                                  : ListedAmount(style, amount));
  painter->drawText(QRect(r.left(), r.top() + 2, r.width() - 2, r.height() - 2),
                    Qt::AlignRight | Qt::AlignTop, amountText);
  painter->restore();
}

QSize OrderLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(350, std::max(20, option.fontMetrics.height() + 4));
}

RechnungPane::RechnungPane(frame::AppState& app, frame::FrameWindow& window)
    : frame::Pane(QStringLiteral("RECHNUNG")), app_(app), window_(window), editor_(app) {
  buildControls();
  connectEdits();
  editor_.setDunningLevelSource([this] {
    return static_cast<int>(frame::ParseWhole(Edit(this, 2225)->text().toStdString()));
  });
  app_.orders.position = 0;
  if (app_.restrictedMode) {
    frame::FindControl(this, 2071)->hide();
    frame::FindControl(this, 2191)->hide();
    frame::FindControl(this, 2167)->hide();  // the currency of the cost price
    frame::FindControl(this, 2063)->hide();
  }
  showOrder();
}

void RechnungPane::buildControls() {
  auto* top = new QVBoxLayout(this);
  top->setSpacing(3);

  // Head: the customer, the payment terms, the status and the number.
  auto* head = new QGroupBox(this);
  head->setProperty("id", 2078);
  auto* headGrid = new QGridLayout(head);
  headGrid->setVerticalSpacing(2);
  auto number = [&](int id, int limit, int row, int column, const QString& label) {
    QLineEdit* edit = frame::MakeEdit(head, id, limit);
    edit->setMinimumWidth(60);
    frame::AddRow(headGrid, row, column, label, edit);
  };
  number(2030, 11, 0, 0, QStringLiteral("Auftragsnummer"));
  Edit(this, 2030)->setReadOnly(true);
  number(2089, 12, 0, 1, QStringLiteral("Auftragsdatum"));
  number(2057, 4, 1, 0, QStringLiteral("Zahlfrist"));
  number(2059, 5, 1, 1, QStringLiteral("Skonto %"));
  number(2061, 4, 2, 0, QStringLiteral("Skontofrist"));
  number(2225, 3, 2, 1, QStringLiteral("Mahnstufe"));
  auto* flags = new QHBoxLayout;
  const std::pair<int, const char*> shownFlags[] = {{2032, "Ang."}, {2033, "Auf."}, {2034, "KV"},
                                                    {2031, "Lief."}, {2039, "Rech."}, {2042, "Geb."}};
  for (auto [id, text] : shownFlags) {
    QCheckBox* box = frame::MakeCheck(head, id, QString::fromUtf8(text));
    // The marks show what was printed; they are set by printing, not here.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    flags->addWidget(box);
  }
  flags->addStretch(1);
  flags->addWidget(new QLabel(QStringLiteral("Offene"), head));
  auto* open = new QLabel(head);
  open->setProperty("id", 2075);
  open->setMinimumWidth(70);
  open->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  flags->addWidget(open);
  headGrid->addLayout(flags, 3, 0, 1, 4);
  top->addWidget(head);

  // The line being edited.
  auto* edited = new QGroupBox(this);
  auto* lineGrid = new QGridLayout(edited);
  lineGrid->setVerticalSpacing(2);
  auto field = [&](int id, int limit, int row, int column, int span, const QString& label) {
    QLineEdit* edit = frame::MakeEdit(edited, id, limit);
    edit->setMinimumWidth(50);
    auto* caption = new QLabel(label, edited);
    lineGrid->addWidget(caption, row, column);
    lineGrid->addWidget(edit, row, column + 1, 1, span);
    return caption;
  };
  field(2046, 21, 0, 0, 1, QStringLiteral("Art.-Nr."));
  field(2043, 14, 0, 2, 1, QStringLiteral("Anzahl"));
  auto* unit = new QLabel(edited);
  unit->setProperty("id", 2190);
  unit->setMinimumWidth(40);
  lineGrid->addWidget(unit, 0, 4);
  field(2051, 41, 1, 0, 4, QStringLiteral("Artikelbezeichnung"));
  field(2060, 41, 2, 0, 4, QString());
  auto* longText = new frame::LimitedTextEdit(edited, 2067, 255);
  longText->setFixedHeight(fontMetrics().lineSpacing() * 2 + 10);
  lineGrid->addWidget(longText, 3, 1, 1, 4);
  // The amounts with the name of the order's currency right behind them.
  auto currency = [&](QHBoxLayout* cell, int id) {
    auto* name = new QLabel(edited);
    name->setProperty("id", id);
    name->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWW")));
    cell->addWidget(name);
  };
  auto money = [&](int id, int row, const QString& label, int currencyId) {
    QLineEdit* edit = frame::MakeEdit(edited, id, 12);
    edit->setMinimumWidth(50);
    auto* caption = new QLabel(label, edited);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(4);
    cell->addWidget(edit, 1);
    currency(cell, currencyId);
    lineGrid->addWidget(caption, row, 0);
    lineGrid->addLayout(cell, row, 1);
    return caption;
  };
  money(2053, 4, QStringLiteral("Einzel-VK"), 2166);
  field(2055, 6, 4, 2, 1, QStringLiteral("Rabatt %"));
  QLabel* costLabel = money(2071, 5, QStringLiteral("Einzel-EK"), 2167);
  costLabel->setProperty("id", 2191);
  auto* sumLabel = new QLabel(QStringLiteral("Summe"), edited);
  lineGrid->addWidget(sumLabel, 5, 2);
  auto* sumCell = new QHBoxLayout;
  sumCell->setSpacing(4);
  auto* sum = new QLabel(edited);
  sum->setProperty("id", 2072);
  sumCell->addWidget(sum);
  currency(sumCell, 2168);
  sumCell->addStretch(1);
  lineGrid->addLayout(sumCell, 5, 3);
  auto* options = new QHBoxLayout;
  options->addWidget(frame::MakeCheck(edited, 2130, QStringLiteral("SP")));
  options->addWidget(frame::MakeCheck(edited, 2136, QStringLiteral("NL")));
  options->addWidget(frame::MakeCheck(edited, 2231, QStringLiteral("nicht im RAB")));
  options->addSpacing(12);
  options->addWidget(new QLabel(QStringLiteral("UmSt"), edited));
  // The group's button ids are the tax codes the buttons stand for.
  taxGroup_ = new QButtonGroup(this);
  for (const TaxChoice& choice : kTaxChoices) {
    auto* radio = new QRadioButton(QString::fromUtf8(choice.name), edited);
    radio->setProperty("id", choice.id);
    taxGroup_->addButton(radio, choice.code);
    options->addWidget(radio);
  }
  options->addStretch(1);
  lineGrid->addLayout(options, 6, 0, 1, 5);
  auto* lineButtons = new QHBoxLayout;
  for (auto [id, text] : {std::pair{2079, "Übernahme"}, std::pair{2068, "Löschen"},
                          std::pair{2077, "Einfügen"}, std::pair{2066, "Anfügen"}}) {
    QPushButton* button = frame::MakeButton(edited, id, QString::fromUtf8(text));
    connect(button, &QPushButton::clicked, this, [this, id = id] { command(id); });
    lineButtons->addWidget(button);
  }
  lineGrid->addLayout(lineButtons, 7, 0, 1, 5);
  top->addWidget(edited);

  list_ = new QListWidget(this);
  list_->setProperty("id", 2064);
  list_->setItemDelegate(new OrderLineDelegate(app_, list_));
  list_->setMinimumHeight(150);
  QFont listFont(QStringLiteral("Arial"));
  listFont.setPixelSize(13);
  list_->setFont(listFont);
  top->addWidget(list_, 1);

  auto* bottom = new QGridLayout;
  const struct {
    int id;
    const char* text;
    int row, column;
  } buttons[] = {{2073, "<", 0, 0},           {2074, ">", 0, 1},         {2080, "S&uchen [F9]", 0, 2},
                 {2076, "&Drucken", 0, 3},    {2070, "&Speichern", 1, 0}, {2063, "Löschen", 1, 1},
                 {2062, "&Neu", 1, 2},        {kCancelInvoice, "Stornieren", 2, 0},
                 {kCopyOrder, "Kopieren", 2, 1}};
  for (const auto& b : buttons) {
    QPushButton* button = frame::MakeButton(this, b.id, QString::fromUtf8(b.text));
    connect(button, &QPushButton::clicked, this, [this, id = b.id] { command(id); });
    bottom->addWidget(button, b.row, b.column);
  }
  auto* totalRow = new QHBoxLayout;
  totalRow->addWidget(new QLabel(QStringLiteral("Rechnungsbetrag"), this));
  auto* total = new QLabel(this);
  total->setProperty("id", 2069);
  QFont bold = total->font();
  bold.setBold(true);
  total->setFont(bold);
  totalRow->addWidget(total);
  bottom->addLayout(totalRow, 1, 3);
  top->addLayout(bottom);
}

void RechnungPane::connectEdits() {
  auto edited = [this](int id, auto apply) {
    connect(Edit(this, id), &QLineEdit::textEdited, this, [this, apply](const QString& text) {
      if (filling_) return;
      apply(text.toStdString());
    });
  };
  // Enter in the article number field takes the article of that number,
  // when there is one, as "Übernahme" takes the current article.
  connect(Edit(this, 2046), &QLineEdit::returnPressed, this, [this] {
    frame::FieldWriter writer;
    store::ArticleRecord key{};
    writer.write(key.number, Edit(this, 2046)->text(), sizeof key.number - 1);
    std::int32_t position = -1;
    store::ArticleRecord article{};
    if (numberOffer_->takeChosen()) return;
    if (store::GetText(key.number).empty() || !store::FindArticleByNumber(app_, key, position) ||
        !store::ReadArticle(app_, article, position))
      return;
    app_.article = article;
    app_.articles.position = position;
    if (frame::Pane* articles = window_.pane(frame::PaneSlot::Article)) articles->refresh();
    command(2079);
  });
  // Typing a number or words of a designation offers the matching
  // articles; the chosen one is taken over as "Übernahme" takes it, and the
  // quantity is next.
  auto take = [this](std::int32_t position) {
    store::ArticleRecord article{};
    if (!store::ReadArticle(app_, article, position)) return;
    app_.article = article;
    app_.articles.position = position;
    if (frame::Pane* articles = window_.pane(frame::PaneSlot::Article)) articles->refresh();
    command(2079);
    // After the list has closed and given the focus back to the field.
    QTimer::singleShot(0, this, [this] {
      Edit(this, 2043)->setFocus();
      Edit(this, 2043)->selectAll();
    });
  };
  numberOffer_ = new ArticleOffer(app_, Edit(this, 2046), take);
  designationOffer_ = new ArticleOffer(app_, Edit(this, 2051), take);
  connect(Edit(this, 2051), &QLineEdit::returnPressed, this,
          [this] { designationOffer_->takeChosen(); });
  store::OrderHead& head = app_.order;
  store::OrderLine& line = app_.orderLines[0];
  // Number fields: a text that is no number is not taken; the editor
  // refuses to save or append while it stands, naming the field.
  auto number = [this](int id, const char* name, auto parse, auto apply) {
    connect(Edit(this, id), &QLineEdit::textEdited, this, [=, this](const QString& text) {
      if (filling_) return;
      auto value = parse(text.toStdString());
      editor_.markField(id, value.has_value(), frame::NotANumberMessage(name));
      if (value) apply(*value);
    });
  };
  auto days = [](std::string_view t) -> std::optional<std::int16_t> {
    std::optional<double> value = frame::ReadNumber(t);
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(std::clamp(*value, -32768.0, 32767.0));
  };
  number(2057, "Zahlfrist", days, [&head](std::int16_t v) { head.paymentPeriod = v; });
  number(2061, "Skontofrist", days, [&head](std::int16_t v) { head.cashDiscountPeriod = v; });
  number(2059, "Skonto %", frame::ReadTenths, [&head](std::int16_t v) { head.cashDiscount = v; });
  edited(2089, [this](const std::string& t) { editor_.setOrderDate(t); });
  number(2055, "Rabatt %", frame::ReadTenths, [this, &line](std::int16_t v) {
    line.discount = v;
    showLineAmount();
  });
  number(2053, "Einzel-VK", frame::ReadCents, [this, &line](std::int32_t v) {
    line.salePrice = v;
    showLineAmount();
  });
  number(2071, "Einzel-EK", frame::ReadCents, [&line](std::int32_t v) { line.costPrice = v; });
  number(2043, "Anzahl", frame::ReadNumber, [this](double v) {
    editor_.setQuantity(v, Edit(this, 2043)->hasFocus());
    SetEditText(this, 2053, Money(app_.figures, app_.orderLines[0].salePrice));
    showLineAmount();
  });
  auto text = [this](int id, char* field, std::size_t width, int limit) {
    connect(Edit(this, id), &QLineEdit::textEdited, this, [this, field, width, limit](const QString& t) {
      if (filling_) return;
      frame::FieldWriter writer;
      writer.write(field, width, t, limit);
    });
  };
  text(2046, line.articleNumber, sizeof line.articleNumber, 21);
  connect(Edit(this, 2046), &QLineEdit::textEdited, this, [this] {
    if (!filling_) editor_.articleNumberTyped();
  });
  text(2051, line.description1, sizeof line.description1, 41);
  text(2060, line.description2, sizeof line.description2, 41);
  auto* longText = frame::Control<frame::LimitedTextEdit>(this, 2067);
  connect(longText, &QPlainTextEdit::textChanged, this, [this, longText] {
    if (filling_) return;
    frame::FieldWriter writer;
    writer.write(app_.orderLines[0].longText, longText->storedText(), 255);
  });
  auto flag = [this](int id, std::uint16_t bit) {
    connect(frame::Control<QCheckBox>(this, id), &QCheckBox::toggled, this, [this, bit](bool on) {
      if (filling_) return;
      std::uint16_t flags = app_.orderLines[0].flags;
      app_.orderLines[0].flags = on ? (flags | bit) : (flags & ~bit);
    });
  };
  flag(2130, store::kLineSpecialPrice);
  flag(2136, store::kLineBackOrder);
  flag(2231, store::kLineNotInInvoiceRegister);
  // A click sets the class even on the button that is already checked: after
  // "Anfügen" the empty line shows "0", and that "0" must count when chosen.
  connect(taxGroup_, &QButtonGroup::idClicked, this, [this](int code) {
    if (!filling_) app_.orderLines[0].taxCode = static_cast<std::int16_t>(code);
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_) editor_.select(row);
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (editor_.booked()) return;
    if (editor_.editLine(list_->row(item)))
      if (frame::Pane* articles = window_.pane(frame::PaneSlot::Article)) articles->refresh();
    showOrder();
  });
}

void RechnungPane::fillList() {
  const QSignalBlocker block(list_);
  list_->clear();
  for (int i = 0; i < editor_.lineCount(); ++i) list_->addItem(QString::number(i + 1));
  list_->setCurrentRow(editor_.selection() < editor_.lineCount() ? editor_.selection() : -1);
}

void RechnungPane::showLineAmount() {
  frame::Control<QLabel>(this, 2072)
      ->setText(
          QString::fromStdString(frame::Amount(app_.figures, LineAmountShown(app_.orderLines[0]))));
}

void RechnungPane::showEditedLine() {
  const store::OrderLine& line = app_.orderLines[0];
  SetEditText(this, 2046, frame::FromField(line.articleNumber));
  SetEditText(this, 2043, QString::fromStdString(frame::Quantity(app_.figures, line.quantity)));
  frame::Control<QLabel>(this, 2190)->setText(frame::FromField(line.unit));
  SetEditText(this, 2051, frame::FromField(line.description1));
  SetEditText(this, 2060, frame::FromField(line.description2));
  auto* longText = frame::Control<frame::LimitedTextEdit>(this, 2067);
  if (longText->storedText() != frame::FromField(line.longText))
    longText->setStoredText(frame::FromField(line.longText));
  SetEditText(this, 2053, Money(app_.figures, line.salePrice));
  SetEditText(this, 2055, Tenths(app_.figures, line.discount));
  SetEditText(this, 2071, Money(app_.figures, line.costPrice));
  frame::Control<QCheckBox>(this, 2130)->setChecked(line.flags & store::kLineSpecialPrice);
  frame::Control<QCheckBox>(this, 2136)->setChecked(line.flags & store::kLineBackOrder);
  frame::Control<QCheckBox>(this, 2231)->setChecked(line.flags & store::kLineNotInInvoiceRegister);
  // Any other stored code shows as class "0".
  int taxId = line.taxCode == store::kTaxCodeRate1 ? 2229 : line.taxCode == store::kTaxCodeRate2 ? 2230 : 2228;
  frame::Control<QRadioButton>(this, taxId)->setChecked(true);
  showLineAmount();
}

void RechnungPane::showOrder() {
  filling_ = true;
  // Every field shows the order's value again: no refused text stands.
  editor_.clearFieldMarks();
  const store::OrderHead& head = app_.order;
  const store::AddressRecord& customer = app_.orderAddress;
  QString name1 = frame::FromField(customer.name1), name2 = frame::FromField(customer.name2);
  frame::Control<QGroupBox>(this, 2078)
      ->setTitle(frame::Verbatim(name1.isEmpty() ? name2 : name1 + " " + name2));
  for (const TaxChoice& choice : kTaxChoices)
    frame::Control<QRadioButton>(this, choice.id)
        ->setText(frame::TaxClassChoice(choice.name, app_.parameters, head.currency,
                                        choice.taxClass, app_.figures));
  SetEditText(this, 2030, head.orderNumber ? QString::number(head.orderNumber) : QString());
  SetEditText(this, 2089, frame::FromField(head.orderDate));
  SetEditText(this, 2057, QString::number(head.paymentPeriod));
  SetEditText(this, 2059, Tenths(app_.figures, head.cashDiscount));
  SetEditText(this, 2061, QString::number(head.cashDiscountPeriod));
  SetEditText(this, 2225, QString::number(head.dunningLevel));
  const std::pair<int, std::uint16_t> marks[] = {
      {2032, store::kOrderQuotationPrinted},     {2033, store::kOrderConfirmationPrinted},
      {2034, store::kOrderCostEstimatePrinted},  {2031, store::kOrderDeliveryNotePrinted},
      {2039, store::kOrderInvoicePrinted},       {2042, store::kOrderBooked}};
  for (auto [id, bit] : marks) frame::Control<QCheckBox>(this, id)->setChecked(head.flags & bit);
  frame::Control<QLabel>(this, 2075)
      ->setText(QString::fromStdString(OpenAmountText(head, app_.figures)));
  const QString currency = CurrencyName(app_.parameters, head.currency);
  for (int id : {2166, 2167, 2168}) frame::Control<QLabel>(this, id)->setText(currency);
  frame::Control<QLabel>(this, 2069)->setText(QString::fromStdString(editor_.totalText()));
  const bool booked = editor_.booked();
  for (int id : {2070, 2066, 2068, 2077}) frame::FindControl(this, id)->setEnabled(!booked);
  showEditedLine();
  if (list_->count() != editor_.lineCount()) {
    fillList();
  } else {
    const QSignalBlocker block(list_);
    list_->setCurrentRow(editor_.selection() < editor_.lineCount() ? editor_.selection() : -1);
    list_->viewport()->update();
  }
  filling_ = false;
}

bool RechnungPane::mayReplace() {
  if (!editor_.unsavedWork() || !app_.ui) return true;
  switch (app_.ui->ask("Auftrag speichern ?", frame::Icon::Question)) {
    case frame::UserInterface::Choice::No: return true;
    case frame::UserInterface::Choice::Cancel: return false;
    case frame::UserInterface::Choice::Yes: break;
  }
  editor_.save(true);
  showOrder();
  // An order that could not be stored is not given up.
  return !editor_.unsavedWork();
}

void RechnungPane::cancelInvoice() {
  if (!mayReplace()) return;
  if (!IssuedAsInvoice(app_.order)) {
    app_.ui->message("Storniert wird nur eine ausgestellte Rechnung.", frame::Icon::Stop);
    return;
  }
  const long number = app_.order.orderNumber;
  if (!app_.ui->question(frame::Format("Rechnung Nr. %ld mit einer Gutschrift über den ganzen "
                                       "Betrag stornieren ?",
                                       number),
                         frame::Icon::Question, true))
    return;
  std::int32_t creditNote = 0;
  if (!CancelInvoice(app_, FormatDate(*app_.clock), creditNote)) {
    editor_.reload();
    return;
  }
  editor_.reload();
  app_.ui->message(frame::Format("Die Rechnung Nr. %ld ist mit der Gutschrift Nr. %ld storniert.",
                                 number, static_cast<long>(creditNote)),
                   frame::Icon::Information);
}

void RechnungPane::copyOrder() {
  if (app_.order.orderNumber == 0 || !mayReplace()) return;
  std::int32_t copy = 0;
  CopyOrder(app_, copy);
  editor_.reload();
}

void RechnungPane::jobFinished() {
  // Only an order that is stored as it stands is read again: the printed
  // flags and dates come from the file. A new or changed order stays.
  if (app_.order.stored == 1 && !editor_.changed()) editor_.reload();
  fillList();
  showOrder();
}

void RechnungPane::handleCommand(int id) {
  switch (id) {
    case 2079: editor_.takeOverArticle(); break;
    case 2066: editor_.appendLine(); break;
    case 2077: editor_.insertLine(); break;
    case 2068: editor_.deleteLine(); break;
    case 2073: editor_.browse(false); break;
    case 2074: editor_.browse(true); break;
    case 2062: editor_.newOrder(); break;
    case 2063: editor_.deleteOrder(); break;
    case 2070: editor_.save(); break;
    case 2076: editor_.print(printDialog_); break;
    case kCancelInvoice: cancelInvoice(); break;
    case kCopyOrder: copyOrder(); break;
    case 2080:
      if (app_.orders.lastIndex >= 0 && searchDialog_) searchDialog_();
      editor_.clearEditedLine();
      break;
    case frame::cmd::kAddressChanged: editor_.customerChanged(); break;
    default: return;
  }
  const int refused = editor_.refusedField();
  fillList();
  showOrder();
  if (refused) Edit(this, refused)->setFocus();
}

void InstallOrderPane(frame::FrameWindow& window) {
  if (window.state().cashDeskMode) return;
  frame::AppState& app = window.state();
  auto* pane = new RechnungPane(app, window);
  window.setPane(frame::PaneSlot::Order, pane);
  // The preview of an order document mails it as the print dialog would.
  if (printing::QtPrintHost* host = printing::QtPrintHost::current())
    host->setMailer({MailsDocumentJob, [&app, &window](const printing::PrintSession& session) {
                       MailDocumentJob(app, session.job, session.inputs.printDate, &window);
                     }});
  pane->setPrintDialog([&app, &window] {
    RechnungDruckenDialog dialog(app, ProgramPrintJob(app), &window);
    // The print job closes the dialog once a document is out.
    if (printing::QtPrintHost* host = printing::QtPrintHost::current())
      host->setOrderPrintDialog(&dialog);
    dialog.exec();
    if (printing::QtPrintHost* host = printing::QtPrintHost::current())
      host->setOrderPrintDialog(nullptr);
  });
}

}  // namespace orders
