// The order pane "RECHNUNG": one order of the customer selected in the
// address pane, its payment terms and status, the line being edited, the
// list of lines and the total. The work is done by the OrderEditor; the pane
// shows its state and turns edits, buttons and keys into its calls.
#ifndef BELVON_ORDERS_UI_RECHNUNG_PANE_H
#define BELVON_ORDERS_UI_RECHNUNG_PANE_H

#include <QButtonGroup>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <functional>

#include "store/app_state.h"
#include "widgets/pane.h"
#include "orders/order_editor.h"
#include "orders/ui/article_offer.h"

namespace frame {
class FrameWindow;
}

namespace orders {

// Draws one line of the order in the columns of the line list.
class OrderLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit OrderLineDelegate(frame::AppState& app, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), app_(app) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  frame::AppState& app_;
};

class RechnungPane : public frame::Pane {
  Q_OBJECT

 public:
  RechnungPane(frame::AppState& app, frame::FrameWindow& window);

  OrderEditor& editor() { return editor_; }
  // The articles offered while the article number or the designation of
  // the edited line is typed.
  ArticleOffer* numberOffer() const { return numberOffer_; }
  ArticleOffer* designationOffer() const { return designationOffer_; }
  QListWidget* lineList() const { return list_; }
  // Refills every control from the order (the pane's "paint").
  void showOrder();
  void refresh() override {
    editor_.refreshTotalText();
    fillList();
    showOrder();
  }
  // The print dialog that "&Drucken" opens; set by the documents.
  void setPrintDialog(std::function<void()> dialog) { printDialog_ = std::move(dialog); }
  // The order search that "S&uchen [F9]" opens; set by the order search.
  void setSearchDialog(std::function<void()> dialog) { searchDialog_ = std::move(dialog); }
  // Before another customer is chosen: "Auftrag speichern ?" for a new or
  // changed order (Ja saves, Nein drops it, Abbrechen keeps the customer).
  bool mayReplace() override;
  // After a print: the order is read again, but never over new work.
  void jobFinished() override;

 protected:
  void handleCommand(int id) override;

 private:
  void buildControls();
  void connectEdits();
  // "Stornieren": a credit note cancelling the shown invoice in full.
  void cancelInvoice();
  // "Kopieren": a new order with the shown order's customer and lines.
  void copyOrder();
  void fillList();
  void showEditedLine();
  void showLineAmount();

  frame::AppState& app_;
  frame::FrameWindow& window_;
  OrderEditor editor_;
  QListWidget* list_ = nullptr;
  QButtonGroup* taxGroup_ = nullptr;
  ArticleOffer* numberOffer_ = nullptr;
  ArticleOffer* designationOffer_ = nullptr;
  bool filling_ = false;
  std::function<void()> printDialog_;
  std::function<void()> searchDialog_;
};

// Puts the order pane into the main window.
void InstallOrderPane(frame::FrameWindow& window);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_RECHNUNG_PANE_H
