// The commands of electronic invoices in the program: the settings dialog
// "E-Rechnung" and saving the current order's invoice as an XRechnung.
#ifndef BELVON_EINVOICE_UI_EINVOICE_MENU_H
#define BELVON_EINVOICE_UI_EINVOICE_MENU_H

#include <QString>
#include <functional>

#include "store/app_state.h"

class QWidget;
namespace frame {
class FrameWindow;
}

namespace einvoice {

void InstallEInvoiceCommands(frame::FrameWindow& window);

// Makes the XRechnung of the current order and saves it where the user
// chooses, starting in the folder of the settings. A missing value is told
// in one message and nothing is written. `chooseFile` asks for the file
// name (a file dialog; empty: cancelled).
using ChooseFile = std::function<QString(QWidget* parent, const QString& proposed)>;
bool SaveEInvoice(frame::AppState& app, QWidget* parent, const ChooseFile& chooseFile = {});

}  // namespace einvoice

#endif  // BELVON_EINVOICE_UI_EINVOICE_MENU_H
