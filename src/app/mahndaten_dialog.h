// "Mahndaten": period, fee, letter text file and title of the three dunning
// levels. Edits a copy; the caller stores it on OK.
#ifndef BELVON_APP_MAHNDATEN_DIALOG_H
#define BELVON_APP_MAHNDATEN_DIALOG_H

#include <QDialog>

#include "store/parameter_record.h"

namespace frame {

class MahndatenDialog : public QDialog {
  Q_OBJECT

 public:
  explicit MahndatenDialog(const store::ParameterRecord& parameters, QWidget* parent = nullptr);
  const store::ParameterRecord& parameters() const { return parameters_; }

 public slots:
  void command(int id);

 private:
  void accept() override;
  store::ParameterRecord parameters_;
};

}  // namespace frame

#endif  // BELVON_APP_MAHNDATEN_DIALOG_H
