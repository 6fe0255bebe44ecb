#include "widgets/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace frame {

QWidget* WithFileChooser(QLineEdit* field, FileChoice choice, const QString& filter) {
  auto* row = new QWidget(field->parentWidget());
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  field->setParent(row);
  layout->addWidget(field, 1);
  auto* button = new QPushButton(QStringLiteral("…"), row);
  button->setObjectName(QStringLiteral("choose"));
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("……")) + 12);
  layout->addWidget(button);
  QObject::connect(button, &QPushButton::clicked, field, [field, choice, filter] {
    const QString typed = field->text().trimmed();
    // The program's own dialog, the same on every desktop (and testable).
    QFileDialog dialog(field->window(), choice == FileChoice::Save
                                            ? QStringLiteral("Datei speichern unter")
                                            : QStringLiteral("Datei öffnen"),
                       typed.isEmpty() ? QString() : QFileInfo(typed).absolutePath(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(choice == FileChoice::Save ? QFileDialog::AcceptSave
                                                    : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice == FileChoice::Save ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
    if (!typed.isEmpty()) dialog.selectFile(QFileInfo(typed).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    field->setText(dialog.selectedFiles().constFirst());
    field->setFocus(Qt::OtherFocusReason);
  });
  return row;
}

}  // namespace frame
