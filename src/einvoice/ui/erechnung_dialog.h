// "E-Rechnung": the settings of electronic invoices that the parameter file
// has no room for, kept in ERECHNUNG.INI of the data directory.
#ifndef BELVON_EINVOICE_UI_ERECHNUNG_DIALOG_H
#define BELVON_EINVOICE_UI_ERECHNUNG_DIALOG_H

#include <QDialog>

#include "store/einvoice_settings.h"
#include "store/app_state.h"

class QComboBox;
class QLineEdit;
class QCheckBox;

namespace einvoice {

class ERechnungDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ERechnungDialog(frame::AppState& app, QWidget* parent = nullptr);

  // The settings as the fields show them.
  Settings settings() const;

 public slots:
  void command(int id);

 private:
  frame::AppState& app_;
  QLineEdit* taxNumber_;
  QComboBox* exemption_;
  QLineEdit* reason_;
  QLineEdit* sellerCountry_;
  QLineEdit* buyerCountry_;
  QComboBox* reference_;
  QLineEdit* referenceText_;
  QComboBox* serviceDate_;
  QLineEdit* folder_;
  QLineEdit* currencyCodes_;
  QCheckBox* legalLines_;
  QCheckBox* giroCode_;
  // PDF invoices with their e-invoice, and the guideline it names.
  QCheckBox* pdfEInvoice_;
  QComboBox* pdfGuideline_;
};

}  // namespace einvoice

#endif  // BELVON_EINVOICE_UI_ERECHNUNG_DIALOG_H
