// The article pane "ARTIKEL": the current article beside the address and the
// order pane, with browsing, the word search, the editor, deleting, new
// articles, the remark text and the picture window. The main window and the mapped keys F5..F8
// reach it through command(id).
#ifndef BELVON_MASTERDATA_UI_ARTIKEL_PANE_H
#define BELVON_MASTERDATA_UI_ARTIKEL_PANE_H

#include <QPointer>
#include <cstdint>

#include "store/app_state.h"
#include "store/message_count.h"
#include "widgets/pane.h"
#include "store/article_record.h"

namespace frame {
class FrameWindow;
}

namespace masterdata {

class ArtikelPane : public frame::Pane {
  Q_OBJECT

 public:
  explicit ArtikelPane(frame::AppState& app, QWidget* parent = nullptr);

  // Article selection of the main menu: the criteria dialog, then the first
  // article that meets them.
  void selectArticles();
  // Fills the fields from the current article (every paint does it too when
  // the current article changed behind the pane's back).
  void showCurrentArticle();
  // Another pane made another article current (a double click on an order
  // line): the fields show it at once, before "Übernahme" can take it.
  void refresh() override { showCurrentArticle(); }

 protected:
  void handleCommand(int id) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // "Suche: KABEL — 3 von 12" and "Suche beenden" while a search is on.
  void showSearchLine();
  void browse(bool forward);
  void search();
  void change();
  void remove();
  void create();
  void remarkText();
  void showPicture();
  // Another article becomes current: its predecessor's picture goes.
  void closePicture();
  bool haveArticles() const { return app_.articles.lastIndex >= 0; }
  // Makes the article at `position` current; false when it cannot be read.
  bool readCurrent(std::int32_t position);
  // "Der Artikel konnte nicht gespeichert werden.", unless the store said why.
  void tellNotSaved(const frame::MessageCount& said);

  frame::AppState& app_;
  bool firstShown_ = false;
  store::ArticleRecord shown_{};
  QString shownSymbol_;
  QPointer<QWidget> picture_;
};

// Puts the article pane into the main window and hangs the article selection
// (116) into its menu. The cash-desk interface has no article pane.
void InstallArticlePane(frame::FrameWindow& window);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_ARTIKEL_PANE_H
