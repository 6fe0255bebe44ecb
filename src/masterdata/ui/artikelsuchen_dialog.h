// "Artikel suchen": the word search over the article catalogue. It works on
// the current article and the article criteria of the AppState: every hit
// becomes the current article as it is listed, choosing a list entry makes
// that one current, and currentArticleChanged() lets the article pane follow.
//
// exec() gives 1 when an article was chosen, 0 on "Abbruch" and -1 when the
// article files could not be read.
#ifndef BELVON_MASTERDATA_UI_ARTIKELSUCHEN_DIALOG_H
#define BELVON_MASTERDATA_UI_ARTIKELSUCHEN_DIALOG_H

#include <QDialog>
#include <QString>

#include "store/app_state.h"

class QListWidgetItem;

namespace masterdata {

class ArtikelSuchenDialog : public QDialog {
  Q_OBJECT

 public:
  // A start text searches at once (the order editor passes the typed number).
  ArtikelSuchenDialog(frame::AppState& app, const QString& startText, QWidget* parent = nullptr);

 public slots:
  void command(int id);

 signals:
  void currentArticleChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  void search();
  void choose();
  void makeCurrent(QListWidgetItem* item);

  frame::AppState& app_;
  // While the result list has (or last had) the focus, "Suchen" chooses.
  bool resultsFocused_ = false;
  // The progress box lets events through while the search runs; the
  // dialog's own buttons wait until it is done (Esc in the box stops it).
  bool searching_ = false;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_ARTIKELSUCHEN_DIALOG_H
