#include "letters/ui/textverarbeitung_dialog.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "core/user_interface.h"
#include "letters/letter_text.h"
#include "core/dates.h"
#include "printing/job_table.h"
#include "printing/ui/qt_print_host.h"

namespace letters {

namespace {

QString RunFileDialog(QWidget* parent, bool save) {
  QFileDialog dialog(parent, save ? QStringLiteral("Text speichern") : QStringLiteral("Text laden"));
  dialog.setNameFilter(QStringLiteral("Texte (*.TXT *.txt)"));
  dialog.setDefaultSuffix(QStringLiteral("TXT"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

TextverarbeitungDialog::TextverarbeitungDialog(frame::AppState& app, QWidget* parent,
                                               FileChooser chooser, PrintLetter print)
    : QDialog(parent), app_(app), chooser_(std::move(chooser)), print_(std::move(print)) {
  if (!chooser_) chooser_ = [this](bool save) { return RunFileDialog(this, save); };
  if (!print_)
    print_ = [&app](const printing::JobInputs& inputs) {
      printing::StartPrintJob(app, printing::kJobLetter, false, inputs);
    };
  setObjectName(QStringLiteral("TEXTVERARBEITUNG"));
  setWindowTitle(QStringLiteral("Texteditor"));
  date_ = orders::FormatDate(*app_.clock);
  auto* menu = new QMenuBar(this);
  menu->setObjectName(QStringLiteral("TEXTMENU"));
  auto add = [this](QMenu* into, int id, const QString& text) {
    QAction* action = into->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { command(id); });
  };
  QMenu* file = menu->addMenu(QStringLiteral("Datei"));
  add(file, kLoad, QStringLiteral("Text laden..."));
  add(file, kSave, QStringLiteral("Text speichern..."));
  add(file, kQuit, QStringLiteral("&Beenden"));
  QMenu* printing = menu->addMenu(QStringLiteral("&Drucken"));
  add(printing, kSingleLetter, QStringLiteral("Einzelner Brief"));
  add(printing, kCircular, QStringLiteral("Rundschreiben"));
  // A text the editor saves must load again: at most one byte short of the buffer.
  edit_ = new frame::LimitedTextEdit(this, kEdit, static_cast<int>(kLetterBufferBytes) - 1);
  edit_->setTabChangesFocus(false);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu);
  layout->addWidget(edit_);
  resize(640, 480);
  edit_->setFocus();
  // The editor always starts with the choice of a file.
  QTimer::singleShot(0, this, [this] { command(kLoad); });
}

std::string TextverarbeitungDialog::bufferText() const {
  std::string bytes = frame::FieldWriter().bytes(edit_->storedText());
  if (bytes.size() > kLetterBufferBytes) bytes.resize(kLetterBufferBytes);
  return bytes;
}

bool TextverarbeitungDialog::modified() const { return edit_->document()->isModified(); }

void TextverarbeitungDialog::command(int id) {
  switch (id) {
    case kLoad: load(); break;
    case kSave: save(); break;
    case kQuit:
      if (mayClose()) done(1);
      break;
    case kSingleLetter: {
      printing::JobInputs inputs;
      inputs.printDate = date_;
      inputs.letterText = bufferText();
      print_(inputs);
      break;
    }
    case kCircular:
      if (app_.ui) app_.ui->message("Noch nicht möglich!", frame::Icon::Exclamation);
      break;
    default: break;
  }
}

void TextverarbeitungDialog::load() {
  const QString path = chooser_(false);
  if (path.isEmpty()) return;
  std::string text;
  const LoadResult result = LoadLetterText(*app_.fileSystem, path.toStdString(), text);
  if (result != LoadResult::Loaded) {
    if (app_.ui) app_.ui->message(LetterFileProblem(path.toStdString(), result), frame::Icon::Stop);
    return;
  }
  edit_->setStoredText(frame::FromCp1252(text));
  edit_->document()->setModified(false);
}

void TextverarbeitungDialog::save() {
  const QString path = chooser_(true);
  if (path.isEmpty()) return;
  if (!SaveLetterText(*app_.fileSystem, path.toStdString(), bufferText())) {
    if (app_.ui)
      app_.ui->message("Die Datei " + path.toStdString() + " kann nicht geschrieben werden.",
                       frame::Icon::Stop);
    return;
  }
  edit_->document()->setModified(false);
}

bool TextverarbeitungDialog::mayClose() {
  return !modified() || !app_.ui ||
         app_.ui->question("Der Text wurde noch\nnicht gespeichert !\nWirklich beenden?",
                           frame::Icon::Question, true);
}

// Escape would throw an unsaved letter away: it asks as "&Beenden" does.
void TextverarbeitungDialog::reject() {
  if (mayClose()) done(-1);
}

}  // namespace letters
