// "Währungen": currency symbols, tax rates, exchange rates and three print
// flags. Edits a copy; the caller stores it on OK.
#ifndef BELVON_APP_WAEHRUNG_DIALOG_H
#define BELVON_APP_WAEHRUNG_DIALOG_H

#include <QDialog>

#include "core/figures.h"
#include "store/parameter_record.h"

namespace frame {

class WaehrungDialog : public QDialog {
  Q_OBJECT

 public:
  explicit WaehrungDialog(const store::ParameterRecord& parameters, QWidget* parent = nullptr);
  const store::ParameterRecord& parameters() const { return parameters_; }
  // Shows the tax and exchange rates in `figures` (point style until set).
  void setFigures(FigureStyle figures);

 public slots:
  void command(int id);

 private:
  void accept() override;
  void showRates();
  store::ParameterRecord parameters_;
  FigureStyle figures_ = FigureStyle::Point;
};

}  // namespace frame

#endif  // BELVON_APP_WAEHRUNG_DIALOG_H
