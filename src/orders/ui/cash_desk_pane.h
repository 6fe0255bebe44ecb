// The cash-desk pane "L_RECHNUNG": the one pane of the cash-desk interface.
// A sale is typed line by line (or its articles found by the article
// search), added to the list and booked in one step with one of the three
// booking buttons. The work is done by the CashSale; the pane shows it and
// turns edits, buttons and the mapped keys (Tab: next field, Enter: article
// search from the article number) into its calls.
#ifndef BELVON_ORDERS_UI_CASH_DESK_PANE_H
#define BELVON_ORDERS_UI_CASH_DESK_PANE_H

#include <QListWidget>

#include "store/app_state.h"
#include "widgets/pane.h"
#include "orders/cash_sale.h"

namespace frame {
class FrameWindow;
}

namespace orders {

// The pane commands beside its buttons' ids.
inline constexpr int kNextField = 20;
inline constexpr int kSearchFromNumber = 2079;

class CashDeskPane : public frame::Pane {
  Q_OBJECT

 public:
  explicit CashDeskPane(frame::AppState& app);

  CashSale& sale() { return sale_; }
  QListWidget* lineList() const { return list_; }
  // Refills every control from the sale.
  void showSale();
  void refresh() override {
    sale_.editor().refreshTotalText();
    showSale();
  }
  // A sale with lines, or a line typed and not yet added, is not given up
  // without the user's word.
  bool mayReplace() override;

 protected:
  void handleCommand(int id) override;

 private:
  void buildControls();
  void connectEdits();
  void searchArticle();
  void focusNextField();
  void focusArticleNumber(bool empty);
  SaleDocument chooseDocument();

  frame::AppState& app_;
  CashSale sale_;
  QListWidget* list_ = nullptr;
  QString stock_ = QStringLiteral("-");
  bool filling_ = false;
};

// Puts the cash-desk pane into the main window of the cash-desk interface.
void InstallCashDeskPane(frame::FrameWindow& window);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_CASH_DESK_PANE_H
