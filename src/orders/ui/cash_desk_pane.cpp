#include "orders/ui/cash_desk_pane.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/frame_window.h"
#include "masterdata/ui/artikelsuchen_dialog.h"
#include "masterdata/ui/lrechnungdrucken_dialog.h"
#include "orders/ui/cash_customer_choice.h"
#include "orders/ui/print_job_call.h"
#include "orders/ui/rechnung_pane.h"
#include "printing/ui/qt_print_host.h"
#include "store/text_field.h"

namespace orders {

namespace {

using frame::Control;

constexpr int kArticleNumber = 2046;
constexpr int kDescription = 2051;
constexpr int kQuantity = 2043;
constexpr int kPrice = 2053;
constexpr int kRemark1 = 2060;
constexpr int kRemark2 = 2067;
constexpr int kCostPrice = 2071;
constexpr int kStock = 2193;
constexpr int kLines = 2064;
constexpr int kTotal = 2069;
constexpr int kSearch = 2025;
constexpr int kAdd = 2066;
constexpr int kRemove = 2068;
constexpr int kGoodsReceipt = 2097;
constexpr int kWithInvoice = 2076;
constexpr int kWithoutInvoice = 2070;

// Where Tab goes next, in this order, round and round.
constexpr int kTabOrder[] = {kArticleNumber, kDescription, kQuantity, kPrice,
                             kRemark1,       kRemark2,     kLines,    kAdd,
                             kRemove,        kGoodsReceipt, kWithInvoice};

// Reads back to the same cents in either figure style (ReadCents).
QString Money(frame::FigureStyle style, std::int32_t cents) {
  return QString::fromStdString(frame::Amount(style, cents / 100.0));
}

void SetText(QWidget* root, int id, const QString& text) {
  auto* edit = Control<QLineEdit>(root, id);
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

CashDeskPane::CashDeskPane(frame::AppState& app)
    : frame::Pane(QStringLiteral("L_RECHNUNG")), app_(app), sale_(app) {
  buildControls();
  connectEdits();
  sale_.startNew();
  showSale();
  Control<QLineEdit>(this, kArticleNumber)->setFocus();
}

void CashDeskPane::buildControls() {
  auto* top = new QVBoxLayout(this);
  top->setSpacing(3);
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  auto field = [&](int id, int limit, int row, int column, int span, const char* label) {
    QLineEdit* edit = frame::MakeEdit(this, id, limit);
    grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, column);
    grid->addWidget(edit, row, column + 1, 1, span);
    return edit;
  };
  field(kArticleNumber, 21, 0, 0, 1, "Artikelnummer");
  QPushButton* search = frame::MakeButton(this, kSearch, QStringLiteral("&Suchen"));
  grid->addWidget(search, 0, 2);
  auto* stockRow = new QHBoxLayout;
  stockRow->setSpacing(8);
  stockRow->addWidget(new QLabel(QStringLiteral("Bestand"), this));
  auto* stock = new QLabel(this);
  stock->setProperty("id", kStock);
  stock->setMinimumWidth(50);
  stockRow->addWidget(stock, 1);
  grid->addLayout(stockRow, 0, 3);
  field(kDescription, 41, 1, 0, 3, "Bezeichnung");
  field(kQuantity, 14, 2, 0, 1, "Anzahl");
  auto* priceRow = new QHBoxLayout;
  priceRow->setSpacing(8);
  priceRow->addWidget(new QLabel(QStringLiteral("Einzelpreis"), this));
  priceRow->addWidget(frame::MakeEdit(this, kPrice, 12), 1);
  grid->addLayout(priceRow, 2, 2, 1, 2);
  field(kRemark1, 41, 3, 0, 3, "Bemerkung 1");
  auto* remark2 = new frame::LimitedTextEdit(this, kRemark2, 255);
  remark2->setFixedHeight(fontMetrics().lineSpacing() * 2 + 10);
  remark2->setTabChangesFocus(true);
  grid->addWidget(new QLabel(QStringLiteral("Bemerkung 2"), this), 4, 0);
  grid->addWidget(remark2, 4, 1, 1, 3);
  // The cost price goes with the line but is not shown at the counter.
  frame::MakeEdit(this, kCostPrice, 12)->hide();
  top->addLayout(grid);

  list_ = new QListWidget(this);
  list_->setProperty("id", kLines);
  list_->setItemDelegate(new OrderLineDelegate(app_, list_));
  list_->setMinimumSize(420, 180);
  top->addWidget(list_, 1);

  auto button = [this](int id, const char* text) {
    QPushButton* b = frame::MakeButton(this, id, QString::fromUtf8(text));
    connect(b, &QPushButton::clicked, this, [this, id] { command(id); });
    return b;
  };
  connect(search, &QPushButton::clicked, this, [this] { command(kSearch); });
  auto* lineButtons = new QHBoxLayout;
  lineButtons->addWidget(button(kAdd, "&Hinzufügen"));
  lineButtons->addWidget(button(kRemove, "&Entfernen"));
  lineButtons->addWidget(button(kGoodsReceipt, "Warenzugang"));
  top->addLayout(lineButtons);
  auto* bookButtons = new QHBoxLayout;
  bookButtons->addWidget(button(kWithInvoice, "Buchen mit &Rechnung"));
  bookButtons->addWidget(button(kWithoutInvoice, "&Buchen ohne Rechnung"));
  top->addLayout(bookButtons);
  auto* totalRow = new QHBoxLayout;
  totalRow->addWidget(new QLabel(QStringLiteral("Rechnungsbetrag"), this));
  auto* total = new QLabel(this);
  total->setProperty("id", kTotal);
  QFont big = total->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.6);
  total->setFont(big);
  total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  totalRow->addWidget(total, 1);
  top->addLayout(totalRow);
}

void CashDeskPane::connectEdits() {
  store::OrderLine& line = app_.orderLines[0];
  auto text = [this](int id, char* target, std::size_t width, int limit) {
    connect(Control<QLineEdit>(this, id), &QLineEdit::textEdited, this,
            [this, target, width, limit](const QString& t) {
              if (filling_) return;
              frame::FieldWriter writer;
              writer.write(target, width, t, limit);
            });
  };
  text(kArticleNumber, line.articleNumber, sizeof line.articleNumber, 21);
  text(kDescription, line.description1, sizeof line.description1, 41);
  text(kRemark1, line.description2, sizeof line.description2, 41);
  auto* remark2 = Control<frame::LimitedTextEdit>(this, kRemark2);
  connect(remark2, &QPlainTextEdit::textChanged, this, [this, remark2] {
    if (filling_) return;
    frame::FieldWriter writer;
    writer.write(app_.orderLines[0].longText, remark2->storedText(), 255);
  });
  // A number field whose text is no number keeps its value; adding the line
  // is refused, naming the field, while it stands.
  auto number = [this](int id, const char* name, auto parse, auto apply) {
    connect(Control<QLineEdit>(this, id), &QLineEdit::textEdited, this,
            [=, this](const QString& t) {
              if (filling_) return;
              auto value = parse(t.toStdString());
              sale_.editor().markField(id, value.has_value(), frame::NotANumberMessage(name));
              if (value) apply(*value);
            });
  };
  number(kQuantity, "Anzahl", frame::ReadNumber, [this](double v) {
    sale_.editor().setQuantity(v, Control<QLineEdit>(this, kQuantity)->hasFocus());
    SetText(this, kPrice, Money(app_.figures, app_.orderLines[0].salePrice));
  });
  number(kPrice, "Einzelpreis", frame::ReadCents,
         [&line](std::int32_t v) { line.salePrice = v; });
  number(kCostPrice, "Einzel-EK", frame::ReadCents,
         [&line](std::int32_t v) { line.costPrice = v; });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_) sale_.editor().select(row);
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    sale_.editor().editLine(list_->row(item));
    stock_ = QStringLiteral("-");
    showSale();
  });
}

void CashDeskPane::showSale() {
  filling_ = true;
  sale_.editor().clearFieldMarks();
  const store::OrderLine& line = app_.orderLines[0];
  SetText(this, kArticleNumber, frame::FromField(line.articleNumber));
  SetText(this, kDescription, frame::FromField(line.description1));
  SetText(this, kQuantity, QString::fromStdString(frame::Quantity(app_.figures, line.quantity)));
  SetText(this, kPrice, Money(app_.figures, line.salePrice));
  SetText(this, kCostPrice, Money(app_.figures, line.costPrice));
  SetText(this, kRemark1, frame::FromField(line.description2));
  auto* remark2 = Control<frame::LimitedTextEdit>(this, kRemark2);
  if (remark2->storedText() != frame::FromField(line.longText))
    remark2->setStoredText(frame::FromField(line.longText));
  Control<QLabel>(this, kStock)->setText(stock_);
  Control<QLabel>(this, kTotal)->setText(QString::fromStdString(sale_.editor().totalText()));
  {
    const QSignalBlocker block(list_);
    if (list_->count() != sale_.lineCount()) {
      list_->clear();
      for (int i = 0; i < sale_.lineCount(); ++i) list_->addItem(QString::number(i + 1));
    }
    const int selected = sale_.editor().selection();
    list_->setCurrentRow(selected < sale_.lineCount() ? selected : -1);
    list_->viewport()->update();
  }
  filling_ = false;
}

void CashDeskPane::focusArticleNumber(bool empty) {
  if (empty) store::SetText(app_.orderLines[0].articleNumber, "");
  showSale();
  QLineEdit* edit = Control<QLineEdit>(this, kArticleNumber);
  edit->setFocus();
  edit->selectAll();
}

void CashDeskPane::focusNextField() {
  int at = -1;
  for (QWidget* w = QApplication::focusWidget(); w && at < 0 && w != this; w = w->parentWidget())
    for (int i = 0; i < static_cast<int>(std::size(kTabOrder)); ++i)
      if (w->property("id").toInt() == kTabOrder[i]) at = i;
  QWidget* next = frame::FindControl(this, kTabOrder[(at + 1) % std::size(kTabOrder)]);
  next->setFocus(Qt::TabFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(next)) edit->selectAll();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(next)) edit->selectAll();
}

void CashDeskPane::searchArticle() {
  if (app_.articles.lastIndex < 0) return;
  masterdata::ArtikelSuchenDialog dialog(app_, Control<QLineEdit>(this, kArticleNumber)->text(),
                                         window());
  if (dialog.exec() != 1) {
    sale_.editor().clearEditedLine();
    stock_ = QStringLiteral("-");
    focusArticleNumber(false);
    return;
  }
  sale_.takeArticle();
  stock_ = QString::number(static_cast<long long>(std::trunc(app_.article.stock[0])));
  showSale();
  // The quantity is what is typed next.
  QLineEdit* quantity = Control<QLineEdit>(this, kQuantity);
  quantity->setFocus();
  quantity->selectAll();
}

SaleDocument CashDeskPane::chooseDocument() {
  masterdata::LRechnungDruckenDialog dialog(app_, window());
  const int button = dialog.exec();
  SaleDocument document;
  document.chosen = button == masterdata::kPrintInvoice || button == masterdata::kPrintDeliveryNote;
  document.kind = button == masterdata::kPrintDeliveryNote ? DocumentKind::DeliveryNote
                                                           : DocumentKind::Invoice;
  document.copies = dialog.copies();
  document.paid = dialog.paid();
  return document;
}

bool CashDeskPane::mayReplace() {
  if ((sale_.lineCount() == 0 && !sale_.editor().lineWaiting()) || !app_.ui) return true;
  return app_.ui->question("Der Verkauf ist noch nicht gebucht.\n"
                           "Trotzdem schließen? Die Positionen gehen verloren.",
                           frame::Icon::Question, true);
}

void CashDeskPane::handleCommand(int id) {
  SaleEnd end = SaleEnd::Kept;
  switch (id) {
    case kNextField: focusNextField(); return;
    case kSearchFromNumber:
      // Enter: from the article number the search, from the quantity or the
      // price the line goes into the sale.
      if (Control<QLineEdit>(this, kArticleNumber)->hasFocus()) searchArticle();
      if (Control<QLineEdit>(this, kQuantity)->hasFocus() ||
          Control<QLineEdit>(this, kPrice)->hasFocus())
        command(kAdd);
      return;
    case kSearch: searchArticle(); return;
    case kAdd:
      sale_.add();
      stock_ = QStringLiteral("-");
      if (const int refused = sale_.editor().refusedField()) {
        showSale();
        Control<QLineEdit>(this, refused)->setFocus();
        return;
      }
      focusArticleNumber(true);
      return;
    case kRemove:
      sale_.editor().deleteLine();
      focusArticleNumber(true);
      return;
    case kWithoutInvoice:
      end = sale_.bookWithoutInvoice(
          [this](const std::vector<CashCustomerCandidate>& names) {
            return AskCashCustomer(app_, names, window());
          });
      break;
    case kGoodsReceipt: end = sale_.bookGoodsReceipt(); break;
    case kWithInvoice:
      end = sale_.bookWithDocument([this] { return chooseDocument(); }, ProgramPrintJob(app_));
      break;
    case printing::kJobFinishedNotice: end = SaleEnd::Booked; break;
    default: return;
  }
  // A sale that was stored never stays in the pane, also when the print job
  // sent no notice (its notice has started the next sale already).
  if (end != SaleEnd::Kept) {
    sale_.startNew();
    stock_ = QStringLiteral("-");
  }
  focusArticleNumber(false);
}

void InstallCashDeskPane(frame::FrameWindow& window) {
  if (!window.state().cashDeskMode) return;
  window.setPane(frame::PaneSlot::CashDesk, new CashDeskPane(window.state()));
}

}  // namespace orders
