// "TEXTVERARBEITUNG" ("Texteditor"): one edit field for a letter with the
// menu "TEXTMENU": load and save a text file, close, print the text as a
// single letter (job 10) on the letterhead of the current address.
#ifndef BELVON_LETTERS_UI_TEXTVERARBEITUNG_DIALOG_H
#define BELVON_LETTERS_UI_TEXTVERARBEITUNG_DIALOG_H

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "store/app_state.h"
#include "printing/page_renderer.h"

namespace frame {
class LimitedTextEdit;
}

namespace letters {

class TextverarbeitungDialog : public QDialog {
  Q_OBJECT

 public:
  enum Command { kSave = 127, kLoad = 128, kQuit = 129, kSingleLetter = 130, kCircular = 131 };
  static constexpr int kEdit = 2113;

  // The file dialog: the chosen path, empty when cancelled.
  using FileChooser = std::function<QString(bool save)>;
  // Starts job 10 with the letter.
  using PrintLetter = std::function<void(const printing::JobInputs&)>;
  explicit TextverarbeitungDialog(frame::AppState& app, QWidget* parent = nullptr,
                                  FileChooser chooser = {}, PrintLetter print = {});

  // The text as the buffer holds it: Windows-1252, CR LF, at most 32 000 bytes.
  std::string bufferText() const;
  bool modified() const;

 public slots:
  void command(int id);

 protected:
  void reject() override;

 private:
  void load();
  void save();
  bool mayClose();

  frame::AppState& app_;
  FileChooser chooser_;
  PrintLetter print_;
  frame::LimitedTextEdit* edit_;
  std::string date_;  // the letter date: the day the editor opened
};

}  // namespace letters

#endif  // BELVON_LETTERS_UI_TEXTVERARBEITUNG_DIALOG_H
