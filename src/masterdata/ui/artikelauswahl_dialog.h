// "Artikel auswählen": edits a copy of the article criteria. The number
// criterion "#ZARVENTO" (no number given) shows as an empty field and an
// empty field is stored as it.
#ifndef BELVON_MASTERDATA_UI_ARTIKELAUSWAHL_DIALOG_H
#define BELVON_MASTERDATA_UI_ARTIKELAUSWAHL_DIALOG_H

#include <QDialog>

#include "store/article_record.h"
#include "store/product_group_table.h"

namespace masterdata {

// The number criterion that passes every number not containing ZARVENTO.
inline constexpr const char* kNoNumberCriterion = "#ZARVENTO";

class ArtikelAuswahlDialog : public QDialog {
  Q_OBJECT

 public:
  ArtikelAuswahlDialog(const store::ArticleRecord& criteria,
                       const store::ProductGroupTable& productGroups, QWidget* parent = nullptr);

  const store::ArticleRecord& criteria() const { return criteria_; }

 public slots:
  void command(int id);

 private:
  void accept() override;

  store::ArticleRecord criteria_;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_ARTIKELAUSWAHL_DIALOG_H
