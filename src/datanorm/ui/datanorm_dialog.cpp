#include "datanorm/ui/datanorm_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "datanorm/datanorm_export.h"
#include "datanorm/datanorm_import.h"
#include "core/decimal.h"
#include "core/user_interface.h"
#include "widgets/dialog_support.h"
#include "widgets/file_chooser.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "widgets/progress_box.h"

namespace datanorm {

namespace {

constexpr int kFileName = 2146;

// Names the file of the field in the message and hands the field the focus.
void TellUnusable(frame::AppState& app, QDialog* dialog, int field, const char* format) {
  QLineEdit* edit = frame::Control<QLineEdit>(dialog, field);
  if (app.ui)
    app.ui->message(frame::Format(format, edit->text().toStdString().c_str()),
                    frame::Icon::Exclamation);
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}
constexpr int kSupplier = 2147;
constexpr int kImported = 2148;
constexpr int kDmToEuro = 2220;
constexpr int kBar = 1080;

}  // namespace

DatanormDialog::DatanormDialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("DATANORM"));
  setWindowTitle(QStringLiteral("Datanorm-Import"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  QLineEdit* file = frame::MakeEdit(this, kFileName, 0);
  file->setText(QString::fromLatin1(kExportFileName));
  frame::AddRow(grid, 0, 0, QStringLiteral("Datanorm-Dateiname"),
                frame::WithFileChooser(file, frame::FileChoice::Open));
  frame::AddRow(grid, 1, 0, QStringLiteral("Lieferantenname"), frame::MakeEdit(this, kSupplier, 9));
  grid->addWidget(frame::MakeCheck(this, kDmToEuro, QStringLiteral("DM nach Euro wandeln")), 2, 1);
  auto* count = new QLabel(this);
  count->setProperty("id", kImported);
  frame::AddRow(grid, 3, 0, QStringLiteral("Bereits importiert:"), count);
  top->addLayout(grid);
  auto* bar = new frame::ProgressBar(this);
  bar->setProperty("id", kBar);
  top->addWidget(bar);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
}

void DatanormDialog::command(int id) {
  if (running_) return;
  switch (id) {
    case 1: runImport(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 32); break;
    default: break;
  }
}

void DatanormDialog::keyPressEvent(QKeyEvent* event) {
  if (running_) {
    if (event->key() == Qt::Key_Escape) escape_ = true;
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DatanormDialog::reject() {
  // While the import runs, Esc stops it instead of closing the dialog.
  if (running_) {
    escape_ = true;
    return;
  }
  QDialog::reject();
}

void DatanormDialog::runImport() {
  ImportOptions options;
  options.fileName = frame::Control<QLineEdit>(this, kFileName)->text().toStdString();
  frame::FieldWriter writer;
  char supplier[10];
  writer.write(supplier, frame::Control<QLineEdit>(this, kSupplier)->text(), 9);
  options.supplier = supplier;
  options.dmToEuro = frame::Control<QCheckBox>(this, kDmToEuro)->isChecked();

  auto* bar = frame::Control<frame::ProgressBar>(this, kBar);
  auto* count = frame::Control<QLabel>(this, kImported);
  ImportHooks hooks;
  hooks.confirmFileInfo = [this](const std::string& text) {
    return QMessageBox::question(this, QStringLiteral("Datei Info"), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  hooks.progress = [this, bar](int percent) {
    bar->setPercent(percent);
    escape_ = false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    return escape_;
  };
  hooks.count = [count](long articles) { count->setText(QString::number(articles)); };
  running_ = true;
  const ImportResult result = ImportDatanorm(app_, options, hooks);
  running_ = false;
  // A file that cannot be read is named, and the dialog stays for another.
  if (result.end == ImportEnd::NotOpened) {
    TellUnusable(app_, this, kFileName, "Die Datei \"%s\" kann nicht gelesen werden.");
    return;
  }
  accept();
}

Datanorm2Dialog::Datanorm2Dialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("DATANORM2"));
  setWindowTitle(QStringLiteral("Datanorm-Export"));
  auto* top = new QVBoxLayout(this);
  top->addWidget(
      new QLabel(QStringLiteral("Alle Artikel werden als Datanorm 4.0 in diese Datei geschrieben:"), this));
  QLineEdit* file = frame::MakeEdit(this, kFileName, 0);
  file->setText(QString::fromLatin1(kExportFileName));
  top->addWidget(frame::WithFileChooser(file, frame::FileChoice::Save));
  top->addLayout(frame::MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
}

void Datanorm2Dialog::command(int id) {
  switch (id) {
    case 1:
      if (ExportDatanorm(app_, frame::Control<QLineEdit>(this, kFileName)->text().toStdString()).end ==
          ExportEnd::NotCreated) {
        TellUnusable(app_, this, kFileName, "Die Datei \"%s\" kann nicht geschrieben werden.");
        return;
      }
      accept();
      break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 33); break;
    default: break;
  }
}

}  // namespace datanorm
