#include "letters/ui/mahnung_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "core/user_interface.h"
#include "letters/dunning_renderer.h"
#include "core/dates.h"
#include "printing/ui/qt_print_host.h"

namespace letters {

namespace {

constexpr int kDate = 2128;
constexpr int kReprint = 2221;
constexpr int kCurrentOnly = 2223;

void PrintWithProgramHost(frame::AppState& app, const DunningOptions& options,
                          QPointer<QWidget> owner) {
  printing::QtPrintHost* host = printing::QtPrintHost::current();
  // Without a main window one ownerless host serves, as for every job.
  if (!host) host = new printing::QtPrintHost(nullptr);
  // The letters may go out from the preview long after the dialog closed:
  // the order pane shows the level stored then.
  PrintDunningLetters(app, *host, options, [owner] {
    if (auto* window = qobject_cast<frame::FrameWindow*>(owner.data()))
      if (frame::Pane* orders = window->pane(frame::PaneSlot::Order)) orders->refresh();
  });
}

}  // namespace

MahnungDialog::MahnungDialog(frame::AppState& app, QWidget* parent, PrintRun print)
    : QDialog(parent), app_(app), print_(std::move(print)) {
  if (!print_)
    print_ = [&app, owner = QPointer<QWidget>(parent)](const DunningOptions& options) {
      PrintWithProgramHost(app, options, owner);
    };
  setObjectName(QStringLiteral("MAHNUNGDLG"));
  setWindowTitle(QStringLiteral("Mahnungen drucken"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  QLineEdit* date = frame::MakeEdit(this, kDate, 10);
  date->setText(frame::FromCp1252(orders::FormatDate(*app_.clock)));
  frame::AddRow(grid, 0, 0, QStringLiteral("Mahndatum"), date);
  grid->addWidget(frame::MakeCheck(this, kReprint, QStringLiteral("Mahnungen erneut drucken")), 1, 1);
  grid->addWidget(frame::MakeCheck(this, kCurrentOnly, QStringLiteral("nur für aktuelle Adresse")),
                  2, 1);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Drucken"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
  frame::Control<QPushButton>(this, 1)->setDefault(true);
}

void MahnungDialog::command(int id) {
  switch (id) {
    case 1: print(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 60); break;
    default: break;
  }
}

void MahnungDialog::print() {
  // The levels are counted to this date and stored: only a real date.
  DunningOptions options;
  options.date = orders::EnteredDate(
      frame::FieldWriter().bytes(frame::Control<QLineEdit>(this, kDate)->text().left(10)));
  if (options.date.empty()) {
    if (app_.ui)
      app_.ui->message("Im Feld \"Mahndatum\" steht kein gültiges Datum.\n"
                       "Bitte ein Datum wie 05.12.2026 eingeben.",
                       frame::Icon::Stop);
    return;
  }
  options.reprint = frame::Control<QCheckBox>(this, kReprint)->isChecked();
  if (frame::Control<QCheckBox>(this, kCurrentOnly)->isChecked()) {
    if (app_.addresses.position < 0) {
      if (app_.ui) app_.ui->message("Bitte erst Kunden suchen !", frame::Icon::Stop);
      return;
    }
    options.customer = static_cast<std::int32_t>(app_.addresses.entry.offset);
  }
  accept();
  print_(options);
}

}  // namespace letters
