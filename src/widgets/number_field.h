// Reading a number field of a dialog before anything is stored: the value
// by the rule of frame::ReadNumber, or, for a text that is no number, a
// message naming the field and the focus on it.
#ifndef BELVON_WIDGETS_NUMBER_FIELD_H
#define BELVON_WIDGETS_NUMBER_FIELD_H

#include <QLineEdit>
#include <QWidget>
#include <string>
#include <string_view>

#include "widgets/dialog_support.h"
#include "core/user_interface.h"

namespace frame {

// Tells the user (through `ui` when given, else a message box) that the
// field `name` holds no number, and puts the focus on it.
void RefuseNumberField(QLineEdit* edit, std::string_view name, UserInterface* ui);

// `parse` turns the field's text into an optional value; empty refuses.
template <typename Parse>
auto ReadNumberField(QWidget* root, int id, std::string_view name, Parse parse,
                     UserInterface* ui = nullptr) {
  QLineEdit* edit = Control<QLineEdit>(root, id);
  auto value = parse(std::string_view(edit->text().toStdString()));
  if (!value) RefuseNumberField(edit, name, ui);
  return value;
}

}  // namespace frame

#endif  // BELVON_WIDGETS_NUMBER_FIELD_H
