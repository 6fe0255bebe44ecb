#include "masterdata/ui/artikelsuchen_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/profile.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "core/user_interface.h"
#include "masterdata/article_search.h"
#include "masterdata/ui/artikelauswahl_dialog.h"
#include "store/article_file.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

using frame::Control;

constexpr int kSearchButton = 2025;
constexpr int kTextField = 1128;
constexpr int kAllFieldsBox = 2140;
constexpr const char* kAllFieldsChoice = "ALLEFELDER";
constexpr int kResultList = 2131;
constexpr int kResultLine = 2139;

}  // namespace

ArtikelSuchenDialog::ArtikelSuchenDialog(frame::AppState& app, const QString& startText,
                                         QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("ARTIKELSUCHEN"));
  setWindowTitle(QStringLiteral("Artikel suchen"));
  store::ArticleRecord& criteria = app_.articleCriteria;
  if (store::GetText(criteria.number) == kNoNumberCriterion) store::SetText(criteria.number, "");
  if (!startText.isEmpty()) {
    frame::FieldWriter writer;
    writer.write(criteria.number, startText, kSearchTextChars);
  }

  auto* top = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Suchbegriffe:"), this));
  QLineEdit* text = frame::MakeEdit(this, kTextField, kSearchTextChars);
  text->setText(frame::FromField(criteria.number));
  row->addWidget(text, 1);
  QCheckBox* allFields = frame::MakeCheck(this, kAllFieldsBox, QStringLiteral("allen &Felder"));
  // The tick stays as the user left it, also from one start to the next.
  allFields->setChecked(frame::ReadProfileChoice(kAllFieldsChoice,
                                                 (criteria.flags & kAllFieldsCriterion) != 0));
  row->addWidget(allFields);
  top->addLayout(row);

  auto* list = new QListWidget(this);
  list->setProperty("id", kResultList);
  list->setMinimumSize(list->fontMetrics().averageCharWidth() * 64,
                       list->fontMetrics().lineSpacing() * 12);
  top->addWidget(list, 1);
  auto* line = new QLabel(QStringLiteral("Suchergebnis:"), this);
  line->setProperty("id", kResultLine);
  top->addWidget(line);

  auto* buttons = frame::MakeButtonRow(this, {{kSearchButton, "&Suchen"}, {2, "&Abbruch"}, {9, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, kSearchButton)->setDefault(true);
  top->addLayout(buttons);

  // "Suchen" chooses while the list is where the user works; typing a new
  // text or clicking into the field makes it search again. A click on the
  // button itself takes the focus from the list, so the focus alone would
  // make "OK" search once more instead of taking the chosen entry.
  text->installEventFilter(this);
  list->installEventFilter(this);
  auto searchAgain = [this] {
    resultsFocused_ = false;
    Control<QPushButton>(this, kSearchButton)->setText(QStringLiteral("&Suchen"));
  };
  connect(text, &QLineEdit::textChanged, this, searchAgain);
  connect(allFields, &QCheckBox::toggled, this, searchAgain);
  connect(list, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* item) { makeCurrent(item); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { choose(); });

  text->setFocus();
  if (!startText.isEmpty())
    QMetaObject::invokeMethod(this, [this] { command(kSearchButton); }, Qt::QueuedConnection);
}

bool ArtikelSuchenDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    resultsFocused_ = watched == Control<QListWidget>(this, kResultList);
  return QDialog::eventFilter(watched, event);
}

void ArtikelSuchenDialog::reject() {
  if (!searching_) QDialog::reject();
}

void ArtikelSuchenDialog::command(int id) {
  if (searching_) return;
  switch (id) {
    case kSearchButton:
      if (resultsFocused_)
        choose();
      else
        search();
      break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 22); break;
    default: break;
  }
}

void ArtikelSuchenDialog::search() {
  store::ArticleRecord& criteria = app_.articleCriteria;
  frame::FieldWriter writer;
  std::string text = writer.bytes(Control<QLineEdit>(this, kTextField)->text());
  if (text.size() > static_cast<std::size_t>(kSearchTextChars)) text.resize(kSearchTextChars);
  const bool allFields = Control<QCheckBox>(this, kAllFieldsBox)->isChecked();
  frame::WriteProfileChoice(kAllFieldsChoice, allFields);
  store::SetText(criteria.number, text);
  criteria.flags = static_cast<std::uint8_t>(allFields ? criteria.flags | kAllFieldsCriterion
                                                       : criteria.flags & ~kAllFieldsCriterion);
  writer.reportTo(this);
  if (SearchWords(text).empty()) {
    store::SetText(criteria.number, kNoNumberCriterion);
    return;
  }

  ArticleSearchResult result;
  {
    frame::WaitCursor wait(app_.ui);
    searching_ = true;
    result = SearchArticles(app_, text, allFields);
    searching_ = false;
  }
  if (result.unreadable) {
    QApplication::beep();
    done(-1);
    return;
  }

  auto* list = Control<QListWidget>(this, kResultList);
  {
    QSignalBlocker quiet(list);
    list->clear();
    for (const ArticleHit& hit : result.hits) {
      auto* item = new QListWidgetItem(frame::FromCp1252(hit.number) + QStringLiteral(", ") +
                                           frame::FromCp1252(hit.designation),
                                       list);
      item->setData(Qt::UserRole, hit.position);
    }
  }
  Control<QLabel>(this, kResultLine)
      ->setText(result.moreThanLimit
                    ? QStringLiteral("ACHTUNG! Mehr als %1 Artikel vorhanden").arg(kArticleSearchLimit)
                    : QStringLiteral("%1 Artikel gefunden").arg(result.hits.size()));
  if (result.hits.empty()) {
    if (app_.ui) app_.ui->message("Artikel nicht gefunden!", frame::Icon::Exclamation);
    return;
  }

  // The last hit is selected and current, as each hit was in its turn.
  {
    QSignalBlocker quiet(list);
    list->setCurrentRow(list->count() - 1);
  }
  makeCurrent(list->currentItem());
  Control<QPushButton>(this, kSearchButton)->setText(QStringLiteral("OK"));
  // From now on browsing follows the search text.
  criteria = store::ArticleRecord{};
  store::SetText(criteria.number, text);
  emit currentArticleChanged();
  list->setFocus();
  resultsFocused_ = true;
  if (result.hits.size() == 1 && !result.moreThanLimit)
    QMetaObject::invokeMethod(this, [this] { command(kSearchButton); }, Qt::QueuedConnection);
}

void ArtikelSuchenDialog::makeCurrent(QListWidgetItem* item) {
  if (!item) return;
  const std::int32_t position = item->data(Qt::UserRole).toInt();
  store::ArticleRecord article{};
  if (!store::ReadArticle(app_, article, position)) return;
  app_.article = article;
  app_.articles.position = position;
  emit currentArticleChanged();
}

void ArtikelSuchenDialog::choose() {
  QListWidgetItem* item = Control<QListWidget>(this, kResultList)->currentItem();
  if (!item) return;
  makeCurrent(item);
  done(1);
}

}  // namespace masterdata
