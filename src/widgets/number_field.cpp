#include "widgets/number_field.h"

#include <QMessageBox>

#include "core/decimal.h"

namespace frame {

void RefuseNumberField(QLineEdit* edit, std::string_view name, UserInterface* ui) {
  const std::string text = NotANumberMessage(name);
  if (ui)
    ui->message(text, Icon::Stop);
  else
    QMessageBox::critical(edit ? edit->window() : nullptr, QString::fromUtf8(kProgramTitle),
                          QString::fromStdString(text));
  if (edit) {
    edit->setFocus();
    edit->selectAll();
  }
}

}  // namespace frame
