#include "masterdata/ui/artikel_pane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>

#include "core/command_ids.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/frame_window.h"
#include "core/user_interface.h"
#include "masterdata/active_search.h"
#include "masterdata/article_values.h"
#include "masterdata/moved_article.h"
#include "masterdata/ui/artikelauswahl_dialog.h"
#include "masterdata/ui/artikeledit_dialog.h"
#include "masterdata/ui/artikelsuchen_dialog.h"
#include "masterdata/ui/langtext2_dialog.h"
#include "pictures/ui/picture_window.h"
#include "store/article_file.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

using frame::Control;

enum Command {
  kPrevious = 2023,
  kNext = 2024,
  kSearch = 2025,
  kChange = 2026,
  kDelete = 2027,
  kNew = 2028,
  kPicture = 2135,
  kText = 2139,
  kBackOrders = 2143,
  kEndSearch = 2148,
};
// The line that names the search browsing follows.
constexpr int kSearchLine = 2147;

// What restricted mode hides: change, delete, and supplier, target and
// minimum stock with their labels.
constexpr int kRestrictedControls[] = {kChange, kDelete, 1101, 2182, 1107, 2183, 1103, 2181};

QLineEdit* ShowField(QWidget* parent, int id, int chars) {
  auto* field = new QLineEdit(parent);
  field->setProperty("id", id);
  field->setReadOnly(true);
  field->setMinimumWidth(field->fontMetrics().averageCharWidth() * chars + 12);
  return field;
}

QLabel* Label(QWidget* parent, const QString& text, int id = 0) {
  auto* label = new QLabel(text, parent);
  if (id) label->setProperty("id", id);
  return label;
}

QString CurrencySymbol(const frame::AppState& app, int currency) {
  const char* symbols[4] = {app.parameters.currencySymbol1, app.parameters.currencySymbol2,
                            app.parameters.currencySymbol3, app.parameters.currencySymbol4};
  if (currency < 0 || currency > 3) return {};
  return frame::FromCp1252(store::GetText(symbols[currency], 4));
}

}  // namespace

ArtikelPane::ArtikelPane(frame::AppState& app, QWidget* parent)
    : frame::Pane(QStringLiteral("ARTIKEL"), parent), app_(app) {
  // Browsing starts with every article whose number does not name the
  // placeholder, from the first one.
  store::SetText(app_.articleCriteria.number, kNoNumberCriterion);
  app_.articles.position = 0;
  // Two more panes stand beside this one: it takes no more room than it needs.
  setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);
  top->setSpacing(4);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  top->addLayout(grid);
  int row = 0;
  grid->addWidget(Label(this, QStringLiteral("Art.-Nr.:")), row, 0);
  grid->addWidget(ShowField(this, 1128, 14), row++, 1, 1, 3);
  grid->addWidget(Label(this, QStringLiteral("Art.-Bez.:")), row, 0);
  grid->addWidget(ShowField(this, 1104, 20), row++, 1, 1, 3);
  grid->addWidget(Label(this, QStringLiteral("Warengr.:")), row, 0);
  grid->addWidget(ShowField(this, 1100, 14), row++, 1, 1, 3);
  grid->addWidget(Label(this, QStringLiteral("Bem. 1:")), row, 0);
  grid->addWidget(ShowField(this, 1105, 20), row++, 1, 1, 3);
  grid->addWidget(Label(this, QStringLiteral("Bem. 2:")), row, 0, Qt::AlignTop);
  auto* remark2 = new frame::LimitedTextEdit(this, 1106, kRemark2Chars);
  remark2->setReadOnly(true);
  remark2->setFixedHeight(remark2->fontMetrics().lineSpacing() * 3 + 10);
  grid->addWidget(remark2, row++, 1, 1, 3);
  grid->addWidget(Label(this, QStringLiteral("Lieferant:"), 2182), row, 0);
  grid->addWidget(ShowField(this, 1101, 8), row, 1);
  grid->addWidget(Label(this, QStringLiteral("Einheit:")), row, 2);
  grid->addWidget(ShowField(this, 1108, 5), row++, 3);
  grid->addWidget(Label(this, QStringLiteral("Soll-Best.:"), 2183), row, 0);
  grid->addWidget(ShowField(this, 1107, 8), row, 1);
  grid->addWidget(Label(this, QStringLiteral("Min. Best.:"), 2181), row, 2);
  grid->addWidget(ShowField(this, 1103, 8), row++, 3);
  grid->addWidget(Label(this, QStringLiteral("Preis:")), row, 0);
  auto* price = new QHBoxLayout;
  QLineEdit* priceField = ShowField(this, 1112, 8);
  priceField->setAlignment(Qt::AlignRight);
  price->addWidget(priceField, 1);
  price->addWidget(Label(this, QString(), 2180));
  grid->addLayout(price, row, 1);
  grid->addWidget(Label(this, QStringLiteral("Bestand:")), row, 2);
  QLineEdit* total = ShowField(this, 1102, 8);
  total->setAlignment(Qt::AlignRight);
  grid->addWidget(total, row++, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  auto* buttons = new QGridLayout;
  buttons->setSpacing(4);
  const std::pair<int, const char*> kButtons[] = {
      {kPrevious, "<\n[F7]"},     {kNext, ">\n[F8]"},
      {kSearch, "Suchen\n[F5]"},  {kChange, "Ändern\n[F6]"},
      {kDelete, "Löschen"},       {kNew, "Neu"},
      {kPicture, "Bild anzeigen"}, {kBackOrders, "Nachlieferung ?"},
  };
  int index = 0;
  for (auto [id, text] : kButtons) {
    QPushButton* button = frame::MakeButton(this, id, QString::fromUtf8(text));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, id = id] { command(id); });
    buttons->addWidget(button, index / 4, index % 4);
    ++index;
  }
  QPushButton* text = frame::MakeButton(this, kText, QStringLiteral("Text"));
  connect(text, &QPushButton::clicked, this, [this] { command(kText); });
  text->hide();
  top->addLayout(buttons);
  // While a search is on, < and > step through its hits only: the pane says
  // so, with the way out beside it.
  auto* searchRow = new QHBoxLayout;
  auto* searchLine = Label(this, QString(), kSearchLine);
  QFont bold = searchLine->font();
  bold.setBold(true);
  searchLine->setFont(bold);
  searchRow->addWidget(searchLine, 1);
  QPushButton* endSearch = frame::MakeButton(this, kEndSearch, QStringLiteral("Suche beenden"));
  endSearch->setFocusPolicy(Qt::NoFocus);
  connect(endSearch, &QPushButton::clicked, this, [this] { command(kEndSearch); });
  searchRow->addWidget(endSearch);
  top->addLayout(searchRow);
  top->addStretch(1);

  if (app_.restrictedMode)
    for (int id : kRestrictedControls) FindControl(this, id)->hide();
  showCurrentArticle();
  showSearchLine();
}

void ArtikelPane::showEvent(QShowEvent* event) {
  frame::Pane::showEvent(event);
  if (firstShown_) return;
  firstShown_ = true;
  // Once the window is up and the start-up has loaded the counts: the
  // article at the current position.
  QTimer::singleShot(0, this, [this] {
    if (app_.articles.position != -1) readCurrent(app_.articles.position);
    showCurrentArticle();
  });
}

void ArtikelPane::paintEvent(QPaintEvent* event) {
  // Other parts of the program change the current article and only ask for
  // a repaint.
  if (std::memcmp(&shown_, &app_.article, sizeof shown_) != 0 ||
      shownSymbol_ != CurrencySymbol(app_, app_.article.currency))
    showCurrentArticle();
  frame::Pane::paintEvent(event);
}

void ArtikelPane::showCurrentArticle() {
  const store::ArticleRecord& a = app_.article;
  shown_ = a;
  shownSymbol_ = CurrencySymbol(app_, a.currency);
  Control<QLineEdit>(this, 1128)->setText(frame::FromField(a.number));
  Control<QLineEdit>(this, 1104)->setText(frame::FromField(a.designation));
  Control<QLineEdit>(this, 1100)->setText(frame::FromField(a.productGroup));
  Control<QLineEdit>(this, 1105)->setText(frame::FromField(a.remark1));
  Control<frame::LimitedTextEdit>(this, 1106)->setStoredText(frame::FromField(a.remark2));
  Control<QLineEdit>(this, 1101)->setText(frame::FromField(a.supplier));
  Control<QLineEdit>(this, 1108)->setText(frame::FromField(a.unit));
  Control<QLineEdit>(this, 1107)
      ->setText(QString::fromStdString(StockText(a.targetStock, app_.figures)));
  Control<QLineEdit>(this, 1103)
      ->setText(QString::fromStdString(StockText(a.minimumStock, app_.figures)));
  Control<QLineEdit>(this, 1112)
      ->setText(QString::fromStdString(PriceText(a.price1, app_.figures)));
  Control<QLabel>(this, 2180)->setText(shownSymbol_);
  Control<QLineEdit>(this, 1102)
      ->setText(QString::fromStdString(StockText(TotalStock(a), app_.figures)));
  for (int id : {1128, 1104, 1100, 1105, 1101, 1108}) Control<QLineEdit>(this, id)->setCursorPosition(0);
}

bool ArtikelPane::readCurrent(std::int32_t position) {
  store::ArticleRecord article{};
  if (!store::ReadArticle(app_, article, position)) return false;
  app_.article = article;
  app_.articles.position = position;
  return true;
}

void ArtikelPane::tellNotSaved(const frame::MessageCount& said) {
  // The store names the file that held up a number change; once is enough.
  if (app_.ui && said.shown() == 0)
    app_.ui->message("Der Artikel konnte nicht gespeichert werden.", frame::Icon::Exclamation);
}

void ArtikelPane::handleCommand(int id) {
  switch (id) {
    case kPrevious: browse(false); break;
    case kNext: browse(true); break;
    case kSearch: search(); break;
    case kChange: change(); break;
    case kDelete: remove(); break;
    case kNew: create(); break;
    case kText: remarkText(); break;
    case kPicture: showPicture(); break;
    // The back-order list comes with its own window; until then the
    // command is taken and does nothing.
    case kBackOrders: break;
    case kEndSearch: EndArticleSearch(app_); break;
    default: break;
  }
  showSearchLine();
}

void ArtikelPane::showSearchLine() {
  const std::string line = ActiveArticleSearchLine(app_);
  Control<QLabel>(this, kSearchLine)->setText(QString::fromStdString(line));
  Control<QLabel>(this, kSearchLine)->setVisible(!line.empty());
  FindControl(this, kEndSearch)->setVisible(!line.empty());
}

void ArtikelPane::browse(bool forward) {
  if (!haveArticles()) return;
  std::int32_t position = app_.articles.position;
  // After a word search the keys reach its hits and nothing else.
  if (BrowsingFollowsWordSearch(app_) ? !StepThroughWordSearch(app_, forward, position)
                                      : !store::ScanArticles(app_, app_.articleCriteria, position,
                                                             forward))
    return;
  closePicture();
  if (readCurrent(position)) showCurrentArticle();
}

void ArtikelPane::search() {
  if (!haveArticles()) return;
  const store::ArticleRecord criteria = app_.articleCriteria;
  const store::ArticleRecord article = app_.article;
  const auto cursor = app_.articles;
  app_.articleCriteria = store::ArticleRecord{};
  ArtikelSuchenDialog dialog(app_, QString(), window());
  connect(&dialog, &ArtikelSuchenDialog::currentArticleChanged, this,
          &ArtikelPane::showCurrentArticle);
  if (dialog.exec() == 1) {
    closePicture();
    readCurrent(app_.articles.position);
  } else {
    // The search made its hits current one by one as it listed them: all of
    // that goes back, the record as well as its position.
    if (app_.ui) app_.ui->message("Nicht gefunden!", frame::Icon::Exclamation);
    app_.articleCriteria = criteria;
    app_.article = article;
    app_.articles.position = cursor.position;
    app_.articles.entry = cursor.entry;
  }
  showCurrentArticle();
}

void ArtikelPane::change() {
  if (app_.restrictedMode || !haveArticles()) return;
  std::int32_t position = app_.articles.position;
  if (!readCurrent(position)) return;
  showCurrentArticle();
  ArtikelEditDialog dialog(app_, app_.article, false, window());
  if (dialog.exec() != QDialog::Accepted) return;
  // A changed number moves the article to its new place in the index and to
  // a new record; the order open in the order pane follows it.
  const auto oldOffset = static_cast<std::int32_t>(app_.articles.entry.offset);
  frame::MessageCount said(app_);
  if (!store::WriteArticle(app_, dialog.article(), position, false))
    tellNotSaved(said);
  else if (readCurrent(position))
    FollowMovedArticle(app_, oldOffset, static_cast<std::int32_t>(app_.articles.entry.offset),
                       store::GetText(app_.article.number));
  showCurrentArticle();
}

void ArtikelPane::remove() {
  if (app_.restrictedMode || !haveArticles()) return;
  if (!app_.ui || !app_.ui->question("Artikel wirklich löschen?", frame::Icon::Question, true))
    return;
  std::int32_t position = app_.articles.position;
  if (!store::DeleteArticle(app_, position)) return;
  app_.articles.position = position;
  // With the last article gone nothing is current any more; the pane must
  // not go on showing the deleted one.
  if (!readCurrent(position)) app_.article = store::ArticleRecord{};
  showCurrentArticle();
}

void ArtikelPane::create() {
  ArtikelEditDialog dialog(app_, NewArticle(app_), true, window());
  // Cancelled: the current article was never touched.
  if (dialog.exec() != QDialog::Accepted) return;
  std::int32_t position = -1;
  frame::MessageCount said(app_);
  if (store::WriteArticle(app_, dialog.article(), position, true))
    readCurrent(position);
  else
    tellNotSaved(said);
  showCurrentArticle();
}

void ArtikelPane::remarkText() {
  if (!haveArticles() || app_.articles.position < 0) return;
  Langtext2Dialog dialog(app_.article, window());
  if (dialog.exec() != QDialog::Accepted) return;
  std::int32_t position = app_.articles.position;
  frame::MessageCount said(app_);
  if (store::WriteArticle(app_, dialog.article(), position, false))
    readCurrent(position);
  else
    tellNotSaved(said);
  showCurrentArticle();
}

void ArtikelPane::showPicture() {
  // A window that refuses to close keeps its picture.
  if (picture_ && !picture_->close()) return;
  picture_ = pictures::PictureWindow::Open(app_, window());
}

void ArtikelPane::closePicture() {
  if (picture_) picture_->close();
}

void ArtikelPane::selectArticles() {
  if (!haveArticles()) return;
  ArtikelAuswahlDialog dialog(app_.articleCriteria, app_.productGroups, window());
  if (dialog.exec() != QDialog::Accepted) return;
  app_.articleCriteria = dialog.criteria();
  std::int32_t position = -1;
  if (store::ScanArticles(app_, app_.articleCriteria, position, true) && readCurrent(position)) {
    showCurrentArticle();
  } else if (app_.ui) {
    app_.ui->message("Nicht gefunden!", frame::Icon::Exclamation);
  }
  showSearchLine();
}

void InstallArticlePane(frame::FrameWindow& window) {
  if (window.state().cashDeskMode) return;
  auto* pane = new ArtikelPane(window.state());
  window.setPane(frame::PaneSlot::Article, pane);
  QPointer<ArtikelPane> guarded(pane);
  window.setCommandHandler(frame::cmd::kArticleSelection, [guarded] {
    if (guarded) guarded->selectArticles();
  });
}

}  // namespace masterdata
