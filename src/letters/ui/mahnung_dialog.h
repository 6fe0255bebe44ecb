// "MAHNUNGDLG" ("Mahnungen drucken"): the dunning date, "Mahnungen erneut
// drucken" and "nur für aktuelle Adresse"; "&Drucken" starts the run on a
// real date (anything else is refused, since the levels are stored from it).
#ifndef BELVON_LETTERS_UI_MAHNUNG_DIALOG_H
#define BELVON_LETTERS_UI_MAHNUNG_DIALOG_H

#include <QDialog>
#include <functional>

#include "store/app_state.h"
#include "letters/dunning_run.h"

namespace letters {

class MahnungDialog : public QDialog {
  Q_OBJECT

 public:
  // `print` runs the letters (job 16) and stores the levels once printed;
  // by default through the program's print host.
  using PrintRun = std::function<void(const DunningOptions&)>;
  explicit MahnungDialog(frame::AppState& app, QWidget* parent = nullptr, PrintRun print = {});

 public slots:
  void command(int id);

 private:
  void print();

  frame::AppState& app_;
  PrintRun print_;
};

}  // namespace letters

#endif  // BELVON_LETTERS_UI_MAHNUNG_DIALOG_H
