#include "orders/ui/article_offer.h"

#include <QAbstractItemView>
#include <algorithm>

#include "core/user_interface.h"
#include "masterdata/article_search.h"
#include "widgets/field_text.h"

namespace orders {

ArticleOffer::ArticleOffer(frame::AppState& app, QLineEdit* field,
                           std::function<void(std::int32_t)> take)
    : QObject(field),
      app_(app),
      field_(field),
      take_(std::move(take)),
      completer_(new QCompleter(this)),
      model_(new QStringListModel(this)) {
  completer_->setModel(model_);
  // The list is the search's own: the completer neither filters nor sorts it.
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setWidget(field_);
  completer_->setMaxVisibleItems(kMostShown);
  connect(field_, &QLineEdit::textEdited, this, &ArticleOffer::offer);
  connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) {
            const int row = index.row();
            if (row < 0 || row >= static_cast<int>(positions_.size())) return;
            const std::int32_t position = positions_[static_cast<std::size_t>(row)];
            model_->setStringList({});
            positions_.clear();
            take_(position);
          });
}

bool ArticleOffer::open() const { return completer_->popup()->isVisible(); }

bool ArticleOffer::takeChosen() {
  if (!open()) return false;
  QModelIndex chosen = completer_->popup()->currentIndex();
  if (!chosen.isValid()) chosen = model_->index(0, 0);
  completer_->popup()->hide();
  emit completer_->activated(chosen);
  return true;
}

void ArticleOffer::offer(const QString& text) {
  QStringList rows;
  positions_.clear();
  if (text.trimmed().size() >= kShortestText && app_.articles.lastIndex >= 0) {
    frame::FieldWriter writer;
    std::string bytes = writer.bytes(text);
    if (bytes.size() > static_cast<std::size_t>(masterdata::kSearchTextChars))
      bytes.resize(masterdata::kSearchTextChars);
    // No progress box while the user types: it would take his keys. The
    // first search of a session reads the catalogue once without it.
    frame::UserInterface* ui = app_.ui;
    app_.ui = nullptr;
    const masterdata::ArticleSearchResult result = masterdata::SearchArticles(app_, bytes, true);
    app_.ui = ui;
    const std::size_t shown = std::min<std::size_t>(result.hits.size(), kMostShown);
    for (std::size_t i = 0; i < shown; ++i) {
      const masterdata::ArticleHit& hit = result.hits[i];
      rows << frame::FromCp1252(hit.number) + QStringLiteral(", ") +
                  frame::FromCp1252(hit.designation);
      positions_.push_back(hit.position);
    }
  }
  model_->setStringList(rows);
  if (rows.isEmpty()) {
    completer_->popup()->hide();
    return;
  }
  completer_->complete();
  // Enter takes the first hit unless the user chose another.
  completer_->popup()->setCurrentIndex(model_->index(0, 0));
}

}  // namespace orders
