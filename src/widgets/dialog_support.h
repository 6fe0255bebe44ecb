// Building blocks of the program's dialogs: controls that carry their
// numeric id as the dynamic property "id", the usual buttons, and lookup of
// a control by its id (for the dialogs themselves and for tests).
#ifndef BELVON_WIDGETS_DIALOG_SUPPORT_H
#define BELVON_WIDGETS_DIALOG_SUPPORT_H

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <functional>
#include <initializer_list>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace frame {

QLineEdit* MakeEdit(QWidget* parent, int id, int maxLength);
QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text);
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);

// A row of buttons pushed to the right, each calling `command` with its id;
// the caller puts the row into its layout.
struct ButtonSpec {
  int id;
  const char* text;  // UTF-8
};
QHBoxLayout* MakeButtonRow(QWidget* owner, std::initializer_list<ButtonSpec> buttons,
                           const std::function<void(int)>& command);

// A multi-line field limited to `maxLength` characters as it is typed.
// Line breaks are stored as CR LF, as the record fields always kept them.
class LimitedTextEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  LimitedTextEdit(QWidget* parent, int id, int maxLength);
  // The text with CR LF line breaks, and back.
  QString storedText() const;
  void setStoredText(const QString& text);

 private:
  int maxLength_;
};

// Puts "label: field" into row `row` of a grid at column pair `column`.
void AddRow(QGridLayout* grid, int row, int column, const QString& label, QWidget* field);

QWidget* FindControl(QWidget* root, int id);

template <typename T>
T* Control(QWidget* root, int id) {
  return qobject_cast<T*>(FindControl(root, id));
}

}  // namespace frame

#endif  // BELVON_WIDGETS_DIALOG_SUPPORT_H
