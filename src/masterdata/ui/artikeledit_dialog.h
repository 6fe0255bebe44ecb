// "Artikel ändern": edits a copy of an article. On "Übernehmen" the fields go
// into the copy, and the dialog closes only when no other article has the
// number; the caller stores the copy.
#ifndef BELVON_MASTERDATA_UI_ARTIKELEDIT_DIALOG_H
#define BELVON_MASTERDATA_UI_ARTIKELEDIT_DIALOG_H

#include <QDialog>
#include <optional>
#include <QHash>
#include <QString>

#include "store/app_state.h"
#include "store/article_record.h"

class QLineEdit;

namespace masterdata {

class ArtikelEditDialog : public QDialog {
  Q_OBJECT

 public:
  // `isNew` decides whether the article's own entry counts as taking the
  // number (the current position of `app` is the article's own).
  ArtikelEditDialog(frame::AppState& app, const store::ArticleRecord& article, bool isNew,
                    QWidget* parent = nullptr);

  const store::ArticleRecord& article() const { return article_; }

 public slots:
  void command(int id);

 private:
  void accept() override;
  QLineEdit* showNumber(int id, const std::string& text, int limit);
  // The field's value, or `original` while the field still shows what it was
  // filled with (a stock of 0.0004 is not rewritten as 0 by a look at it).
  // The typed value, the original when the field was not touched, nothing
  // when it holds no number (the user was told).
  std::optional<std::int32_t> price(int id, const char* name, std::int32_t original);
  std::int32_t quantity(int id, std::int32_t original);
  std::optional<double> stock(int id, const char* name, double original);
  bool untouched(int id);

  frame::AppState& app_;
  store::ArticleRecord article_;
  bool isNew_;
  bool replacementReported_ = false;
  QHash<int, QString> shown_;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_ARTIKELEDIT_DIALOG_H
