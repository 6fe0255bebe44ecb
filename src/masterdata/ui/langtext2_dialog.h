// "Bemerkungen zu <Artikelnummer>": the long remark (remark 2) of an article
// in a field of its own. Edits a copy; the caller writes the article.
#ifndef BELVON_MASTERDATA_UI_LANGTEXT2_DIALOG_H
#define BELVON_MASTERDATA_UI_LANGTEXT2_DIALOG_H

#include <QDialog>

#include "store/article_record.h"

namespace masterdata {

class Langtext2Dialog : public QDialog {
  Q_OBJECT

 public:
  explicit Langtext2Dialog(const store::ArticleRecord& article, QWidget* parent = nullptr);

  const store::ArticleRecord& article() const { return article_; }

 public slots:
  void command(int id);

 private:
  void accept() override;

  store::ArticleRecord article_;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_LANGTEXT2_DIALOG_H
