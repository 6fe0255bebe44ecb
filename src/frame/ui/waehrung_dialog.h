// "Währungen": currency symbols, tax rates, exchange rates and three print
// flags. Edits a copy; the caller stores it on OK.
#ifndef BELVON_FRAME_UI_WAEHRUNG_DIALOG_H
#define BELVON_FRAME_UI_WAEHRUNG_DIALOG_H

#include <QDialog>

#include "store/parameter_record.h"

namespace frame {

class WaehrungDialog : public QDialog {
  Q_OBJECT

 public:
  explicit WaehrungDialog(const store::ParameterRecord& parameters, QWidget* parent = nullptr);
  const store::ParameterRecord& parameters() const { return parameters_; }

 public slots:
  void command(int id);

 private:
  void accept() override;
  store::ParameterRecord parameters_;
};

}  // namespace frame

#endif  // BELVON_FRAME_UI_WAEHRUNG_DIALOG_H
