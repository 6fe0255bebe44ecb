// "Rechnung / Lieferschein drucken" of the cash desk: the customer of the
// sale (browsed, searched or typed in), the number of copies and whether the
// amount was paid. A customer typed under a name line 2 that no address has
// yet becomes a new address when a document is chosen. The dialog ends with
// the button pressed: 2085 delivery note, 2086 invoice, 0 for none.
#ifndef BELVON_MASTERDATA_UI_LRECHNUNGDRUCKEN_DIALOG_H
#define BELVON_MASTERDATA_UI_LRECHNUNGDRUCKEN_DIALOG_H

#include <QDialog>

#include "store/app_state.h"

namespace masterdata {

inline constexpr int kPrintDeliveryNote = 2085;
inline constexpr int kPrintInvoice = 2086;

class LRechnungDruckenDialog : public QDialog {
  Q_OBJECT

 public:
  explicit LRechnungDruckenDialog(frame::AppState& app, QWidget* parent = nullptr);

  // "Betrag wurde bezahlt" and the copies, as they were when a document
  // button was pressed.
  bool paid() const { return paid_; }
  int copies() const { return copies_; }

 public slots:
  void command(int id);

 private:
  void showCurrent();
  void browse(bool forward);
  void search();
  void choose(int button);
  bool haveAddresses() const { return app_.addresses.lastIndex >= 0; }

  frame::AppState& app_;
  bool paid_ = false;
  int copies_ = 1;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_LRECHNUNGDRUCKEN_DIALOG_H
