// "Stammdaten": the company's master data, document footers, print flags,
// the next order number and the data directory. Edits a copy; the caller
// stores it on OK.
#ifndef BELVON_FRAME_UI_STAMMDATEN_DIALOG_H
#define BELVON_FRAME_UI_STAMMDATEN_DIALOG_H

#include <QDialog>
#include <string>

#include "store/parameter_record.h"

namespace frame {

class StammdatenDialog : public QDialog {
  Q_OBJECT

 public:
  StammdatenDialog(const store::ParameterRecord& parameters, std::uint32_t nextOrderNumber,
                   const std::string& dataDirectory, QWidget* parent = nullptr);

  const store::ParameterRecord& parameters() const { return parameters_; }
  std::uint32_t nextOrderNumber() const { return nextOrderNumber_; }
  const std::string& dataDirectory() const { return dataDirectory_; }

 public slots:
  void command(int id);

 private:
  void applyGrossAsNetRule();
  void accept() override;

  store::ParameterRecord parameters_;
  std::uint32_t nextOrderNumber_;
  std::string dataDirectory_;
};

}  // namespace frame

#endif  // BELVON_FRAME_UI_STAMMDATEN_DIALOG_H
