#include "app/about_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "core/version.h"
#include "widgets/dialog_support.h"
#include "widgets/help_viewer.h"

namespace frame {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ABOUTBOX"));
  setWindowTitle(QStringLiteral("Belvon"));
  auto* top = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().isNull()
                      ? style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48)
                      : QApplication::windowIcon().pixmap(48, 48));
  row->addWidget(icon, 0, Qt::AlignTop);
  auto* version = new QLabel(
      QStringLiteral("<b>Belvon %1</b><br>Auftragsbearbeitung und Fakturierung<br>"
                     "für Handel und Handwerk")
          .arg(QString::fromLatin1(ProgramVersion())),
      this);
  version->setProperty("id", 2118);
  row->addWidget(version, 1);
  top->addLayout(row);
  auto* buttons = MakeButtonRow(this, {{1, "&OK"}, {9, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
}

void AboutDialog::command(int id) {
  if (id == 1) accept();
  if (id == 9) ShowHelp(this, 10);
}

}  // namespace frame
