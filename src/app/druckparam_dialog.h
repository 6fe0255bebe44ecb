// "Drucker / Seiteneinstellungen": print offsets, letterhead lines and their
// fonts, the logo, A5 orders and the cash-drawer program. The font buttons
// change the parameters in memory at once, whatever the dialog ends with.
#ifndef BELVON_APP_DRUCKPARAM_DIALOG_H
#define BELVON_APP_DRUCKPARAM_DIALOG_H

#include <QDialog>

#include "store/parameter_record.h"

namespace frame {

class DruckparamDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DruckparamDialog(const store::ParameterRecord& parameters, QWidget* parent = nullptr);
  const store::ParameterRecord& parameters() const { return parameters_; }

 public slots:
  void command(int id);

 private:
  void chooseFont(char* slot);
  void accept() override;
  store::ParameterRecord parameters_;
};

}  // namespace frame

#endif  // BELVON_APP_DRUCKPARAM_DIALOG_H
