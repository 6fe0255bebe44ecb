// The articles an order line offers while its article number or designation
// is typed: the word search of the article dialogs over what was typed, in a
// list under the field. Enter (or a click) takes the chosen article, the
// first one unless the user moved down; Esc closes the list and leaves the
// typed text as a free line.
#ifndef BELVON_ORDERS_UI_ARTICLE_OFFER_H
#define BELVON_ORDERS_UI_ARTICLE_OFFER_H

#include <QCompleter>
#include <QLineEdit>
#include <QObject>
#include <QStringListModel>
#include <cstdint>
#include <functional>
#include <vector>

#include "store/app_state.h"

namespace orders {

class ArticleOffer : public QObject {
  Q_OBJECT

 public:
  // Fewer characters than this offer nothing: one letter matches half the
  // catalogue.
  static constexpr int kShortestText = 2;
  // The list shows the first hits in index order.
  static constexpr int kMostShown = 12;

  // `take` gets the index position of the chosen article.
  ArticleOffer(frame::AppState& app, QLineEdit* field, std::function<void(std::int32_t)> take);

  // What the list offers now ("number, designation"), for the tests.
  QStringList shown() const { return model_->stringList(); }
  bool open() const;
  // Enter that reached the field while the list is open: the chosen
  // article is taken. False when the list was not open.
  bool takeChosen();

 private:
  void offer(const QString& text);

  frame::AppState& app_;
  QLineEdit* field_;
  std::function<void(std::int32_t)> take_;
  QCompleter* completer_;
  QStringListModel* model_;
  std::vector<std::int32_t> positions_;
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_ARTICLE_OFFER_H
