#include "masterdata/ui/langtext2_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "masterdata/article_values.h"

namespace masterdata {

using frame::Control;

Langtext2Dialog::Langtext2Dialog(const store::ArticleRecord& article, QWidget* parent)
    : QDialog(parent), article_(article) {
  setObjectName(QStringLiteral("LANGTEXT2"));
  setWindowTitle(
      frame::Verbatim(QStringLiteral("Bemerkungen zu %1").arg(frame::FromField(article_.number)),
                      frame::ShownIn::WindowTitle));
  auto* top = new QVBoxLayout(this);
  auto* text = new frame::LimitedTextEdit(this, 2113, kRemark2Chars);
  text->setStoredText(frame::FromField(article_.remark2));
  text->setMinimumSize(text->fontMetrics().averageCharWidth() * 50,
                       text->fontMetrics().lineSpacing() * 8 + 12);
  top->addWidget(text, 1);
  auto* buttons = frame::MakeButtonRow(this, {{1, "Über&nehmen"}, {2, "&Abbruch"}}, [this](int id) { command(id); });
  top->addLayout(buttons);
  text->setFocus();
}

void Langtext2Dialog::command(int id) {
  if (id == 1) accept();
  if (id == 2) reject();
}

void Langtext2Dialog::accept() {
  frame::FieldWriter writer;
  writer.write(article_.remark2, Control<frame::LimitedTextEdit>(this, 2113)->storedText(),
               kRemark2Chars);
  writer.reportTo(this);
  QDialog::accept();
}

}  // namespace masterdata
