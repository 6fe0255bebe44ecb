// "Auftrag suchen": orders found by number or by the customer's name line 2.
// Every hit that is selected in the result list is shown in the order pane
// at once (through `show`, with the order's index position); "&Auswahl"
// keeps the order shown, "Abbruch" goes back to the customer's newest order.
//
// exec() gives 1 for "&Auswahl", 0 for "Abbruch" and -1 when the order
// index could not be read.
#ifndef BELVON_ORDERS_UI_RECHNUNGSUCHEN_DIALOG_H
#define BELVON_ORDERS_UI_RECHNUNGSUCHEN_DIALOG_H

#include <QDialog>
#include <cstdint>
#include <functional>

#include "store/app_state.h"

namespace frame {
class FrameWindow;
}

namespace orders {

class RechnungSuchenDialog : public QDialog {
  Q_OBJECT

 public:
  RechnungSuchenDialog(frame::AppState& app, std::function<void(std::int32_t)> show,
                       QWidget* parent = nullptr);

 public slots:
  void command(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void search();
  void choose();

  frame::AppState& app_;
  std::function<void(std::int32_t)> show_;
  bool resultsFocused_ = false;  // "&Suchen" then acts as "&Auswahl"
  bool byNumberOnly_ = false;
};

// "S&uchen [F9]" of the order pane opens the search.
void InstallOrderSearch(frame::FrameWindow& window);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_RECHNUNGSUCHEN_DIALOG_H
