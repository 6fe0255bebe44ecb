// "Eingangsrechnungen" (menu Rechnungen): the inbox of received e-invoices
// with supplier, number, date, total, due date, state and findings; a file
// is opened into it, an entry shown (the preview of the print engine),
// printed, marked paid, its attachments saved, a ZUGFeRD PDF opened in the
// desktop's viewer. The list is read anew from the disk for every action,
// so what another program copy kept shows up.
#ifndef BELVON_RECEIVE_UI_EINGANGSRECHNUNGEN_WINDOW_H
#define BELVON_RECEIVE_UI_EINGANGSRECHNUNGEN_WINDOW_H

#include <QDialog>
#include <QString>
#include <functional>

#include "printing/page_renderer.h"
#include "receive/inbox.h"
#include "store/app_state.h"

class QTableWidget;

namespace frame {
class FrameWindow;
}

namespace receive {

class EingangsrechnungenWindow : public QDialog {
  Q_OBJECT

 public:
  explicit EingangsrechnungenWindow(frame::AppState& app, QWidget* parent = nullptr);

  // Tests and the program replace the choices the user makes in dialogs.
  std::function<QString()> chooseIncomingFile;                             // empty: cancelled
  std::function<QString(const QString& proposed)> chooseAttachmentTarget;  // empty: cancelled
  std::function<QString(const QString& proposed)> askPaymentDate;          // empty: cancelled
  std::function<void(const QString& path)> openInViewer;
  // The official rules a file is checked with as it is kept.
  RuleRunner rules;

  // Reads the list from the disk and shows it.
  void refresh();
  // Checks and keeps the file, tells the outcome and selects the new entry.
  bool addFile(const QString& path);
  // The actions on the selected entry.
  void showSelected();
  void printSelected();
  void markSelectedPaid();
  void saveSelectedAttachment();
  void openSelectedPdf();
  // Selects the entry with this number; false when there is none.
  bool select(int id);

  QTableWidget* table() const { return table_; }
  const InboxList& list() const { return list_; }

 private:
  const InboxEntry* selected() const;
  // The print session of the selected entry; false when none is selected
  // or the program has no print host.
  bool selectedSession(printing::PrintSession& session);
  void tell(const std::string& text, bool problem);

  frame::AppState& app_;
  QTableWidget* table_;
  InboxList list_;
};

// The rule runner of the program: the kit found beside the program or
// installed, as the command line finds it.
RuleRunner ProgramRuleRunner();

// Registers the command "Eingangsrechnungen" with the main window.
void InstallIncomingCommands(frame::FrameWindow& window);

// Opens the inbox window and the file into it (belvon FILE).
void OpenIncomingFile(frame::FrameWindow& window, const QString& path);

}  // namespace receive

#endif  // BELVON_RECEIVE_UI_EINGANGSRECHNUNGEN_WINDOW_H
