// "Kontoauszug einlesen": every transaction of the statement with what the
// matching made of it ("wird gebucht", "Vorschlag", "nicht gefunden",
// "bereits gebucht"). The user ticks what is to be booked and may name
// another invoice, or split the transfer ("126120001=50,00; 126120002=
// 69,00"); "&Buchen" books the ticked lines with a progress box and tells
// what was booked.
#ifndef BELVON_BANK_UI_KONTOAUSZUG_DIALOG_H
#define BELVON_BANK_UI_KONTOAUSZUG_DIALOG_H

#include <QDialog>
#include <vector>

#include "bank/bank_import.h"
#include "store/app_state.h"

class QLineEdit;
class QTableWidget;

namespace bank {

class KontoauszugDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kBook = 1, kCancel = 2;
  // The columns of the list.
  enum Column { kTick, kDate, kAmount, kName, kText, kState, kInvoices, kColumns };

  KontoauszugDialog(frame::AppState& app, std::vector<ImportLine> lines, QWidget* parent = nullptr);

  const std::vector<ImportLine>& lines() const { return lines_; }
  // The summary told after booking (empty before).
  const std::string& summary() const { return summary_; }

 public slots:
  void command(int id);

 private:
  void fill();

  frame::AppState& app_;
  std::vector<ImportLine> lines_;
  QTableWidget* table_;
  QLineEdit* account_;
  std::string summary_;
};

// The German state of a line as the list shows it.
QString StateText(const ImportLine& line);

}  // namespace bank

#endif  // BELVON_BANK_UI_KONTOAUSZUG_DIALOG_H
