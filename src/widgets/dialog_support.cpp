#include "widgets/dialog_support.h"

#include <QTextCursor>
#include <algorithm>

namespace frame {

QLineEdit* MakeEdit(QWidget* parent, int id, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setProperty("id", id);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  // Wide enough for what the field holds, up to about 28 characters.
  int shown = maxLength > 0 ? std::clamp(maxLength, 5, 28) : 20;
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * shown + 14);
  return edit;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text) {
  auto* box = new QCheckBox(text, parent);
  box->setProperty("id", id);
  return box;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setProperty("id", id);
  button->setAutoDefault(false);
  return button;
}

QHBoxLayout* MakeButtonRow(QWidget* owner, std::initializer_list<ButtonSpec> buttons,
                           const std::function<void(int)>& command) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (const ButtonSpec& entry : buttons) {
    QPushButton* button = MakeButton(owner, entry.id, QString::fromUtf8(entry.text));
    QObject::connect(button, &QPushButton::clicked, owner,
                     [command, id = entry.id] { command(id); });
    row->addWidget(button);
  }
  return row;
}

LimitedTextEdit::LimitedTextEdit(QWidget* parent, int id, int maxLength)
    : QPlainTextEdit(parent), maxLength_(maxLength) {
  setProperty("id", id);
  setTabChangesFocus(true);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    // Count as stored: every line break takes two characters.
    if (storedText().size() <= maxLength_) return;
    QString text = storedText().left(maxLength_);
    if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
    QSignalBlocker block(this);
    setStoredText(text);
    moveCursor(QTextCursor::End);
  });
}

QString LimitedTextEdit::storedText() const {
  QString text = toPlainText();
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text;
}

void LimitedTextEdit::setStoredText(const QString& text) {
  QString plain = text;
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(plain);
}

void AddRow(QGridLayout* grid, int row, int column, const QString& label, QWidget* field) {
  auto* caption = new QLabel(label, grid->parentWidget());
  caption->setBuddy(field);
  grid->addWidget(caption, row, column * 2);
  grid->addWidget(field, row, column * 2 + 1);
}

QWidget* FindControl(QWidget* root, int id) {
  const auto children = root->findChildren<QWidget*>();
  for (QWidget* child : children)
    if (child->property("id").toInt() == id && child->property("id").isValid()) return child;
  return nullptr;
}

}  // namespace frame
