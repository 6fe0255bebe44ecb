#include "app/first_start.h"

#include "store/first_start_defaults.h"
#include "app/stammdaten_dialog.h"
#include "app/waehrung_dialog.h"
#include "core/user_interface.h"
#include "letters/dunning_texts.h"
#include "store/einvoice_settings.h"
#include "store/load_parameters.h"

namespace frame {

bool RunFirstStartAssistant(AppState& app, QWidget* owner) {
  if (app.ui)
    app.ui->message(
        "Willkommen bei Belvon!\n\nBitte zuerst die Stammdaten der Firma und danach "
        "die Währungen und Steuersätze prüfen und mit OK bestätigen.\n"
        "Gespeichert wird erst, wenn beide bestätigt sind.",
        Icon::Information);
  store::ParameterRecord parameters = app.parameters;
  FillFirstStartDefaults(parameters);
  StammdatenDialog master(parameters, app.nextOrderNumber, app.dataDirectory, owner);
  master.setFigures(FigureStyle::German);  // a new directory writes figures the German way
  if (master.exec() != QDialog::Accepted) return false;
  parameters = master.parameters();
  LetterheadFromCompany(parameters);
  WaehrungDialog currencies(parameters, owner);
  currencies.setFigures(master.figures());
  if (currencies.exec() != QDialog::Accepted) return false;
  if (!StoreMasterData(app, master, currencies.parameters())) return false;
  // PDF invoices carry their e-invoice from the start (once it can be made).
  if (!einvoice::StartNewDirectorySettings(app.dataDirectory) && app.ui)
    app.ui->message(app.dataDirectory + einvoice::kSettingsFileName +
                        " konnte nicht geschrieben werden.",
                    Icon::Stop);
  std::string failed;
  if (!letters::WriteDefaultDunningTexts(app, &failed) && app.ui)
    app.ui->message(app.dataDirectory + failed + " konnte nicht geschrieben werden.", Icon::Stop);
  // After the new directory's e-invoice settings: a file written first
  // would keep them from being started.
  StoreTaxNumber(app, master);
  StoreQuotationDays(app, master);
  app.fourthCurrencyPrint = app.parameters.fourthCurrencyPrint;
  return true;
}

bool StartOnDataDirectory(AppState& app, FrameWindow& window) {
  if (!LoadParameters(app)) return false;
  window.refreshPanes();
  window.refreshStatus();
  window.show();
  if (ParametersUnset(app.parameters) && RunFirstStartAssistant(app, &window))
    window.refreshPanes();
  return true;
}

}  // namespace frame
