#include "einvoice/ui/einvoice_menu.h"

#include <QDir>
#include <QFileDialog>

#include "einvoice/einvoice_file.h"
#include "store/einvoice_settings.h"
#include "einvoice/ui/erechnung_dialog.h"
#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "core/user_interface.h"
#include "orders/issuing.h"

namespace einvoice {

namespace {

void Tell(frame::AppState& app, const std::string& text, frame::Icon icon) {
  if (app.ui) app.ui->message(text, icon);
}

QString AskForFile(QWidget* parent, const QString& proposed) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("E-Rechnung speichern"), proposed,
                                      QStringLiteral("XRechnung (*.xml)"));
}

}  // namespace

bool SaveEInvoice(frame::AppState& app, QWidget* parent, const ChooseFile& chooseFile) {
  if (app.order.orderNumber == 0) {
    Tell(app, "Bitte erst Auftrag suchen !", frame::Icon::Stop);
    return false;
  }
  const Document document = MakeDocument(app);
  if (!document.ok) {
    Tell(app, document.message, frame::Icon::Stop);
    return false;
  }
  // The file states what the invoice prints today, as a reprint would.
  if (!orders::ConfirmReprintTotal(app)) return false;
  const std::string folder = LoadSettings(app.dataDirectory).folder;
  const QString proposed =
      QDir(QString::fromStdString(folder.empty() ? app.dataDirectory : folder))
          .filePath(QString::fromStdString(DefaultFileName(app)));
  const QString path = chooseFile ? chooseFile(parent, proposed) : AskForFile(parent, proposed);
  if (path.isEmpty()) return false;
  const std::string file = path.toLocal8Bit().toStdString();
  if (!WriteDocument(*app.fileSystem, file, document.xml)) {
    Tell(app, "Die Datei " + file + " kann nicht geschrieben werden.", frame::Icon::Stop);
    return false;
  }
  std::string done = "Die E-Rechnung wurde gespeichert:\n" + path.toStdString();
  for (const std::string& note : document.notes) done += "\n\n" + note;
  Tell(app, done, frame::Icon::Information);
  return true;
}

void InstallEInvoiceCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  window.setCommandHandler(frame::cmd::kEInvoiceSettings, [&app, &window] {
    ERechnungDialog dialog(app, &window);
    dialog.exec();
  });
  window.setCommandHandler(frame::cmd::kEInvoiceSave, [&app, &window] { SaveEInvoice(app, &window); });
}

}  // namespace einvoice
