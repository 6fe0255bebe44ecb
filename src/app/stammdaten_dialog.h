// "Stammdaten": the company's master data, document footers, print flags,
// the next order number and the data directory. Edits a copy; the caller
// stores it on OK.
#ifndef BELVON_APP_STAMMDATEN_DIALOG_H
#define BELVON_APP_STAMMDATEN_DIALOG_H

#include <QDialog>
#include <string>

#include "store/app_state.h"
#include "store/parameter_record.h"
#include "store/quotation_validity.h"

namespace frame {

class StammdatenDialog : public QDialog {
  Q_OBJECT

 public:
  StammdatenDialog(const store::ParameterRecord& parameters, std::uint32_t nextOrderNumber,
                   const std::string& dataDirectory, QWidget* parent = nullptr);

  const store::ParameterRecord& parameters() const { return parameters_; }
  std::uint32_t nextOrderNumber() const { return nextOrderNumber_; }
  const std::string& dataDirectory() const { return dataDirectory_; }
  // Whether the user changed "1. Rechnungsnummer": only then is it written,
  // since another copy may have drawn numbers while the dialog was open.
  bool orderNumberTyped() const { return orderNumberTyped_; }
  // "Zahlen im deutschen Format": kept in FORMAT.INI, not in the record.
  void setFigures(FigureStyle figures);
  FigureStyle figures() const { return figures_; }
  // "Steuernummer": kept in ERECHNUNG.INI beside the e-invoice settings,
  // whose dialog shows the same value. UTF-8.
  void setTaxNumber(const std::string& taxNumber);
  const std::string& taxNumber() const { return taxNumber_; }
  // "Angebote gültig (Tage)": kept in ANGEBOT.INI.
  void setQuotationDays(int days);
  int quotationDays() const { return quotationDays_; }

 public slots:
  void command(int id);

 private:
  void applyGrossAsNetRule();
  void accept() override;

  store::ParameterRecord parameters_;
  std::uint32_t nextOrderNumber_;
  std::string dataDirectory_;
  bool orderNumberTyped_ = false;
  FigureStyle figures_ = FigureStyle::Point;
  std::string taxNumber_;
  int quotationDays_ = store::kDefaultQuotationDays;
};

// Stores what the dialog confirmed, with `parameters` as the record: the
// data directory (settled, and into the profile), the order counter only
// when it was typed, then the parameter file and the figure style. Returns SaveParameters' result,
// 0 when the new data directory was refused.
int StoreMasterData(AppState& app, const StammdatenDialog& dialog,
                    const store::ParameterRecord& parameters);

// The dialog's tax number into ERECHNUNG.INI of the data directory, when it
// differs from the one there; false (told) when the file cannot be written.
bool StoreTaxNumber(AppState& app, const StammdatenDialog& dialog);

// The dialog's validity of quotations into ANGEBOT.INI when it changed;
// false (told) when the file cannot be written.
bool StoreQuotationDays(AppState& app, const StammdatenDialog& dialog);

// "Stammdaten..." of the menu: the dialog on the file's record, then stored.
// True when the user confirmed and everything was stored.
bool EditMasterData(AppState& app, QWidget* owner);

}  // namespace frame

#endif  // BELVON_APP_STAMMDATEN_DIALOG_H
